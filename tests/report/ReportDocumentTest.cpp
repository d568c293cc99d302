// The report document of known panels, read back cell by cell, in English
// and in Russian: the certificate's own pages, and the data pages after them.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/translation.h>

#include "report/ReportDocument.h"
#include "testsupport/KnownPanel.h"

namespace {

using Details = CalibrationDetails;

size_t SectionOf(const ReportDocument& doc, const std::string& strHeading) {
    for (size_t i = 0; i < doc.m_vecSections.size(); ++i)
        if (doc.m_vecSections[i].strHeading.utf8_string() == strHeading) return i;
    ADD_FAILURE() << "no section " << strHeading;
    return doc.m_vecSections.size();
}

// The cells of every table from section nFirst on, in reading order: a ruled
// table's headers, then its rows.
std::vector<std::string> Cells(const ReportDocument& doc, size_t nFirst = 0) {
    std::vector<std::string> cells;
    for (size_t i = nFirst; i < doc.m_vecSections.size(); ++i)
        for (const ReportDocument::Block& block : doc.m_vecSections[i].vecBlocks) {
            if (block.kind != ReportDocument::Block::Kind::kTable) continue;
            if (block.table.bRuled)
                for (const auto& column : block.table.vecColumns)
                    cells.push_back(column.strHeader.utf8_string());
            for (const auto& row : block.table.vecRows)
                for (const wxString& cell : row) cells.push_back(cell.utf8_string());
        }
    return cells;
}

const ReportDocument::Table& TableOf(const ReportDocument& doc, const std::string& strHeading,
                                     size_t nBlock) {
    return doc.m_vecSections[SectionOf(doc, strHeading)].vecBlocks.at(nBlock).table;
}

struct Labels {
    wxLanguage language;
    const char *title, *data, *date, *mode, *modeValue, *archive, *changed, *result, *manual,
        *deadTime, *keff, *grid, *manualGrid, *row, *realP, *correction, *accuracy;
};

const Labels kEnglish = {wxLANGUAGE_ENGLISH,
                         "Calibration report",
                         "Calibration data",
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
                         "Данные калибровки",
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
            const ReportDocument doc =
                ReportDocument::Build(*c.pContents, 0, when, wxString::FromUTF8(c.szArchive), true);
            EXPECT_EQ(doc.m_strTitle.utf8_string(), pLabels->title);
            // Typed markup characters are text like any other.
            EXPECT_EQ(Cells(doc, SectionOf(doc, pLabels->data)),
                      ExpectedCells(*c.pContents, *pLabels, c.szArchive, c.bSet));
        }
    }
}

TEST(ReportDocument, AFitAddsItsValuesUncertaintiesRowsAndResidual) {
    const DataSet data = MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 6, 9, 10});
    CalibrationFit fit;
    const panel::Contents c = PanelAfterFit(data, fit);
    const wxDateTime when(4, wxDateTime::Mar, 2026, 5, 6, 7);
    const ReportDocument plainDoc = ReportDocument::Build(c, 0, when, "", false);
    const ReportDocument fitDoc = ReportDocument::Build(c, 0, when, "", false, &fit);
    const std::vector<std::string> plain = Cells(plainDoc, SectionOf(plainDoc, "Calibration data"));
    const std::vector<std::string> cells = Cells(fitDoc, SectionOf(fitDoc, "Calibration data"));

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

std::vector<std::string> Headings(const ReportDocument& doc) {
    std::vector<std::string> headings;
    for (const auto& section : doc.m_vecSections)
        headings.push_back(section.strHeading.utf8_string());
    return headings;
}

std::vector<std::string> Paragraphs(const ReportDocument& doc) {
    std::vector<std::string> texts;
    for (const auto& section : doc.m_vecSections)
        for (const auto& block : section.vecBlocks)
            if (block.kind == ReportDocument::Block::Kind::kParagraph)
                texts.push_back(block.strText.utf8_string());
    return texts;
}

