#include "report/WorkbookWriter.h"

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cmath>

#include "grid/GridData.h"

const char WorkbookWriter::kDateFormat[] = "yyyy-mm-dd";

namespace {

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

// Characters of the longest line: Excel counts characters, not bytes.
double WidthOf(const wxString& str, bool bBold) {
    size_t nLongest = 0, nLine = 0;
    for (wxUniChar ch : str) {
        nLine = ch == '\n' ? 0 : nLine + 1;
        nLongest = std::max(nLongest, nLine);
    }
    return static_cast<double>(nLongest) * (bBold ? 1.1 : 1.0) + 1.5;
}

lxw_format* NewFormat(lxw_workbook* pBook, const char* pszNumberFormat) {
    lxw_format* pFormat = workbook_add_format(pBook);
    format_set_num_format(pFormat, pszNumberFormat);
    return pFormat;
}

}  // namespace

WorkbookWriter::Cell WorkbookWriter::ReadCell(const std::string& strText) {
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

WorkbookWriter::WorkbookWriter(const std::string& strFile, const std::string& strScratch) {
    if (std::localeconv()->decimal_point != std::string(".")) return;
    std::string strTemp = strScratch;  // the library asks for a char*
    lxw_workbook_options options = {};
    options.tmpdir = &strTemp[0];
    m_pBook = workbook_new_opt(strFile.c_str(), &options);
    if (!m_pBook) return;
    m_pHeader = workbook_add_format(m_pBook);
    format_set_bold(m_pHeader);
    m_pText = NewFormat(m_pBook, "@");
    m_pWrapped = NewFormat(m_pBook, "@");
    format_set_text_wrap(m_pWrapped);
    m_pDate = NewFormat(m_pBook, kDateFormat);
}

WorkbookWriter::~WorkbookWriter() {
    if (m_pBook) workbook_close(m_pBook);
}

int WorkbookWriter::AddSheet(const std::string& strName) {
    lxw_worksheet* pSheet = m_pBook ? workbook_add_worksheet(m_pBook, strName.c_str()) : nullptr;
    if (!pSheet) {
        Keep(LXW_ERROR_PARAMETER_VALIDATION);
        return -1;
    }
    m_vecSheets.push_back({pSheet, {}});
    return static_cast<int>(m_vecSheets.size()) - 1;
}

void WorkbookWriter::Keep(lxw_error error) {
    if (m_error == LXW_NO_ERROR) m_error = error;
}

void WorkbookWriter::Widen(int nSheet, lxw_col_t nCol, double dWidth) {
    std::vector<double>& widths = m_vecSheets[nSheet].vecWidths;
    if (widths.size() <= nCol) widths.resize(nCol + 1, kMinWidth);
    widths[nCol] = std::max(widths[nCol], std::min(dWidth, kMaxWidth));
}

lxw_format* WorkbookWriter::NumberFormat(const std::string& strFormat) {
    lxw_format*& pFormat = m_mapNumbers[strFormat];
    if (!pFormat) pFormat = NewFormat(m_pBook, strFormat.c_str());
    return pFormat;
}

void WorkbookWriter::Label(int nSheet, lxw_row_t nRow, lxw_col_t nCol, const wxString& strLabel,
                           bool bHeader) {
    if (lxw_worksheet* pSheet = GetSheet(nSheet)) {
        Keep(worksheet_write_string(pSheet, nRow, nCol, strLabel.utf8_str(),
                                    bHeader ? m_pHeader : m_pText));
        Widen(nSheet, nCol, WidthOf(strLabel, bHeader));
    }
}

void WorkbookWriter::Value(int nSheet, lxw_row_t nRow, lxw_col_t nCol, const std::string& strText,
                           bool bTextOnly) {
    lxw_worksheet* pSheet = GetSheet(nSheet);
    if (!pSheet) return;
    Cell cell = ReadCell(strText);
    if (bTextOnly && cell.kind == Cell::Kind::kNumber) cell.kind = Cell::Kind::kText;
    if (cell.kind == Cell::Kind::kNumber) {
        Keep(
            worksheet_write_number(pSheet, nRow, nCol, cell.dNumber, NumberFormat(cell.strFormat)));
    } else if (cell.kind == Cell::Kind::kText) {
        const bool bLines = strText.find('\n') != std::string::npos;
        Keep(worksheet_write_string(pSheet, nRow, nCol, strText.c_str(),
                                    bLines ? m_pWrapped : m_pText));
    }
    Widen(nSheet, nCol, WidthOf(wxString::FromUTF8(strText), false));
}

void WorkbookWriter::Date(int nSheet, lxw_row_t nRow, lxw_col_t nCol, const wxDateTime& date) {
    lxw_worksheet* pSheet = GetSheet(nSheet);
    if (!pSheet || !date.IsValid()) return;
    lxw_datetime when = {date.GetYear(),   date.GetMonth() + 1,
                         date.GetDay(),    date.GetHour(),
                         date.GetMinute(), static_cast<double>(date.GetSecond())};
    Keep(worksheet_write_datetime(pSheet, nRow, nCol, &when, m_pDate));
    Widen(nSheet, nCol, WidthOf(wxT("yyyy-mm-dd"), false));
}

bool WorkbookWriter::Close() {
    if (!m_pBook) return false;
    for (const Sheet& sheet : m_vecSheets) {
        worksheet_freeze_panes(sheet.pSheet, 1, 0);
        for (size_t i = 0; i < sheet.vecWidths.size(); ++i)
            worksheet_set_column(sheet.pSheet, i, i, sheet.vecWidths[i], nullptr);
    }
    const lxw_error closed = workbook_close(m_pBook);
    m_pBook = nullptr;
    return m_error == LXW_NO_ERROR && closed == LXW_NO_ERROR;
}
