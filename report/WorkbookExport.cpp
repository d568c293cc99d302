#include "report/WorkbookExport.h"

#include <fstream>
#include <iterator>

#include <wx/intl.h>

#include "archive/SafeFile.h"
#include "archive/ScratchFolder.h"
#include "report/WorkbookWriter.h"

namespace {

using Record = CsvExport::Record;
using Kind = CsvExport::Record::Kind;

// The layout's own labels (some end in a space there).
wxString LayoutLabel(const char* pszKey) {
    return wxGetTranslation(wxString::FromUTF8(pszKey)).Strip(wxString::both);
}

// Labels of the schema's names that have a text of their own.
const struct {
    const char* pszName;
    const char* pszLabel;
} kLabels[] = {
    {"mode", wxTRANSLATE("Program mode")},
    {"FitRows", wxTRANSLATE("Rows, n")},
    {"FitResidualPercent", wxTRANSLATE("Residual standard deviation s, %")},
    {"FitCoverageFactor", wxTRANSLATE("Coverage factor k")},
    {"FitValue", wxTRANSLATE("Least-squares fit")},
    {"Unrounded", wxTRANSLATE("Unrounded")},
    {"Set", wxTRANSLATE("As set")},
    {"StandardUncertainty", wxTRANSLATE("Standard uncertainty u")},
    {"ExpandedUncertainty", wxTRANSLATE("U (95 %)")},
    {"Row", wxTRANSLATE("Row")},
    {"Chosen", wxTRANSLATE("Chosen")},
    {"RealP0", wxTRANSLATE("Real P0")},
    {"CorrectionP0", wxTRANSLATE("Correction P0")},
    {"Accuracy", wxTRANSLATE("Accuracy")},
    {"DeviationReferencePercent", wxTRANSLATE("Deviation: u of the reference, %")},
    {"DeviationScatterPercent", wxTRANSLATE("Deviation: u of the scatter, %")},
    {"DeviationCombinedPercent", wxTRANSLATE("Deviation: combined u, %")},
    {"DeviationDegreesOfFreedom", wxTRANSLATE("Deviation: effective degrees of freedom")},
    {"DeviationCoverageFactor", wxTRANSLATE("Deviation: coverage factor k")},
    {"DeviationExpandedPercent", wxTRANSLATE("Deviation: expanded U, %")},
    {"BudgetRow", wxTRANSLATE("Budget of the corrected value")},
    {"FitPercent", wxTRANSLATE("Fit u, %")},
    {"OffsetPercent", wxTRANSLATE("Offset u, %")},
    {"ReferencePercent", wxTRANSLATE("Reference u, %")},
    {"CombinedPercent", wxTRANSLATE("Combined u, %")},
    {"EffectiveDegreesOfFreedom", wxTRANSLATE("Effective degrees of freedom")},
    {"CoverageFactor", wxTRANSLATE("Coverage factor k")},
    {"ExpandedPercent", wxTRANSLATE("Expanded U, %")},
    {"Verdict", wxTRANSLATE("Verdict")},
    {"BudgetValue", wxTRANSLATE("Budget of the value")},
    {"FitStandard", wxTRANSLATE("Fit u")},
    {"ReferenceStandard", wxTRANSLATE("Reference u")},
    {"CombinedStandard", wxTRANSLATE("Combined u")},
    {"Expanded", wxTRANSLATE("Expanded U")},
};

// The names without the "Manual" in front.
wxString PlainLabelOf(const std::string& strName, int nProgramMode) {
    for (const auto& label : kLabels)
        if (strName == label.pszName) return wxGetTranslation(label.pszLabel);
    // The symbol is no catalogue key: keys stay ASCII.
    if (strName == "FitDegreesOfFreedom") return _("Degrees of freedom") + wxT(", \u03bd");
    if (strName == "Reading1") return nProgramMode == 0 ? _("Fl") : _("T1");
    if (strName == "Reading2") return nProgramMode == 0 ? _("Fr") : _("T2");
    if (strName == panel::CsvName(panel::kBoxT)) return LayoutLabel("T");
    // A budget's row of the grid, "Row3".
    long nRow = 0;
    if (strName.rfind("Row", 0) == 0 && strName.size() > 3 &&
        wxString(strName.substr(3)).ToLong(&nRow) && nRow > 0)
        return wxString::Format(_("Row %ld"), nRow);
    for (const panel::ResultBox& r : panel::kResultBoxes)
        if (strName == r.pszCsvName) return LayoutLabel(r.pszLabel);
    for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields())
        if (strName == info.pszName) return CalibrationDetails::LabelOf(info.field);
    return wxString();
}