TEST(ReportDocument, ACertificateNumberMakesACertificateOfTheSameLayout) {
    const DataSet data = MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 5, 7, 9});
    const wxDateTime when(4, wxDateTime::Mar, 2026, 5, 6, 7);
    const struct {
        const char *number, *title, *numberLine, *end, *noCopies;
    } cases[] = {
        {"", "Calibration report", "", "End of report",
         "This report may not be reproduced other than in full without the written approval of "
         "the laboratory."},
        {"2026/017 <a>", "Calibration certificate", "No. 2026/017 <a>", "End of certificate",
         "This certificate may not be reproduced other than in full without the written approval "
         "of the laboratory."},
    };
    std::vector<std::vector<std::string>> layouts;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        panel::Contents contents = PanelAfterCount(data);
        contents.details.Set(Details::kCertificateNumber, c.number);
        const ReportDocument doc = ReportDocument::Build(contents, 0, when, "", false);
        EXPECT_EQ(doc.IsCertificate(), *c.number != 0);
        EXPECT_EQ(doc.m_strTitle.utf8_string(), c.title);
        EXPECT_EQ(doc.m_strNumber.utf8_string(), c.numberLine);
        EXPECT_EQ(doc.m_strEnd.utf8_string(), c.end);
        // The first page opens with the title and, on a certificate, its number.
        const std::vector<std::string> texts = Paragraphs(doc);
        EXPECT_EQ(texts.at(0), *c.number ? std::string(c.title) + " " + c.numberLine : c.title);
        for (const char* statement :
             {"The results relate only to the item calibrated.", c.noCopies})
            EXPECT_EQ(std::count(texts.begin(), texts.end(), statement), 1) << statement;
        layouts.push_back(Headings(doc));
    }
    EXPECT_EQ(layouts[0], layouts[1]);
}

TEST(ReportDocument, TheFinalValuesAndResultsCarryTheUnitsOfTheirMode) {
    const struct {
        int nMode;
        const char *unit, *periodUnit;
        std::vector<std::string> units;    // dead time, Keff, K1, K2, K3
        std::vector<std::string> headers;  // of the results table
    } cases[] = {
        {0,
         "mSv/h",
         "ms",
         {"µs", "mSv/h·µs", "", "µs⁻¹", "µs"},
         {"Real P0, mSv/h", "Mean frequency, Hz", "Corrected value, mSv/h", "Deviation, %"}},
        {1,
         "mSv/h",
         "ms",
         {"ms", "mSv/h·ms", "", "ms⁻¹", "ms"},
         {"Real P0, mSv/h", "Mean period, ms", "Corrected value, mSv/h", "Deviation, %"}},
        {1,
         "1/s",
         "",
         {"µs", "1/s·µs", "", "µs⁻¹", "µs"},
         {"Real P0, 1/s", "Mean period, µs", "Corrected value, 1/s", "Deviation, %"}},
        // Without a unit of its own Real P0 reads as a pure number.
        {0,
         "",
         "",
         {"µs", "µs", "", "µs⁻¹", "µs"},
         {"Real P0", "Mean frequency, Hz", "Corrected value", "Deviation, %"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.nMode) + " " + c.unit + " " + c.periodUnit);
        panel::Contents contents = PanelAfterCount(
            MakeDetectorData(c.nMode, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 5, 7, 9}));
        contents.details.Set(Details::kUnit, wxString::FromUTF8(c.unit));
        contents.details.Set(Details::kPeriodUnit, wxString::FromUTF8(c.periodUnit));
        const ReportDocument doc =
            ReportDocument::Build(contents, c.nMode, wxDateTime::Now(), "", false);
        const ReportDocument::Table& values = TableOf(doc, "Final values", 1);
        ASSERT_EQ(values.vecRows.size(), 5u);
        for (size_t j = 0; j < 5; ++j)
            EXPECT_EQ(values.vecRows[j][2].utf8_string(), c.units[j]) << j;
        const ReportDocument::Table& results = TableOf(doc, "Results", 0);
        std::vector<std::string> headers;
        for (const auto& column : results.vecColumns)
            headers.push_back(column.strHeader.utf8_string());
        EXPECT_EQ(headers, c.headers);
    }
}

