#include "report/WorkbookExport.h"

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>

#include <wx/intl.h>
#include <xlsxwriter.h>

#include "archive/SafeFile.h"
#include "archive/ScratchFolder.h"
#include "grid/GridData.h"

namespace {

using Record = CsvExport::Record;
using Kind = CsvExport::Record::Kind;

// More decimals than a double holds would show made-up digits.
constexpr int kMaxDecimals = 15;
// Column widths, in characters of the default font; a notes field wraps.
constexpr double kMinWidth = 6, kMaxWidth = 60;

// The number format that shows a number written as strText with its own
// decimals and exponent form: strtod's syntax of a decimal number.
std::string NumberFormatOf(const std::string& strText) {
    const std::string& s = strText;
    size_t i = 0;
    auto isDigit = [&](size_t k) {
        return k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]));
    };
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    int nDigits = 0, nDecimals = 0;
    for (; isDigit(i); ++i) ++nDigits;
    if (i < s.size() && s[i] == '.')
        for (++i; isDigit(i); ++i) ++nDigits, ++nDecimals;
    bool bExponent = false;
    if (nDigits > 0 && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t k = i + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (isDigit(k)) {
            while (isDigit(k)) ++k;
            i = k;
            bExponent = true;
        }
    }
    if (nDigits == 0 || i != s.size() || nDecimals > kMaxDecimals) return "General";
    std::string strFormat = "0";
    if (nDecimals > 0) strFormat += "." + std::string(nDecimals, '0');
    return bExponent ? strFormat + "E+00" : strFormat;
}

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

// Characters of the longest line: Excel counts characters, not bytes.
double WidthOf(const wxString& str, bool bBold) {
    size_t nLongest = 0, nLine = 0;
    for (wxUniChar ch : str) {
        nLine = ch == '\n' ? 0 : nLine + 1;
        nLongest = std::max(nLongest, nLine);
    }
    return static_cast<double>(nLongest) * (bBold ? 1.1 : 1.0) + 1.5;
}

// One sheet as it is being filled.
struct Sheet {
    lxw_worksheet* pSheet = nullptr;
    lxw_row_t nRow = 0;
    std::vector<double> vecWidths;
    lxw_error error = LXW_NO_ERROR;
};

struct Formats {
    lxw_workbook* pBook;
    lxw_format* pHeader;
    lxw_format* pText;
    lxw_format* pWrapped;  // a text of several lines
    std::map<std::string, lxw_format*> mapNumbers;
};

void Keep(Sheet& sheet, lxw_col_t nCol, lxw_error error, double dWidth) {
    if (sheet.error == LXW_NO_ERROR) sheet.error = error;
    if (sheet.vecWidths.size() <= nCol) sheet.vecWidths.resize(nCol + 1, kMinWidth);
    sheet.vecWidths[nCol] = std::max(sheet.vecWidths[nCol], std::min(dWidth, kMaxWidth));
}

void PutLabel(Sheet& sheet, Formats& formats, lxw_col_t nCol, const wxString& strLabel,
              bool bHeader) {
    const lxw_error error =
        worksheet_write_string(sheet.pSheet, sheet.nRow, nCol, strLabel.utf8_str(),
                               bHeader ? formats.pHeader : formats.pText);
    Keep(sheet, nCol, error, WidthOf(strLabel, bHeader));
}

void PutValue(Sheet& sheet, Formats& formats, lxw_col_t nCol, const std::string& strText,
              bool bTextOnly) {
    WorkbookExport::Cell cell;
    if (bTextOnly) {
        if (!strText.empty()) cell.kind = WorkbookExport::Cell::Kind::kText;
    } else {
        cell = WorkbookExport::ReadCell(strText);
    }
    lxw_error error = LXW_NO_ERROR;
    if (cell.kind == WorkbookExport::Cell::Kind::kNumber) {
        lxw_format*& pFormat = formats.mapNumbers[cell.strFormat];
        if (!pFormat) {
            pFormat = workbook_add_format(formats.pBook);
            format_set_num_format(pFormat, cell.strFormat.c_str());
        }
        error = worksheet_write_number(sheet.pSheet, sheet.nRow, nCol, cell.dNumber, pFormat);
    } else if (cell.kind == WorkbookExport::Cell::Kind::kText) {
        const bool bLines = strText.find('\n') != std::string::npos;
        error = worksheet_write_string(sheet.pSheet, sheet.nRow, nCol, strText.c_str(),
                                       bLines ? formats.pWrapped : formats.pText);
    }
    Keep(sheet, nCol, error, WidthOf(wxString::FromUTF8(strText), false));
}

