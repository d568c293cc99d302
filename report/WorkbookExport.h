#ifndef VARID_REPORT_WORKBOOKEXPORT_H
#define VARID_REPORT_WORKBOOKEXPORT_H

#include <functional>
#include <string>
#include <vector>

#include <wx/string.h>

#include "grid/PanelContents.h"
#include "report/CsvExport.h"

class CalibrationFit;

// The export's records as an Excel workbook, for spreadsheets whose locale
// reads the CSV wrongly. Sheet "Calibration": a header row, then each
// name,value record as its label in the interface language beside its value,
// and each table other than the grid's (the fit's) below a blank row with its
// header. Sheet "Points": the grid's header and rows. Sheet names stay
// English; header rows are frozen; columns are as wide as their texts.
class WorkbookExport {
public:
    // A name,value record whose value is always text: the calibration
    // record's fields other than its numbers (a serial "001234" keeps its
    // zeros).
    static bool IsTextOnly(const std::string& strName);
    // The interface language's label of a record's, header's or row's name;
    // names it does not know stand as they are.
    static wxString LabelOf(const std::string& strName, int nProgramMode);

    // The workbook of these records in strFile, which the library opens by
    // its narrow name, its own temporary files in strScratch: the cells as
    // WorkbookWriter puts them. False when the library fails, or when the
    // numeric locale is not the C library's own (the program's is).
    static bool WriteWorkbook(const std::string& strFile, const std::string& strScratch,
                              const std::vector<CsvExport::Record>& records, int nProgramMode);
    // A workbook that fnWrite writes into the file it is given (a narrow,
    // plain ASCII path), its library's temporary files in the folder it is
    // given, then put in place at strPath by the safe writer. False, with
    // any earlier file intact, when fnWrite fails or nothing can be placed.
    using Writer = std::function<bool(const std::string& strFile, const std::string& strScratch)>;
    static bool PlaceWorkbook(const wxString& strPath, const Writer& fnWrite);
    // The panel's workbook into strPath: written in a scratch folder of
    // plain ASCII (archive::ScratchFolder), then put in place by the safe
    // writer. False leaves any earlier file intact.
    static bool WriteFile(const wxString& strPath, const panel::Contents& contents,
                          int nProgramMode, const CalibrationFit* pFit = nullptr);
};

#endif
