#include "cli/SummaryWorkbook.h"

#include <algorithm>
#include <vector>

#include "cli/ArchiveSummary.h"
#include "report/WorkbookExport.h"
#include "report/WorkbookWriter.h"

namespace {

// Columns whose value is never a number, whatever it looks like.
bool IsTextColumn(const std::string& strName) {
    return strName == "Path" || strName == "Modified" || strName == "Mode" ||
           strName == "Recount" || WorkbookExport::IsTextOnly(strName);
}

// A chart of one of the history's columns over its dates, below the table,
// nOffset pixels from its left.
void AddChart(WorkbookWriter& book, int nSheet, const wxString& strSheet, lxw_col_t nCol,
              const char* pszTitle, size_t nRows, int32_t nOffset) {
    lxw_chart* pChart = workbook_add_chart(book.GetBook(), LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
    if (!pChart || !book.GetSheet(nSheet)) {
        book.Keep(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return;
    }
    lxw_chart_series* pSeries = chart_add_series(pChart, nullptr, nullptr);
    const std::string strName = strSheet.utf8_string();
    const lxw_row_t nLast = static_cast<lxw_row_t>(nRows);
    chart_series_set_categories(pSeries, strName.c_str(), 1, 0, nLast, 0);
    chart_series_set_values(pSeries, strName.c_str(), 1, nCol, nLast, nCol);
    chart_series_set_name(pSeries, pszTitle);
    chart_title_set_name(pChart, pszTitle);
    chart_axis_set_num_format(pChart->x_axis, WorkbookWriter::kDateFormat);
    chart_axis_set_name(pChart->x_axis, "Date");
    chart_legend_set_position(pChart, LXW_CHART_LEGEND_NONE);
    lxw_chart_options options = {};
    options.x_offset = nOffset;
    options.x_scale = 1.0;
    options.y_scale = 1.1;
    book.Keep(worksheet_insert_chart_opt(book.GetSheet(nSheet), static_cast<lxw_row_t>(nRows + 2),
                                         0, pChart, &options));
}

}  // namespace

bool SummaryWorkbook::Write(const ArchiveSummary& summary, const std::string& strFile,
                            const std::string& strScratch) {
    WorkbookWriter book(strFile, strScratch);
    if (!book.IsOk()) return false;

    const std::vector<std::string>& names = ArchiveSummary::ColumnNames();
    const int nRows = book.AddSheet("Summary");
    const int nSkipped = book.AddSheet("Skipped");
    for (size_t c = 0; c < names.size(); ++c) book.Label(nRows, 0, c, names[c], true);
    const std::vector<ArchiveSummary::Row>& vecRows = summary.GetRows();
    for (size_t r = 0; r < vecRows.size(); ++r)
        for (size_t c = 0; c < names.size(); ++c)
            book.Value(nRows, r + 1, c, vecRows[r].vecFields[c].utf8_string(),
                       IsTextColumn(names[c]));

    book.Label(nSkipped, 0, 0, wxT("Path"), true);
    book.Label(nSkipped, 0, 1, wxT("Reason"), true);
    const std::vector<ArchiveSummary::Skipped>& vecSkipped = summary.GetSkipped();
    for (size_t r = 0; r < vecSkipped.size(); ++r) {
        book.Value(nSkipped, r + 1, 0, vecSkipped[r].strPath.utf8_string(), true);
        book.Value(nSkipped, r + 1, 1, archive::FailureCode(vecSkipped[r].reason), true);
    }

    // Each instrument's history: its calibrations by date, its final dead
    // time and Keff, and their charts below them.
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
        const int nSheet = book.AddSheet(vecSheetNames[s].utf8_string());
        for (size_t c = 0; c < std::size(heads); ++c) book.Label(nSheet, 0, c, heads[c], true);
        for (size_t r = 0; r < history[s].size(); ++r) {
            const ArchiveSummary::Row& row = vecRows[history[s][r]];
            const auto text = [&row](size_t nColumn) {
                return row.vecFields[nColumn].utf8_string();
            };
            book.Date(nSheet, r + 1, 0, row.date);
            book.Value(nSheet, r + 1, 1, row.strDeadTime.utf8_string(), false);
            book.Value(nSheet, r + 1, 2, row.strKeff.utf8_string(), false);
            book.Value(nSheet, r + 1, 3, text(column("CertificateNumber")), true);
            book.Value(nSheet, r + 1, 4, text(nMode), true);
            book.Value(nSheet, r + 1, 5, text(nPath), true);
        }
        AddChart(book, nSheet, vecSheetNames[s], 1, "DeadTime", history[s].size(), 0);
        AddChart(book, nSheet, vecSheetNames[s], 2, "Keff", history[s].size(), 500);
    }
    return book.Close();
}
