// The report document of known panels, read back cell by cell, in English
// and in Russian: the certificate's own pages, and the data pages after them.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <boost/math/distributions/students_t.hpp>
#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/translation.h>

#include "calc/CalibrationBudget.h"
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
              (std::vector<std::string>{"", "Identification", "Final values", "Results",
                                        "Measurement uncertainty", "Notes", "", "Calibration data",
                                        "Measurement grid", "Manual grid (after Set)", ""}));
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

// The certificate's statement of uncertainty and conformity. Its numbers are
// worked out here from the budget's terms by the GUM's formulas, and read
// back from the texts the certificate prints.

const double kInf = std::numeric_limits<double>::infinity();
const wxDateTime kWhen(4, wxDateTime::Mar, 2026, 5, 6, 7);
const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

double Num(const wxString& str) { return std::strtod(str.utf8_str(), nullptr); }

struct Term {
    std::string name, type, distribution;
    double u, nu;
};
struct Combined {
    double uc, nu, k, U;
};

// u_c as the root sum of squares, nu_eff by Welch-Satterthwaite capped at
// 10^6, k as Student's t for 95 % at its integer part.
Combined Combine(const std::vector<Term>& terms) {
    double squares = 0, quartics = 0;
    for (const Term& t : terms) {
        squares += t.u * t.u;
        if (std::isfinite(t.nu)) quartics += t.u * t.u * t.u * t.u / t.nu;
    }
    const double nu = quartics > 0 ? std::min(squares * squares / quartics, 1e6) : 1e6;
    // The integer part of the exact value, which rounding may leave just short.
    const double k = boost::math::quantile(
        boost::math::students_t_distribution<double>(std::max(1.0, std::floor(nu + 1e-9))), 0.975);
    return {std::sqrt(squares), nu, k, k * std::sqrt(squares)};
}

// Two significant digits are within 5 % of the value.
void ExpectShort(double expected, const wxString& str, const std::string& what) {
    EXPECT_NEAR(Num(str), expected, 0.05 * expected + 1e-12) << what << ": " << str;
}

// Every text of the document, split at blanks.
std::vector<std::string> Words(const ReportDocument& doc) {
    std::vector<std::string> words;
    auto add = [&](const wxString& str) {
        std::istringstream in(str.utf8_string());
        for (std::string w; in >> w;) words.push_back(w);
    };
    for (const auto& section : doc.m_vecSections) {
        add(section.strHeading);
        for (const auto& block : section.vecBlocks) {
            add(block.strText);
            for (const auto& column : block.table.vecColumns) add(column.strHeader);
            for (const auto& row : block.table.vecRows)
                for (const wxString& cell : row) add(cell);
        }
    }
    return words;
}

void ExpectNoNonNumbers(const ReportDocument& doc) {
    for (std::string w : Words(doc)) {
        w.erase(std::remove_if(w.begin(), w.end(), [](char c) { return std::ispunct(c); }),
                w.end());
        std::transform(w.begin(), w.end(), w.begin(), [](char c) { return std::tolower(c); });
        EXPECT_TRUE(w != "nan" && w != "inf" && w != "infinity") << "printed " << w;
    }
}

bool HasHeading(const ReportDocument& doc, const std::string& strStart) {
    const std::vector<std::string> headings = Headings(doc);
    return std::any_of(headings.begin(), headings.end(),
                       [&](const std::string& h) { return h.rfind(strStart, 0) == 0; });
}

std::vector<std::string> Headers(const ReportDocument::Table& table) {
    std::vector<std::string> headers;
    for (const auto& column : table.vecColumns) headers.push_back(column.strHeader.utf8_string());
    return headers;
}

