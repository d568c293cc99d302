#include "cli/SummaryWorkbook.h"

#include <algorithm>
#include <clocale>
#include <map>
#include <vector>

#include <xlsxwriter.h>

#include "cli/ArchiveSummary.h"
#include "report/WorkbookExport.h"

namespace {

constexpr double kMinWidth = 6, kMaxWidth = 60;
const char kDateFormat[] = "yyyy-mm-dd";

// One sheet being filled: its cells' widths and the first failure.
struct Sheet {
    lxw_worksheet* pSheet = nullptr;
    std::vector<double> vecWidths;
    lxw_error error = LXW_NO_ERROR;

    void Keep(lxw_col_t nCol, lxw_error e, size_t nChars) {
        if (error == LXW_NO_ERROR) error = e;
        if (vecWidths.size() <= nCol) vecWidths.resize(nCol + 1, kMinWidth);
        vecWidths[nCol] =
            std::max(vecWidths[nCol], std::min(kMaxWidth, static_cast<double>(nChars) + 1.5));
    }
    void Finish() {
        worksheet_freeze_panes(pSheet, 1, 0);
        for (size_t i = 0; i < vecWidths.size(); ++i)
            worksheet_set_column(pSheet, i, i, vecWidths[i], nullptr);
    }
};

class Writer {
public:
    explicit Writer(lxw_workbook* pBook) : m_pBook(pBook) {
        m_pHeader = workbook_add_format(pBook);
        format_set_bold(m_pHeader);
        m_pText = Format("@");
        m_pDate = Format(kDateFormat);
    }

    void Header(Sheet& sheet, lxw_col_t nCol, const std::string& str) {
        sheet.Keep(nCol, worksheet_write_string(sheet.pSheet, 0, nCol, str.c_str(), m_pHeader),
                   wxString::FromUTF8(str).length() + 1);
    }
    // A number when the panel reads the text as one and bTextOnly is false,
    // shown with the text's own digits; else the text.
    void Value(Sheet& sheet, lxw_row_t nRow, lxw_col_t nCol, const wxString& str, bool bTextOnly) {
        const std::string strText = str.utf8_string();
        const WorkbookExport::Cell cell = WorkbookExport::ReadCell(strText);
        lxw_error error = LXW_NO_ERROR;
        if (cell.kind == WorkbookExport::Cell::Kind::kNumber && !bTextOnly)
            error = worksheet_write_number(sheet.pSheet, nRow, nCol, cell.dNumber,
                                           Format(cell.strFormat));
        else if (!strText.empty())
            error = worksheet_write_string(sheet.pSheet, nRow, nCol, strText.c_str(), m_pText);
        sheet.Keep(nCol, error, str.length());
    }
    void Date(Sheet& sheet, lxw_row_t nRow, lxw_col_t nCol, const wxDateTime& date) {
        if (!date.IsValid()) return;
        lxw_datetime when = {date.GetYear(),   date.GetMonth() + 1,
                             date.GetDay(),    date.GetHour(),
                             date.GetMinute(), static_cast<double>(date.GetSecond())};
        sheet.Keep(nCol, worksheet_write_datetime(sheet.pSheet, nRow, nCol, &when, m_pDate), 10);
    }

private:
    lxw_format* Format(const std::string& strNumberFormat) {
        lxw_format*& pFormat = m_mapFormats[strNumberFormat];
        if (!pFormat) {
            pFormat = workbook_add_format(m_pBook);
            format_set_num_format(pFormat, strNumberFormat.c_str());
        }
        return pFormat;
    }

