#ifndef VARID_REPORT_EXPORTFILE_H
#define VARID_REPORT_EXPORTFILE_H

#include <wx/string.h>

#include "grid/PanelContents.h"

class CalibrationFit;

// Which document an export writes, and writing it: the Excel workbook
// (WorkbookExport) or the CSV (CsvExport), for the panel and the command alike.
class ExportFile {
public:
    enum class Format { kWorkbook, kCsv };

    // The format a file name asks for by its extension, ".xlsx" or ".csv" in
    // any case; fallback for any other name.
    static Format FormatOf(const wxString& strPath, Format fallback);
    // A name without an extension gets its format's.
    static wxString WithExtension(const wxString& strPath, Format format);
    // False leaves any earlier file intact. pFit, when given, is the fit whose
    // set the manual boxes show.
    static bool Write(const wxString& strPath, Format format, const panel::Contents& contents,
                      int nProgramMode, const CalibrationFit* pFit = nullptr);
};

#endif