// A budget's section as printed: where it holds, every term with its share
// of u_c squared, then u_c, nu_eff, k and U.
void ExpectBudget(const ReportDocument& doc, const std::string& strHeading,
                  const std::string& strNote, const std::vector<Term>& terms) {
    SCOPED_TRACE(strHeading);
    const Combined c = Combine(terms);
    const size_t nTable = strNote.empty() ? 0 : 1;
    if (!strNote.empty()) {
        EXPECT_EQ(
            doc.m_vecSections[SectionOf(doc, strHeading)].vecBlocks.at(0).strText.utf8_string(),
            strNote);
    }
    const ReportDocument::Table& table = TableOf(doc, strHeading, nTable);
    EXPECT_EQ(Headers(table), (std::vector<std::string>{"Component", "Type", "Distribution", "u, %",
                                                        "\u03bd", "Share of u_c\u00b2, %"}));
    ASSERT_EQ(table.vecRows.size(), terms.size());
    for (size_t i = 0; i < terms.size(); ++i) {
        const auto& cells = table.vecRows[i];
        const Term& t = terms[i];
        EXPECT_EQ(cells[0].utf8_string(), t.name);
        EXPECT_EQ(cells[1].utf8_string(), t.type);
        EXPECT_EQ(cells[2].utf8_string(), t.distribution);
        ExpectShort(t.u, cells[3], t.name);
        EXPECT_EQ(cells[4].utf8_string(),
                  std::isfinite(t.nu) ? std::to_string(static_cast<int>(t.nu)) : "\u221e");
        EXPECT_NEAR(Num(cells[5]), 100 * t.u * t.u / (c.uc * c.uc), 0.051) << t.name;
    }
    const ReportDocument::Table& list = TableOf(doc, strHeading, nTable + 1);
    ASSERT_EQ(list.vecRows.size(), 4u);
    EXPECT_EQ(list.vecRows[0][0], "Combined standard uncertainty u_c, %");
    ExpectShort(c.uc, list.vecRows[0][1], "u_c");
    EXPECT_EQ(list.vecRows[1][0].utf8_string(), "Effective degrees of freedom \u03bd_eff");
    if (c.nu >= 1e6) {
        EXPECT_EQ(list.vecRows[1][1].utf8_string(), "\u221e");
    } else {
        EXPECT_NEAR(Num(list.vecRows[1][1]), c.nu, c.nu < 100 ? 0.051 : 0.5);
    }
    EXPECT_EQ(list.vecRows[2][0], "Coverage factor k");
    EXPECT_NEAR(Num(list.vecRows[2][1]), c.k, 0.0051);
    EXPECT_EQ(list.vecRows[3][0], "Expanded uncertainty U, %");
    ExpectShort(c.U, list.vecRows[3][1], "U");
}

TEST(ReportDocument, AFitsSetStatesBothBudgetsAndWhetherTheReferenceIsIncluded) {
    const DataSet data = MakeDetectorData(0, kAllRows, {1, 6, 9, 10});
    CalibrationFit fit;
    const panel::Contents fitted = PanelAfterFit(data, fit);
    const double s = fit.GetResidualPercent(), nu = fit.GetDegreesOfFreedom();
    const struct {
        const char *pszU, *pszK;
        double uRef;
        const char* pszReference;
    } cases[] = {
        {"3.0", "2", 1.5, "The reference's uncertainty (3.0 %, k = 2) is included."},
        {"1.2", "", 0.6, "The reference's uncertainty (1.2 %, k = 2) is included."},
        {"", "", 0, "No uncertainty of the reference is given: it is not included."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("reference ") + c.pszU);
        panel::Contents contents = fitted;
        contents.details.Set(Details::kReferenceUncertainty, c.pszU);
        contents.details.Set(Details::kReferenceCoverageFactor, c.pszK);
        contents.details.Set(Details::kUnit, wxString::FromUTF8("\u00b5Sv/h"));
        const ReportDocument doc = ReportDocument::Build(contents, 0, kWhen, "", false, &fit);
        ExpectNoNonNumbers(doc);
        const Term reference = {"Reference values (Real P0)", "B", "normal", c.uRef, kInf};

        // The deviation: the reference first, then the rows' scatter.
        std::vector<Term> deviation = {
            {"Scatter of the rows about the model", "A", "normal", s, nu}};
        if (c.uRef > 0) deviation.insert(deviation.begin(), reference);
        ExpectBudget(doc, "Uncertainty budget of the deviations", "", deviation);
        const Combined d = Combine(deviation);
        const ReportDocument::Table& results = TableOf(doc, "Results", 0);
        EXPECT_EQ(Headers(results).back(), "U, %") << "no verdicts without a tolerance";
        for (const auto& cells : results.vecRows) {
            EXPECT_EQ(cells.back(), results.vecRows[0].back()) << "the same U on every row";
            ExpectShort(d.U, cells.back(), "the results' U");
        }

        // The corrected value at the row of the largest U: the fit, the
        // set's offset, then the reference.
        CalibrationBudget budget;
        ASSERT_TRUE(budget.Evaluate(fit, c.uRef));
        std::vector<Term> largest;
        size_t nLargest = 0;
        double dLargest = -1;
        for (size_t i = 0; i < budget.GetRowBudgets().size(); ++i) {
            const UncertaintyBudget& row = budget.GetRowBudgets()[i];
            std::vector<Term> terms = {
                {"Least-squares fit", "A", "normal", row.Find(CalibrationBudget::kFit)->dU, nu},
                {"Offset of the set from the least-squares values", "B",
                 "uncorrected offset, full size", row.Find(CalibrationBudget::kOffset)->dU, kInf}};
            if (c.uRef > 0) terms.push_back(reference);
            if (Combine(terms).U > dLargest) {
                dLargest = Combine(terms).U;
                largest = terms;
                nLargest = i;
            }
        }
        const DataRow& row = data.rows[nLargest];
        ExpectBudget(doc, "Uncertainty budget of the corrected values",
                     "At row " + std::to_string(row.nRow + 1) + " (Real P0 = " + row.strRealP +
                         " \u00b5Sv/h), where U is the largest.",
                     largest);

        // The statements, the range of Real P0 as typed.
        const std::vector<std::string> texts = Paragraphs(doc);
        const size_t at = std::find(texts.begin(), texts.end(), c.pszReference) - texts.begin();
        ASSERT_LT(at, texts.size()) << c.pszReference;
        ASSERT_GE(at, 2u);
        std::smatch m;
        ASSERT_TRUE(std::regex_match(texts[at - 2], m,
                                     std::regex("Expanded uncertainty of the deviations: U = "
                                                "([0-9.]+) % \\(k = ([0-9.]+), about 95 % "
                                                "coverage\\), the same at every row\\.")))
            << texts[at - 2];
        ExpectShort(d.U, m[1].str(), "the deviation's U");
        EXPECT_NEAR(std::stod(m[2].str()), d.k, 0.0051);
        ASSERT_TRUE(std::regex_match(
            texts[at - 1], m,
            std::regex("Expanded uncertainty of the corrected values: at most ([0-9.]+) % \\(k = "
                       "([0-9.]+), about 95 % coverage\\) from Real P0 = (\\S+) to (\\S+) "
                       "\u00b5Sv/h\\.")))
            << texts[at - 1];
        ExpectShort(dLargest, m[1].str(), "the largest U");
        EXPECT_NEAR(std::stod(m[2].str()), Combine(largest).k, 0.0051);
        auto byValue = [](const DataRow& a, const DataRow& b) {
            return std::stod(a.strRealP) < std::stod(b.strRealP);
        };
        EXPECT_EQ(m[3].str(),
                  std::min_element(data.rows.begin(), data.rows.end(), byValue)->strRealP);
        EXPECT_EQ(m[4].str(),
                  std::max_element(data.rows.begin(), data.rows.end(), byValue)->strRealP);

        // The fit's values with the U the panel's labels give: Keff's with
        // the reference's share of its own size.
        const ReportDocument::Table& values =
            TableOf(doc, "Least-squares fit over every complete row", 0);
        for (int j = 0; j < CalibrationFit::kValues; ++j) {
            std::vector<Term> terms = {{"fit", "A", "", fit.GetStandardUncertainty()[j], nu}};
            if (j == CalibrationFit::kKeff && c.uRef > 0)
                terms.push_back({"ref", "B", "", c.uRef * fit.GetSet()[j] / 100, kInf});
            ExpectShort(Combine(terms).U, values.vecRows[j][3], values.vecRows[j][0].utf8_string());
        }
    }
}

