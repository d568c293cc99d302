#include "report/ExportFile.h"

#include <wx/filename.h>

#include "report/CsvExport.h"
#include "report/WorkbookExport.h"

namespace {

const char* ExtensionOf(ExportFile::Format format) {
    return format == ExportFile::Format::kWorkbook ? "xlsx" : "csv";
}

}  // namespace

ExportFile::Format ExportFile::FormatOf(const wxString& strPath, Format fallback) {
    const wxString strExtension = wxFileName(strPath).GetExt().Lower();
    for (Format format : {Format::kWorkbook, Format::kCsv})
        if (strExtension == ExtensionOf(format)) return format;
    return fallback;
}

wxString ExportFile::WithExtension(const wxString& strPath, Format format) {
    return wxFileName(strPath).HasExt() ? strPath : strPath + wxT(".") + ExtensionOf(format);
}

bool ExportFile::Write(const wxString& strPath, Format format, const panel::Contents& contents,
                       int nProgramMode, const CalibrationFit* pFit) {
    return format == Format::kWorkbook
               ? WorkbookExport::WriteFile(strPath, contents, nProgramMode, pFit)
               : CsvExport::WriteFile(strPath, contents, nProgramMode, pFit);
}
