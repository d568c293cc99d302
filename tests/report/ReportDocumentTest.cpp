// The report document of known panels, read back cell by cell, in English
// and in Russian.
#include <algorithm>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/translation.h>

#include "report/ReportDocument.h"
#include "testsupport/KnownPanel.h"

namespace {

// The innermost table cells in document order, tags removed and entities
// resolved: what a reader of the page sees in each cell.
std::vector<std::string> Cells(const wxString& html) {
    static const std::regex cell("<t[dh][^>]*>((?:(?!<t[dh]|</t[dh]>)[\\s\\S])*)</t[dh]>");
    static const std::regex tag("<[^>]*>");
    std::vector<std::string> cells;
    const std::string text = html.utf8_string();
    for (std::sregex_iterator it(text.begin(), text.end(), cell), end; it != end; ++it) {
        std::string s = std::regex_replace((*it)[1].str(), tag, "");
        for (const auto& e : {std::pair<const char*, const char*>{"&lt;", "<"},
                              {"&gt;", ">"},
                              {"&quot;", "\""},
                              {"&amp;", "&"}})
            for (size_t p; (p = s.find(e.first)) != std::string::npos;)
                s.replace(p, std::strlen(e.first), e.second);
        cells.push_back(s);
    }
    return cells;
}

struct Labels {
    wxLanguage language;
    const char *title, *date, *mode, *modeValue, *archive, *changed, *result, *manual, *deadTime,
        *keff, *grid, *manualGrid, *row, *realP, *correction, *accuracy;
};

const Labels kEnglish = {wxLANGUAGE_ENGLISH,
                         "Calibration report",
                         "Date and time",
                         "Program mode",
                         "With frequency",
                         "Archive file",
                         " (data changed since it was opened or saved)",
                         "Result",
                         "Manual",
                         "Dead time",
                         "Efficacy registration",
                         "Measurement grid",
                         "Manual grid (after Set)",
                         "Row",
                         "Real P0",
                         "Correction P0",
                         "Accuracy"};
const Labels kRussian = {wxLANGUAGE_RUSSIAN,
                         "Отчёт о калибровке",
                         "Дата и время",
                         "Режим программы",
                         "С частотой",
                         "Файл архива",
                         " (данные изменены после открытия или сохранения)",
                         "Результат",
                         "Вручную",
                         "Мёртвое время",
                         "Эффективность регистрации",
                         "Таблица измерений",
                         "Ручная таблица (после «Установить»)",
                         "Строка",
                         "Реальное P0",
                         "Скорректированное P0",
                         "Точность"};

// The cells the page must show for these contents, in order.
std::vector<std::string> ExpectedCells(const panel::Contents& c, const Labels& l,
                                       const std::string& strArchive, bool bSet) {
    auto box = [&](panel::Box b) { return c.boxes[b].utf8_string(); };
    std::vector<std::string> cells = {l.date, "2026-03-04 05:06:07", l.mode, l.modeValue};
    if (!strArchive.empty()) cells.insert(cells.end(), {l.archive, strArchive + l.changed});
    cells.insert(cells.end(), {"T", box(panel::kBoxT), "", l.result, l.manual, l.deadTime,
                               box(panel::kBoxDeadTime), box(panel::kBoxManualDeadTime), l.keff,
                               box(panel::kBoxRegistration), box(panel::kBoxManualRegistration)});
    const panel::Box k[][2] = {{panel::kBoxK1, panel::kBoxManualK1},
                               {panel::kBoxK2, panel::kBoxManualK2},
                               {panel::kBoxK3, panel::kBoxManualK3}};
    for (int i = 0; i < 3; ++i)
        cells.insert(cells.end(), {"K" + std::to_string(i + 1), box(k[i][0]), box(k[i][1])});
    for (const panel::GridTable* pTable : {&c.table, &c.manualTable}) {
        if (pTable == &c.manualTable && !bSet) break;
        cells.insert(cells.end(), {l.row, "\u2713", l.realP, "Fl", "Fr", l.correction, l.accuracy});
        for (int r = 0; r < panel::kRows; ++r) {
            const auto& row = (*pTable)[r];
            bool bFilled = false;
            for (const wxString& s : row) bFilled = bFilled || !s.empty();
            if (!bFilled) continue;
            cells.push_back(std::to_string(r + 1));
            cells.push_back(row[0].empty() ? "" : "\u2713");
            for (int col = 1; col < panel::kCols; ++col) cells.push_back(row[col].utf8_string());
        }
    }
    return cells;
}

TEST(ReportDocument, ShowsThePanelsTextsInEnglishAndRussian) {
    // Rows 0 to 9 of the detector; row 10 holds text only, with markup
    // characters, which the page must show as typed.
    const DataSet data = MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 5, 7, 9});
    panel::Contents counted = PanelAfterCount(data);
    counted.table[10][1] = "<b>n/a & \"x\"";
    panel::Contents set = counted;
    ApplySet(set, data, {3.1L, 8800, 0.3L, 0.025L, 2.5L});
    const wxDateTime when(4, wxDateTime::Mar, 2026, 5, 6, 7);

    wxInitializer toolkit;  // catalogue lookup asks the application's traits
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(VARID_LOCALE_DIR);
    struct Untranslate {
        ~Untranslate() { wxTranslations::Set(nullptr); }
    } untranslate;
    for (const Labels* pLabels : {&kEnglish, &kRussian}) {
        auto* pTranslations = new wxTranslations;
        wxTranslations::Set(pTranslations);
        if (pLabels->language != wxLANGUAGE_ENGLISH) {
            pTranslations->SetLanguage(pLabels->language);
            ASSERT_TRUE(pTranslations->AddCatalog("KEVRO_Varid"));
            ASSERT_TRUE(pTranslations->AddCatalog("kevro_zanol"));
        }
        const struct {
            const panel::Contents* pContents;
            const char* szArchive;
            bool bSet;
        } cases[] = {{&counted, "", false}, {&set, "/data/run <1>.xml", true}};
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(pLabels->title) + (c.bSet ? ", Set" : ", Count"));
            const wxString html = ReportDocument::BuildHtml(*c.pContents, 0, when,
                                                            wxString::FromUTF8(c.szArchive), true);
            EXPECT_NE(html.find(wxString::FromUTF8(pLabels->title)), wxString::npos);
            EXPECT_EQ(html.find("<b>n/a"), wxString::npos) << "typed markup must be escaped";
            EXPECT_EQ(Cells(html), ExpectedCells(*c.pContents, *pLabels, c.szArchive, c.bSet));
        }
    }
}

