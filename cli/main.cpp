// varid-export: the archive's data as CSV, without a display.
#include <clocale>
#include <cstdio>
#include <exception>
#include <vector>

#include <wx/init.h>
#include <wx/intl.h>
#include <wx/log.h>

#include "calc/ErrorReport.h"
#include "cli/ConsoleStream.h"
#include "cli/ExportCommand.h"

namespace {

void PrintEngineError(const wxString& strMessage) {
    ConsoleStream::Write(stderr, wxT("varid-export: ") + strMessage + wxT("\n"));
}

}  // namespace

#ifdef _WIN32
// The wide arguments: the narrow ones lose every letter outside the system's
// code page, Cyrillic file names among them.
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
    ConsoleStream::PrepareStandardStreams();
    wxInitializer initializer;
    if (!initializer.IsOk()) {
        std::fprintf(stderr, "varid-export: cannot initialise the toolkit's base library\n");
        return ExportCommand::kRefused;
    }
    // Messages in the environment's language, from the catalogues beside the
    // executable's prefix; numbers always with a decimal point.
    wxLocale locale;
    {
        wxLogNull noLog;
        locale.Init(wxLANGUAGE_DEFAULT, wxLOCALE_LOAD_DEFAULT);
        locale.AddCatalog(wxT("kevro_zanol"));
        locale.AddCatalog(wxT("KEVRO_Varid"));
    }
    std::setlocale(LC_NUMERIC, "C");
    SetErrorReportHandler(PrintEngineError);

    std::vector<wxString> vecArgs;
#ifdef _WIN32
    for (int i = 1; i < argc; ++i) vecArgs.push_back(wxString(argv[i]));
#else
    for (int i = 1; i < argc; ++i) vecArgs.push_back(wxString(argv[i], *wxConvFileName));
#endif
    try {
        return ExportCommand(stdout, stderr).Run(vecArgs);
    } catch (const std::exception& e) {
        ConsoleStream::Write(stderr, wxT("varid-export: ") + wxString(e.what()) + wxT("\n"));
    } catch (const wxString& strMessage) {
        PrintEngineError(strMessage);
    }
    return ExportCommand::kRefused;
}