TEST(ReportDocument, WithoutAFitsSetOrWithAnUndeterminedCovarianceItSaysWhyThereIsNoBudget) {
    const DataSet data = MakeDetectorData(0, kAllRows, {1, 6, 9, 10});
    const panel::Contents counted = PanelAfterCount(data);
    panel::Contents set = counted;
    ApplySet(set, data, {3.1L, 8800, 0.3L, 0.025L, 2.5L});

    // A fit whose covariance is undetermined.
    const ProgramMode mode(1);
    CalibrationFit fit;
    const panel::Contents undetermined = PanelAfterUndeterminedFit(fit);

    const struct {
        const char* pszCase;
        const panel::Contents* pContents;
        int nMode;
        const CalibrationFit* pFit;
        const char* pszSays;
    } cases[] = {
        {"Count", &counted, 0, nullptr, "No uncertainty was evaluated: press Fit to evaluate it."},
        {"Set by hand", &set, 0, nullptr,
         "No uncertainty was evaluated: press Fit to evaluate it."},
        {"undetermined", &undetermined, 1, &fit,
         "The fit's covariance is undetermined: no uncertainty was evaluated."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszCase);
        // The guarded rule needs U: it states nothing, and printing goes on.
        panel::Contents contents = *c.pContents;
        contents.details.Set(Details::kReferenceUncertainty, "2");
        contents.details.Set(Details::kTolerance, "1");
        contents.details.Set(Details::kDecisionRule, CalibrationDetails::kRuleGuarded);
        const ReportDocument doc =
            ReportDocument::Build(contents, c.nMode, kWhen, "", false, c.pFit);
        ExpectNoNonNumbers(doc);
        const size_t nSection = SectionOf(doc, "Measurement uncertainty");
        ASSERT_LT(nSection, doc.m_vecSections.size());
        const auto& blocks = doc.m_vecSections[nSection].vecBlocks;
        ASSERT_EQ(blocks.size(), 1u);
        EXPECT_EQ(blocks[0].strText.utf8_string(), c.pszSays);
        EXPECT_FALSE(HasHeading(doc, "Uncertainty budget"));
        // Neither U nor verdicts beside the results.
        EXPECT_EQ(TableOf(doc, "Results", 0).vecColumns.size(), 4u);
        const ReportDocument::Table& conformity = TableOf(doc, "Statement of conformity", 0);
        EXPECT_EQ(conformity.vecRows.at(1)[1], "Guarded acceptance");
        EXPECT_EQ(
            doc.m_vecSections[SectionOf(doc, "Statement of conformity")].vecBlocks.at(2).strText,
            "No statement of conformity is possible: no uncertainty was evaluated.");
        // A fit without a budget gives its values without U.
        if (c.pFit) {
            EXPECT_EQ(Headers(TableOf(doc, "Least-squares fit over every complete row", 0)),
                      (std::vector<std::string>{"", "Unrounded", "As set"}));
        }
    }
}