TEST(ReportDocument, TheFirstPagesIdentifyTheItemAndGiveTheFinalSetsResults) {
    const DataSet data = MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 10}, {0, 5, 7, 9});
    const panel::Contents counted = PanelAfterCount(data);
    panel::Contents set = counted;
    ApplySet(set, data, {3.1L, 8800, 0.3L, 0.025L, 2.5L});
    const wxDateTime when(4, wxDateTime::Mar, 2026, 5, 6, 7);

    // Only the given fields, in the record's order; k defaults to 2 beside an uncertainty.
    set.details.Set(Details::kSerialNumber, "SN 42");
    set.details.Set(Details::kCustomer, wxString::FromUTF8("Заказчик"));
    set.details.Set(Details::kTemperature, "21.5");
    set.details.Set(Details::kReferenceUncertainty, "1.5");
    set.details.Set(Details::kNotes, "First line\nsecond line");
    set.details.Set(Details::kOperator, "I. Operator");
    const ReportDocument doc = ReportDocument::Build(set, 0, when, "", false);
    EXPECT_EQ(Headings(doc),
              (std::vector<std::string>{"", "Identification", "Final values", "Results", "Notes",
                                        "", "Calibration data", "Measurement grid",
                                        "Manual grid (after Set)", ""}));
    const std::vector<std::string> identification = {"Serial number",
                                                     "SN 42",
                                                     "Customer",
                                                     "Заказчик",
                                                     "Temperature, °C",
                                                     "21.5",
                                                     "Reference expanded uncertainty, %",
                                                     "1.5",
                                                     "Reference coverage factor k",
                                                     "2"};
    const std::vector<std::string> all = Cells(doc, SectionOf(doc, "Identification"));
    EXPECT_TRUE(std::equal(identification.begin(), identification.end(), all.begin()));
    EXPECT_EQ(doc.m_vecSections[SectionOf(doc, "Notes")].vecBlocks[0].strText,
              "First line\nsecond line");
    // The statements, then the lines to sign them.
    const auto& signatures = doc.m_vecSections[SectionOf(doc, "Notes") + 1].vecBlocks.at(2);
    ASSERT_EQ(signatures.kind, ReportDocument::Block::Kind::kSignatures);
    ASSERT_EQ(signatures.vecSignatures.size(), 2u);
    EXPECT_EQ(signatures.vecSignatures[0].strRole, "Operator");
    EXPECT_EQ(signatures.vecSignatures[0].strName, "I. Operator");
    EXPECT_EQ(signatures.vecSignatures[1].strRole, "Approved by");
    EXPECT_EQ(signatures.vecSignatures[1].strName, "");

    // The final set is the manual one once Set has shown rows, else the Count's.
    const struct {
        const panel::Contents* pContents;
        const panel::GridTable* pFinal;
        bool bManual;
    } sets[] = {{&counted, &counted.table, false}, {&set, &set.manualTable, true}};
    for (const auto& f : sets) {
        SCOPED_TRACE(f.bManual ? "Set" : "Count");
        const ReportDocument d = ReportDocument::Build(*f.pContents, 0, when, "", false);
        const ReportDocument::Table& values = TableOf(d, "Final values", 1);
        for (int j = 0; j < panel::kResults; ++j) {
            const panel::ResultBox& box = panel::kResultBoxes[j];
            EXPECT_EQ(values.vecRows[j][1],
                      f.pContents->boxes[f.bManual ? box.manual : box.result]);
        }
        const ReportDocument::Table& results = TableOf(d, "Results", 0);
        ASSERT_EQ(results.vecRows.size(), data.rows.size());
        for (size_t i = 0; i < data.rows.size(); ++i) {
            const DataRow& row = data.rows[i];
            const auto& cells = results.vecRows[i];
            EXPECT_EQ(cells[0].utf8_string(), row.strRealP);
            // The mean to the readings' digits, and one more where it falls between them.
            const double dMean = (std::stod(row.strFirst) + std::stod(row.strSecond)) / 2;
            EXPECT_NEAR(std::stod(cells[1].utf8_string()), dMean, 1e-9 * dMean) << cells[1];
            const size_t nDecimals = row.strFirst.size() - row.strFirst.find('.') - 1;
            const size_t nShown = cells[1].length() - cells[1].find('.') - 1;
            EXPECT_TRUE(nShown == nDecimals || nShown == nDecimals + 1) << cells[1];
            EXPECT_EQ(cells[2], (*f.pFinal)[row.nRow][4]);
            EXPECT_EQ(cells[3], (*f.pFinal)[row.nRow][5]);
        }
    }

    // Nothing counted yet: the certificate says so in place of values.
    panel::Contents typed = counted;
    for (auto& row : typed.table) row[4] = row[5] = "";
    const std::vector<std::string> texts =
        Paragraphs(ReportDocument::Build(typed, 0, when, "", false));
    EXPECT_NE(std::find(texts.begin(), texts.end(), "There are no results yet: press Count."),
              texts.end());
}

}  // namespace
