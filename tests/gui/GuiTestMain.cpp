// Shared main of the GUI tests: the toolkit runs for real (under Xvfb), the
// layout loader holds the embedded document, and toolkit assertions fail the
// running test instead of opening a dialog.
#include "tests/gui/GuiTestMain.h"

#include <clocale>
#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/xrc/xmlres.h>
#ifdef __WXMSW__
#include <wx/msw/wrapwin.h>
#include <winspool.h>
#endif

#include "calc/ErrorReport.h"
#include "resources/InitXmlResource.h"
#include "ui/ErrorBox.h"

namespace {

class GuiTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "toolkit assertion in " << func.utf8_str() << ": "
                                          << cond.utf8_str() << " " << msg.utf8_str();
}

}  // namespace

void PumpEvents() {
    for (int i = 0; i < 3; ++i) {
        while (wxTheApp->Pending()) wxTheApp->Dispatch();
        wxTheApp->ProcessIdle();
    }
}

bool PrinterInstalled() {
#ifdef __WXMSW__
    DWORD dwSize = 0;
    return ::GetDefaultPrinterW(nullptr, &dwSize) || ::GetLastError() != ERROR_FILE_NOT_FOUND;
#else
    return true;
#endif
}

bool RunsUnderWine() {
#ifdef __WXMSW__
    const HMODULE hNtdll = ::GetModuleHandleW(L"ntdll.dll");
    return hNtdll && ::GetProcAddress(hNtdll, "wine_get_version");
#else
    return false;
#endif
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new GuiTestApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start the window toolkit: is a display (Xvfb) running?\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler(FailOnAssert);
    wxXmlResource::Get()->InitAllHandlers();
    InitXmlResource();
    std::setlocale(LC_NUMERIC, "C");
    SetErrorReportHandler(ShowErrorBox);
    int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