TEST(ReportDocument, EachDecisionRuleJudgesEveryRowAndStatesTheOutcome) {
    const DataSet data = MakeDetectorData(0, kAllRows, {1, 6, 9, 10});
    CalibrationFit fit;
    panel::Contents fitted = PanelAfterFit(data, fit);
    // u_ref = 1 %: the deviation's U near 2 %, against a tolerance of 5 %.
    fitted.details.Set(Details::kReferenceUncertainty, "2");
    fitted.details.Set(Details::kTolerance, "5");
    for (const DataRow& row : data.rows) fitted.manualTable[row.nRow][5] = "0.0";
    const double U = Combine({{"ref", "B", "", 1, kInf},
                              {"scatter", "A", "", fit.GetResidualPercent(),
                               static_cast<double>(fit.GetDegreesOfFreedom())}})
                         .U;
    ASSERT_GT(U, 1.9);
    ASSERT_LT(U, 2.4);
    auto shown = [](double d) { return wxString::Format("%.1f", d).utf8_string(); };
    const std::string kConforms = "The item conforms to the tolerance.";
    const std::string kDoesNot = "The item does not conform to the tolerance.";
    const std::string kNone = "No statement of conformity is possible.";
    // Row 4's deviation decides; every other row passes.
    const struct {
        const char* pszRule;
        std::string strDeviation;
        const char *pszVerdict, *pszRuleName;
        std::string strStatement;
    } cases[] = {
        {"", "5.0", "Pass", "Simple acceptance", kConforms},
        {"simple", "-5.1", "Fail", "Simple acceptance", kDoesNot},
        {"guarded", shown(5 - U - 0.1), "Pass", "Guarded acceptance", kConforms},
        {"guarded", shown(-(5 - U + 0.1)), "Indeterminate", "Guarded acceptance", kNone},
        {"guarded", shown(5 + U - 0.1), "Indeterminate", "Guarded acceptance", kNone},
        {"guarded", shown(5 + U + 0.1), "Fail", "Guarded acceptance", kDoesNot},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pszRule) + " " + c.strDeviation);
        panel::Contents contents = fitted;
        contents.details.Set(Details::kDecisionRule, c.pszRule);
        contents.manualTable[4][5] = c.strDeviation;
        const ReportDocument doc = ReportDocument::Build(contents, 0, kWhen, "", false, &fit);
        const ReportDocument::Table& results = TableOf(doc, "Results", 0);
        EXPECT_EQ(Headers(results).back(), "Verdict");
        for (size_t i = 0; i < data.rows.size(); ++i)
            EXPECT_EQ(results.vecRows[i].back(), data.rows[i].nRow == 4 ? c.pszVerdict : "Pass")
                << i;
        const size_t nSection = SectionOf(doc, "Statement of conformity");
        const auto& blocks = doc.m_vecSections.at(nSection).vecBlocks;
        EXPECT_EQ(blocks.at(0).table.vecRows, (std::vector<std::vector<wxString>>{
                                                  {"Tolerance, %", wxString::FromUTF8("\u00b1 5")},
                                                  {"Decision rule", c.pszRuleName}}));
        EXPECT_EQ(blocks.at(2).strText.utf8_string(), c.strStatement);
    }

    // Without a fit the simple rule still judges the Count's rows.
    panel::Contents counted = PanelAfterCount(data);
    counted.details.Set(Details::kTolerance, "0.05");
    counted.table[3][5] = "-0.1";
    const ReportDocument doc = ReportDocument::Build(counted, 0, kWhen, "", false);
    const ReportDocument::Table& results = TableOf(doc, "Results", 0);
    EXPECT_EQ(Headers(results).back(), "Verdict");
    EXPECT_EQ(results.vecRows.at(3).back(), "Fail");
    EXPECT_EQ(doc.m_vecSections[SectionOf(doc, "Statement of conformity")].vecBlocks.at(2).strText,
              kDoesNot);
}

}  // namespace