TEST(ReportDocument, AFitAddsItsValuesUncertaintiesRowsAndResidual) {
    const DataSet data = MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 6, 9, 10});
    CalibrationFit fit;
    const panel::Contents c = PanelAfterFit(data, fit);
    const wxDateTime when(4, wxDateTime::Mar, 2026, 5, 6, 7);
    const std::vector<std::string> plain = Cells(ReportDocument::BuildHtml(c, 0, when, "", false));
    const std::vector<std::string> cells =
        Cells(ReportDocument::BuildHtml(c, 0, when, "", false, &fit));

    // The fit's cells stand between the values and the grids; the rest is
    // the page without the fit.
    const size_t nFit = 4 + 4 * CalibrationFit::kValues + 6;
    ASSERT_EQ(cells.size(), plain.size() + nFit);
    const auto start = std::mismatch(plain.begin(), plain.end(), cells.begin()).first;
    const size_t at = static_cast<size_t>(start - plain.begin());
    ASSERT_EQ(plain[at], "Row") << "the measurement grid follows the fit";
    EXPECT_TRUE(std::equal(plain.begin() + at, plain.end(), cells.begin() + at + nFit));
    const std::vector<std::string> section(cells.begin() + at, cells.begin() + at + nFit);

    auto num = [](const std::string& str) { return std::strtod(str.c_str(), nullptr); };
    // Two significant digits are within 5 % of the value.
    auto expectShort = [&](double expected, const std::string& str, const std::string& what) {
        EXPECT_GT(expected, 0) << what;
        EXPECT_NEAR(num(str), expected, 0.05 * expected) << what << ": " << str;
    };
    const std::vector<std::string> head = {"", "Unrounded", "As set", "U (95 %)"};
    EXPECT_EQ(std::vector<std::string>(section.begin(), section.begin() + 4), head);
    const struct {
        const char* pszLabel;
        panel::Box box;
    } values[] = {{"Dead time", panel::kBoxManualDeadTime},
                  {"Efficacy registration", panel::kBoxManualRegistration},
                  {"K1", panel::kBoxManualK1},
                  {"K2", panel::kBoxManualK2},
                  {"K3", panel::kBoxManualK3}};
    for (int j = 0; j < CalibrationFit::kValues; ++j) {
        const std::string* row = &section[4 + 4 * j];
        EXPECT_EQ(row[0], values[j].pszLabel);
        const double dUnrounded = fit.GetUnrounded()[j];
        EXPECT_NEAR(num(row[1]), dUnrounded, 1e-9 * std::fabs(dUnrounded)) << row[0];
        EXPECT_EQ(row[2], c.boxes[values[j].box].utf8_string()) << "as the box holds it";
        expectShort(fit.GetExpandedUncertainty()[j], row[3], row[0]);
    }
    const std::string* tail = &section[4 + 4 * CalibrationFit::kValues];
    EXPECT_EQ(tail[0], "Rows, n");
    EXPECT_EQ(tail[1], "11");
    EXPECT_EQ(tail[2], "Degrees of freedom, \u03bd");
    EXPECT_EQ(tail[3], "6");
    EXPECT_EQ(tail[4], "Residual standard deviation s, %");
    expectShort(fit.GetResidualPercent(), tail[5], "s");
}

}  // namespace