bool ReadWhole(const std::string& strFile, std::string& bytes) {
    std::ifstream in(strFile, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    // A workbook is never empty.
    return !bytes.empty();
}

}  // namespace

bool WorkbookExport::IsTextOnly(const std::string& strName) {
    for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields())
        if (strName == info.pszName) return info.kind != CalibrationDetails::Kind::kNumber;
    return false;
}

wxString WorkbookExport::LabelOf(const std::string& strName, int nProgramMode) {
    wxString strLabel = PlainLabelOf(strName, nProgramMode);
    if (!strLabel.empty()) return strLabel;
    const std::string strManual = "Manual";
    if (strName.compare(0, strManual.size(), strManual) == 0) {
        strLabel = PlainLabelOf(strName.substr(strManual.size()), nProgramMode);
        if (!strLabel.empty()) return wxString::Format(_("%s, manual"), strLabel);
    }
    return wxString::FromUTF8(strName);
}

bool WorkbookExport::WriteWorkbook(const std::string& strFile, const std::string& strScratch,
                                   const std::vector<CsvExport::Record>& records,
                                   int nProgramMode) {
    WorkbookWriter book(strFile, strScratch);
    if (!book.IsOk()) return false;
    const int nCalibration = book.AddSheet("Calibration");
    const int nPoints = book.AddSheet("Points");
    // The next row of each sheet.
    lxw_row_t nRows[2] = {0, 0};
    book.Label(nCalibration, 0, 0, _("Quantity"), true);
    book.Label(nCalibration, 0, 1, _("Value"), true);
    ++nRows[0];
    bool bAfterTable = false;
    for (const Record& record : records) {
        const bool bPoints = std::string(record.pszTable) == CsvExport::kPointsTable;
        const int nSheet = bPoints ? nPoints : nCalibration;
        lxw_row_t& nRow = nRows[bPoints ? 1 : 0];
        const std::vector<std::string>& fields = record.vecFields;
        switch (record.kind) {
            case Kind::kValue:
                // A blank row between a table and what follows it.
                if (bAfterTable) ++nRow;
                bAfterTable = false;
                book.Label(nSheet, nRow, 0, LabelOf(fields[0], nProgramMode), false);
                if (fields.size() > 1)
                    book.Value(nSheet, nRow, 1, fields[1], IsTextOnly(fields[0]));
                break;
            case Kind::kHeader:
                if (!bPoints) {
                    ++nRow;
                    bAfterTable = true;
                }
                for (size_t i = 0; i < fields.size(); ++i)
                    book.Label(nSheet, nRow, i, LabelOf(fields[i], nProgramMode), true);
                break;
            case Kind::kRow:
                // The grid's rows begin with their number, the other tables'
                // with the name of what the row gives.
                for (size_t i = 0; i < fields.size(); ++i) {
                    if (i == 0 && !bPoints)
                        book.Label(nSheet, nRow, 0, LabelOf(fields[0], nProgramMode), false);
                    else
                        book.Value(nSheet, nRow, i, fields[i], false);
                }
                break;
        }
        ++nRow;
    }
    return book.Close();
}

bool WorkbookExport::PlaceWorkbook(const wxString& strPath, const Writer& fnWrite) {
    const archive::ScratchFolder scratch;
    if (!scratch.IsOk()) return false;
    const std::string strFile = scratch.PathOf("export.xlsx");
    std::string bytes;
    return fnWrite(strFile, scratch.GetPath()) && ReadWhole(strFile, bytes) &&
           archive::WriteFileReplacing(strPath, bytes);
}

bool WorkbookExport::WriteFile(const wxString& strPath, const panel::Contents& contents,
                               int nProgramMode, const CalibrationFit* pFit) {
    return PlaceWorkbook(strPath, [&](const std::string& strFile, const std::string& strScratch) {
        return WriteWorkbook(strFile, strScratch, CsvExport::Records(contents, nProgramMode, pFit),
                             nProgramMode);
    });
}
