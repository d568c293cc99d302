#ifndef VARID_REPORT_WORKBOOKWRITER_H
#define VARID_REPORT_WORKBOOKWRITER_H

#include <map>
#include <string>
#include <vector>

#include <wx/datetime.h>
#include <wx/string.h>
#include <xlsxwriter.h>

// An Excel workbook as the export and the summary write it: a text the panel
// reads as a number becomes that number with the text's own digits, other
// texts stay texts, header rows are bold and frozen, and columns are as wide
// as their texts (the library cannot size them itself). The first failure of
// any write is kept, and Close reports it.
class WorkbookWriter {
public:
    // How a text goes into its cell.
    struct Cell {
        enum class Kind { kEmpty, kNumber, kText };
        Kind kind = Kind::kEmpty;
        double dNumber = 0;
        std::string strFormat;  // a number's: shows the text's own digits
    };
    // A text the panel reads as a finite number becomes that number, shown
    // with the text's decimals: "4.067" as 0.000, "5" as 0, "1.5e-3" as
    // 0.0E+00. Number forms without such digits (hexadecimal) and more than
    // 15 decimals show as General. Anything else, NaN and infinities
    // included, is the text itself.
    static Cell ReadCell(const std::string& strText);

    // A workbook in strFile, which the library opens by its narrow name, its
    // own temporary files in strScratch. Not IsOk when the library cannot
    // start it, or when the numeric locale is not the C library's own (the
    // library prints numbers through it, and a decimal comma would damage
    // every one).
    WorkbookWriter(const std::string& strFile, const std::string& strScratch);
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    bool IsOk() const { return m_pBook != nullptr; }
    // A new sheet, its number for the writes below; -1 when the library
    // refuses it (then Close fails).
    int AddSheet(const std::string& strName);

    // A label; bold when bHeader.
    void Label(int nSheet, lxw_row_t nRow, lxw_col_t nCol, const wxString& strLabel, bool bHeader);
    // A value by ReadCell, or always the text when bTextOnly; nothing for
    // an empty text. A text of several lines wraps.
    void Value(int nSheet, lxw_row_t nRow, lxw_col_t nCol, const std::string& strText,
               bool bTextOnly);
    // A date cell, nothing when the date is invalid.
    void Date(int nSheet, lxw_row_t nRow, lxw_col_t nCol, const wxDateTime& date);

    // For what the library offers beyond cells (charts).
    lxw_workbook* GetBook() const { return m_pBook; }
    // Null for a sheet the library refused.
    lxw_worksheet* GetSheet(int nSheet) const {
        return nSheet >= 0 && nSheet < static_cast<int>(m_vecSheets.size())
                   ? m_vecSheets[nSheet].pSheet
                   : nullptr;
    }
    // Keeps a failure of such a call.
    void Keep(lxw_error error);

    static const char kDateFormat[];

    // Freezes each sheet's first row, sizes its columns and closes the
    // workbook: false when anything failed since it was opened.
    bool Close();

private:
    struct Sheet {
        lxw_worksheet* pSheet;
        std::vector<double> vecWidths;
    };
    void Widen(int nSheet, lxw_col_t nCol, double dWidth);
    lxw_format* NumberFormat(const std::string& strFormat);

    lxw_workbook* m_pBook = nullptr;
    lxw_format* m_pHeader = nullptr;
    lxw_format* m_pText = nullptr;
    lxw_format* m_pWrapped = nullptr;
    lxw_format* m_pDate = nullptr;
    std::map<std::string, lxw_format*> m_mapNumbers;
    std::vector<Sheet> m_vecSheets;
    lxw_error m_error = LXW_NO_ERROR;
};

#endif
