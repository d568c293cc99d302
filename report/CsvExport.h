#ifndef VARID_REPORT_CSVEXPORT_H
#define VARID_REPORT_CSVEXPORT_H

#include <string>
#include <vector>

#include <wx/string.h>

#include "grid/PanelContents.h"

class CalibrationFit;

// The panel's data as CSV for other systems: RFC 4180 (comma-separated, CRLF,
// quoted where needed), UTF-8 with a byte-order mark, every record of the same
// width. After a fit, records of its own follow the others: FitRows,
// FitDegreesOfFreedom, FitResidualPercent, FitCoverageFactor as name,value, a
// header FitValue, Unrounded, Set, StandardUncertainty, ExpandedUncertainty and
// one record per value. Then, when its budget was evaluated, the deviation's
// budget as name,value records, a header BudgetRow and the corrected value's
// budget at each complete row with its verdict, a header BudgetValue and each
// value's budget. Last come the calibration's record's fields, one name,value
// record each, named as in the archive. The schema is English and fixed
// whatever the interface language: the records mode, T, DeadTime, Keff, K1,
// K2, K3, ManualDeadTime, ManualKeff, ManualK1, ManualK2, ManualK3 as
// name,value; a header Row, Chosen, RealP0, Reading1, Reading2, CorrectionP0,
// Accuracy, ManualCorrectionP0, ManualAccuracy; one record per grid row.
// Values are the texts shown, so numbers carry the point the program prints.
// The workbook (WorkbookExport) lays out the same records.
class CsvExport {
public:
    static constexpr int kFields = 9;
    // Spreadsheets read the file as UTF-8 by it.
    static constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

    // One record as fields, unquoted UTF-8, unpadded: what the CSV joins and
    // the workbook lays out. A name,value record, or a header or row of a
    // table, named "Points" for the grid rows.
    struct Record {
        enum class Kind { kValue, kHeader, kRow };
        Kind kind;
        const char* pszTable;  // empty for kValue
        std::vector<std::string> vecFields;
    };
    static constexpr const char* kPointsTable = "Points";
    static constexpr const char* kFitTable = "Fit";
    static constexpr const char* kBudgetRowTable = "BudgetRow";
    static constexpr const char* kBudgetValueTable = "BudgetValue";

    // pFit, when given, is the fit whose set the manual boxes show.
    static std::vector<Record> Records(const panel::Contents& contents, int nProgramMode,
                                       const CalibrationFit* pFit = nullptr);
    // The records joined: byte-order mark, quoted fields, padded, CRLF.
    static std::string Format(const panel::Contents& contents, int nProgramMode,
                              const CalibrationFit* pFit = nullptr);
    // Through a temporary file renamed over strPath: false leaves any earlier
    // file intact.
    static bool WriteFile(const wxString& strPath, const panel::Contents& contents,
                          int nProgramMode, const CalibrationFit* pFit = nullptr);
    // One record: UTF-8 fields, each quoted when it holds a comma, a quote or
    // a line break, padded with empty fields to nWidth, and the line end.
    static std::string Join(const std::vector<std::string>& vecFields, size_t nWidth);
    // The value of the record "mode": "frequency" (0) or "period" (any other).
    static const char* ModeName(int nProgramMode);
    // The schema's names of a box and of a grid column (the manual grid's
    // columns are these with "Manual" in front).
    static std::string BoxName(panel::Box box);
    static const char* ColumnName(int nCol);
};

#endif