    lxw_workbook* m_pBook;
    lxw_format* m_pHeader;
    lxw_format* m_pText;
    lxw_format* m_pDate;
    std::map<std::string, lxw_format*> m_mapFormats;
};

// Columns whose value is never a number, whatever it looks like.
bool IsTextColumn(const std::string& strName) {
    return strName == "Path" || strName == "Modified" || strName == "Mode" ||
           strName == "Recount" || WorkbookExport::IsTextOnly(strName);
}

// A chart of one of the history's columns over its dates, below the table,
// nOffset pixels from its left.
void AddChart(lxw_workbook* pBook, Sheet& sheet, const wxString& strSheet, lxw_col_t nCol,
              const char* pszTitle, size_t nRows, int32_t nOffset) {
    lxw_chart* pChart = workbook_add_chart(pBook, LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
    if (!pChart) {
        sheet.error = LXW_ERROR_MEMORY_MALLOC_FAILED;
        return;
    }
    lxw_chart_series* pSeries = chart_add_series(pChart, nullptr, nullptr);
    const std::string strName = strSheet.utf8_string();
    const lxw_row_t nLast = static_cast<lxw_row_t>(nRows);
    chart_series_set_categories(pSeries, strName.c_str(), 1, 0, nLast, 0);
    chart_series_set_values(pSeries, strName.c_str(), 1, nCol, nLast, nCol);
    chart_series_set_name(pSeries, pszTitle);
    chart_title_set_name(pChart, pszTitle);
    chart_axis_set_num_format(pChart->x_axis, kDateFormat);
    chart_axis_set_name(pChart->x_axis, "Date");
    chart_legend_set_position(pChart, LXW_CHART_LEGEND_NONE);
    lxw_chart_options options = {};
    options.x_offset = nOffset;
    options.x_scale = 1.0;
    options.y_scale = 1.1;
    const lxw_error error = worksheet_insert_chart_opt(
        sheet.pSheet, static_cast<lxw_row_t>(nRows + 2), 0, pChart, &options);
    if (sheet.error == LXW_NO_ERROR) sheet.error = error;
}

}  // namespace

bool SummaryWorkbook::Write(const ArchiveSummary& summary, const std::string& strFile,
                            const std::string& strScratch) {
    // The library prints numbers with the C library's locale.
    if (std::localeconv()->decimal_point != std::string(".")) return false;
    lxw_workbook_options options = {};
    options.tmpdir = const_cast<char*>(strScratch.c_str());
    lxw_workbook* pBook = workbook_new_opt(strFile.c_str(), &options);
    if (!pBook) return false;
    Writer writer(pBook);
    std::vector<Sheet> sheets;

    const std::vector<std::string>& names = ArchiveSummary::ColumnNames();
    Sheet rows;
    rows.pSheet = workbook_add_worksheet(pBook, "Summary");
    Sheet skipped;
    skipped.pSheet = workbook_add_worksheet(pBook, "Skipped");
    if (!rows.pSheet || !skipped.pSheet) {
        workbook_close(pBook);
        return false;
    }
    for (size_t c = 0; c < names.size(); ++c) writer.Header(rows, c, names[c]);
    const std::vector<ArchiveSummary::Row>& vecRows = summary.GetRows();
    for (size_t r = 0; r < vecRows.size(); ++r)
        for (size_t c = 0; c < names.size(); ++c)
            writer.Value(rows, r + 1, c, vecRows[r].vecFields[c], IsTextColumn(names[c]));
    sheets.push_back(rows);

    writer.Header(skipped, 0, "Path");
    writer.Header(skipped, 1, "Reason");
    const std::vector<ArchiveSummary::Skipped>& vecSkipped = summary.GetSkipped();
    for (size_t r = 0; r < vecSkipped.size(); ++r) {
        writer.Value(skipped, r + 1, 0, vecSkipped[r].strPath, true);
        writer.Value(skipped, r + 1, 1, archive::FailureCode(vecSkipped[r].reason), true);
    }
    sheets.push_back(skipped);

    // Each instrument's history: its calibrations by date, its final dead
    // time and Keff, and their charts beside them.
    const std::vector<std::vector<size_t>> history = summary.HistoryBySerial();
    std::vector<wxString> vecSerials;
    for (const auto& vec : history) vecSerials.push_back(vecRows[vec.front()].strSerial);
    const std::vector<wxString> vecSheetNames =
        ArchiveSummary::SheetNames(vecSerials, {wxT("Summary"), wxT("Skipped")});
    const char* const heads[] = {"Date", "DeadTime", "Keff", "CertificateNumber", "Mode", "Path"};
    const size_t nPath = 0, nMode = 2;
    const auto column = [&names](const char* pszName) {
        return static_cast<size_t>(std::find(names.begin(), names.end(), pszName) - names.begin());
    };
    for (size_t s = 0; s < history.size(); ++s) {
        Sheet sheet;
        sheet.pSheet = workbook_add_worksheet(pBook, vecSheetNames[s].utf8_string().c_str());
        if (!sheet.pSheet) {
            workbook_close(pBook);
            return false;
        }
        for (size_t c = 0; c < std::size(heads); ++c) writer.Header(sheet, c, heads[c]);
        for (size_t r = 0; r < history[s].size(); ++r) {
            const ArchiveSummary::Row& row = vecRows[history[s][r]];
            writer.Date(sheet, r + 1, 0, row.date);
            writer.Value(sheet, r + 1, 1, row.strDeadTime, false);
            writer.Value(sheet, r + 1, 2, row.strKeff, false);
            writer.Value(sheet, r + 1, 3, row.vecFields[column("CertificateNumber")], true);
            writer.Value(sheet, r + 1, 4, row.vecFields[nMode], true);
            writer.Value(sheet, r + 1, 5, row.vecFields[nPath], true);
        }
        AddChart(pBook, sheet, vecSheetNames[s], 1, "DeadTime", history[s].size(), 0);
        AddChart(pBook, sheet, vecSheetNames[s], 2, "Keff", history[s].size(), 500);
        sheets.push_back(sheet);
    }

    lxw_error error = LXW_NO_ERROR;
    for (Sheet& sheet : sheets) {
        sheet.Finish();
        if (error == LXW_NO_ERROR) error = sheet.error;
    }
    const lxw_error closed = workbook_close(pBook);
    return error == LXW_NO_ERROR && closed == LXW_NO_ERROR;
}