lxw_format* NewFormat(lxw_workbook* pBook, const char* pszNumberFormat) {
    lxw_format* pFormat = workbook_add_format(pBook);
    format_set_num_format(pFormat, pszNumberFormat);
    return pFormat;
}

bool ReadWhole(const std::string& strFile, std::string& bytes) {
    std::ifstream in(strFile, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    // A workbook is never empty.
    return !bytes.empty();
}

}  // namespace

WorkbookExport::Cell WorkbookExport::ReadCell(const std::string& strText) {
    Cell cell;
    if (strText.empty()) return cell;
    cell.kind = Cell::Kind::kText;
    double d = 0;
    if (!GridData::ReadNumber(wxString::FromUTF8(strText), d) || !std::isfinite(d)) return cell;
    cell.kind = Cell::Kind::kNumber;
    cell.dNumber = d;
    cell.strFormat = NumberFormatOf(strText);
    return cell;
}

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
    // The library prints numbers with the C library: under a decimal comma
    // every number would be damaged, so nothing is written.
    if (std::localeconv()->decimal_point != std::string(".")) return false;
    std::string strTemp = strScratch;  // the library asks for a char*
    lxw_workbook_options options = {LXW_FALSE, &strTemp[0], LXW_FALSE};
    lxw_workbook* pBook = workbook_new_opt(strFile.c_str(), &options);
    if (!pBook) return false;
    Formats formats{
        pBook, workbook_add_format(pBook), NewFormat(pBook, "@"), NewFormat(pBook, "@"), {}};
    format_set_bold(formats.pHeader);
    format_set_text_wrap(formats.pWrapped);
    Sheet calibration, points;
    calibration.pSheet = workbook_add_worksheet(pBook, "Calibration");
    points.pSheet = workbook_add_worksheet(pBook, "Points");
    if (!calibration.pSheet || !points.pSheet) {
        workbook_close(pBook);
        return false;
    }

    PutLabel(calibration, formats, 0, _("Quantity"), true);
    PutLabel(calibration, formats, 1, _("Value"), true);
    ++calibration.nRow;
    bool bAfterTable = false;
    for (const Record& record : records) {
        const bool bPoints = std::string(record.pszTable) == CsvExport::kPointsTable;
        Sheet& sheet = bPoints ? points : calibration;
        const std::vector<std::string>& fields = record.vecFields;
        switch (record.kind) {
            case Kind::kValue:
                // A blank row between a table and what follows it.
                if (bAfterTable) ++calibration.nRow;
                bAfterTable = false;
                PutLabel(sheet, formats, 0, LabelOf(fields[0], nProgramMode), false);
                if (fields.size() > 1)
                    PutValue(sheet, formats, 1, fields[1], IsTextOnly(fields[0]));
                break;
            case Kind::kHeader:
                if (!bPoints) {
                    ++calibration.nRow;
                    bAfterTable = true;
                }
                for (size_t i = 0; i < fields.size(); ++i)
                    PutLabel(sheet, formats, i, LabelOf(fields[i], nProgramMode), true);
                break;
            case Kind::kRow:
                // The grid's rows begin with their number, the other tables'
                // with the name of what the row gives.
                for (size_t i = 0; i < fields.size(); ++i) {
                    if (i == 0 && !bPoints)
                        PutLabel(sheet, formats, 0, LabelOf(fields[0], nProgramMode), false);
                    else
                        PutValue(sheet, formats, i, fields[i], false);
                }
                break;
        }
        ++sheet.nRow;
    }

    lxw_error error = LXW_NO_ERROR;
    for (Sheet* pSheet : {&calibration, &points}) {
        worksheet_freeze_panes(pSheet->pSheet, 1, 0);
        for (size_t i = 0; i < pSheet->vecWidths.size(); ++i)
            worksheet_set_column(pSheet->pSheet, i, i, pSheet->vecWidths[i], nullptr);
        if (error == LXW_NO_ERROR) error = pSheet->error;
    }
    const lxw_error closed = workbook_close(pBook);
    return error == LXW_NO_ERROR && closed == LXW_NO_ERROR;
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
