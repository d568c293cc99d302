// Set with the manual values, Clear and the program mode switch.
#include <cstdlib>

#include <wx/translation.h>

#include "app/Globals.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/PanelResult.h"

namespace {

const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
const char* const kManualBoxes[] = {"ID_MANUAL_K1", "ID_MANUAL_K2", "ID_MANUAL_K3",
                                    "ID_MANUAL_REGISTRATION", "ID_MANUAL_DEAD_TIME"};

class ManualTest : public PanelTest {
protected:
    double BoxNumber(const char* pszName) {
        return std::strtod(BoxText(pszName).utf8_string().c_str(), nullptr);
    }

    // Columns 0 to 3 of the manual grid repeat the measurement grid's rows.
    void ExpectCopiedRows(const DataSet& data) {
        for (const DataRow& row : data.rows)
            for (int nCol = 0; nCol < 4; ++nCol)
                EXPECT_EQ(ManualGrid()->GetCellValue(row.nRow, nCol),
                          Grid()->GetCellValue(row.nRow, nCol))
                    << row.nRow << "," << nCol;
    }

    std::vector<std::string> Snapshot(wxGrid* pGrid) {
        std::vector<std::string> cells;
        for (int nRow = 0; nRow < 11; ++nRow)
            for (int nCol = 0; nCol < 6; ++nCol)
                cells.push_back(pGrid->GetCellValue(nRow, nCol).utf8_string());
        for (const char* pszName : {"ID_REGISTRATION", "ID_DEAD_TIME", "ID_K1", "ID_K2", "ID_K3"})
            cells.push_back(BoxText(pszName).utf8_string());
        return cells;
    }
};

TEST_F(ManualTest, SetBeforeAnyCountUsesZeros) {
    Build(0);
    const DataSet data = MakeDetectorData(0, {2, 3, 4, 5, 6, 7, 8}, {0, 2, 4, 6});
    Enter(data);
    Set();
    ExpectCopiedRows(data);
    EXPECT_EQ(ManualGrid()->GetCellValue(data.rows[0].nRow, 0), "1");
    ExpectResultColumns(ManualGrid(), data, ExpectedManual(data, 0, 0, 0, 0, 0));
    for (int nRow : {0, 1, 9, 10}) EXPECT_EQ(ManualGrid()->GetCellValue(nRow, 1), "") << nRow;
    ExpectColumnsEmpty(Grid(), 4, 5);
    EXPECT_EQ(BoxText("ID_K1"), "");
}

TEST_F(ManualTest, SetAfterCountRecomputesFromTheShownValuesAndLeavesCountsDisplay) {
    Build(1);
    const DataSet data = MakeDetectorData(1, kAllRows, {1, 6, 9, 10});
    Enter(data);
    Count();
    ASSERT_NE(BoxText("ID_MANUAL_K1"), "");
    const std::vector<std::string> before = Snapshot(Grid());

    Set();
    EXPECT_EQ(Snapshot(Grid()), before);
    ExpectCopiedRows(data);
    ExpectResultColumns(
        ManualGrid(), data,
        ExpectedManual(data, BoxNumber("ID_MANUAL_K1"), BoxNumber("ID_MANUAL_K2"),
                       BoxNumber("ID_MANUAL_K3"), BoxNumber("ID_MANUAL_REGISTRATION"),
                       BoxNumber("ID_MANUAL_DEAD_TIME")));

    // Edited values, one with more decimals than are used.
    Box("ID_MANUAL_K1")->SetValue("0.5");
    Box("ID_MANUAL_K2")->SetValue("0.0312345");
    Box("ID_MANUAL_K3")->SetValue("");
    Box("ID_MANUAL_REGISTRATION")->SetValue("9100");
    Box("ID_MANUAL_DEAD_TIME")->SetValue("1e0");
    Set();
    EXPECT_EQ(Snapshot(Grid()), before);
    ExpectResultColumns(ManualGrid(), data, ExpectedManual(data, 0.5, 0.0312345, 0, 9100, 1));
}

TEST_F(ManualTest, SetRefusesWhatCountRefusesAndManualTextThatIsNoNumber) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    Enter(data);
    Set();
    const std::vector<std::string> manualBefore = Snapshot(ManualGrid());

    struct Case {
        const char* box;
        const char* text;
        const char* label;
    } cases[] = {{"ID_MANUAL_K1", "abc", "K1"},
                 {"ID_MANUAL_K2", "1.5x", "K2"},
                 {"ID_MANUAL_K3", "0,5", "K3"},
                 {"ID_MANUAL_REGISTRATION", "9000 ", "Efficacy registration"},
                 {"ID_MANUAL_DEAD_TIME", "us", "Dead time"}};
    for (const Case& c : cases) {
        Box(c.box)->SetValue(c.text);
        ExpectRefusal("ID_BT_CHANGE_VALUE",
                      wxString::Format("Manual value \"%s\" is not a number", c.label));
        Box(c.box)->SetValue("");
    }

    Box("ID_T")->SetValue("t");
    ExpectRefusal("ID_BT_CHANGE_VALUE", "The value T is not a number");
    Box("ID_T")->SetValue("");
    ExpectRefusal("ID_BT_CHANGE_VALUE", "Not all edit box fill");
    Box("ID_T")->SetValue(data.strT);
    Untick(0);
    ExpectRefusal("ID_BT_CHANGE_VALUE", "Choose wrong quantity values for calculate");
    Tick(0);
    TypeCell(2, 2, "");
    ExpectRefusal("ID_BT_CHANGE_VALUE", "Enter wrong data or not all data in grid");

    EXPECT_EQ(Snapshot(ManualGrid()), manualBefore);
}

TEST_F(ManualTest, ClearEmptiesThePanelAndStartsTheCountAfresh) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    Enter(data);
    Count();
    Set();
    ASSERT_NE(ManualGrid()->GetCellValue(0, 4), "");

    Click("ID_CLEAR");
    ExpectColumnsEmpty(Grid(), 0, 5);
    ExpectColumnsEmpty(ManualGrid(), 0, 5);
    for (const char* pszName :
         {"ID_T", "ID_REGISTRATION", "ID_DEAD_TIME", "ID_K1", "ID_K2", "ID_K3"})
        EXPECT_EQ(BoxText(pszName), "") << pszName;
    for (const char* pszName : kManualBoxes) EXPECT_EQ(BoxText(pszName), "") << pszName;
    EXPECT_EQ(m_pPanel->GetChosenCount(), 0);
    EXPECT_EQ(Grid()->GetColLabelValue(2), "Fl");
    EXPECT_FALSE(Grid()->IsReadOnly(0, 3));
    EXPECT_TRUE(Grid()->IsReadOnly(0, 4));

    ExpectRefusal("ID_COUNT", "Choose wrong quantity values for calculate");

    // The same data typed again gives the same results.
    Enter(data);
    Count();
    ExpectResultColumns(Grid(), data, ExpectedCount(data).rows);
}

TEST_F(ManualTest, ModeSwitchRelabelsEmptiesAndAcceptsNewTicks) {
    Build(0);
    Enter(MakeDetectorData(0, kAllRows, {0, 6, 8, 10}));
    Count();
    Set();

    SelectMode(1);
    EXPECT_EQ(g_nProgramMode, 1);
    EXPECT_EQ(Grid()->GetColLabelValue(2), "T1");
    EXPECT_EQ(Grid()->GetColLabelValue(3), "T2");
    ExpectColumnsEmpty(Grid(), 0, 5);
    ExpectColumnsEmpty(ManualGrid(), 0, 5);
    for (const char* pszName : kManualBoxes) EXPECT_EQ(BoxText(pszName), "") << pszName;
    EXPECT_EQ(BoxText("ID_K2"), "");
    EXPECT_EQ(m_pPanel->GetChosenCount(), 0);
    for (int nRow : {1, 3, 5, 7}) Tick(nRow);
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);

    // The new mode's readings are periods.
    Click("ID_CLEAR");
    const DataSet periods = MakeDetectorData(1, kAllRows, {1, 6, 9, 10});
    Enter(periods);
    Count();
    ExpectResultColumns(Grid(), periods, ExpectedCount(periods).rows);

    SelectMode(0);
    EXPECT_EQ(Grid()->GetColLabelValue(2), "Fl");
    EXPECT_EQ(Grid()->GetColLabelValue(3), "Fr");
    ExpectColumnsEmpty(Grid(), 0, 5);
}

TEST_F(ManualTest, NewMessagesAreTranslatedAndNameTheTranslatedLabel) {
    Build(0);
    Enter(MakeDetectorData(0, kAllRows, {0, 6, 8, 10}));
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(VARID_LOCALE_DIR);
    struct Language {
        wxLanguage language;
        const char *error, *tNotNumber, *deadTimeNotNumber;
    } languages[] = {
        {wxLANGUAGE_RUSSIAN, "Ошибка", "Значение T не является числом",
         "Ручное значение «Мёртвое время» не является числом"},
        {wxLANGUAGE_UKRAINIAN, "Помилка", "Значення T не є числом",
         "Ручне значення «Мертвий час» не є числом"},
    };
    // Later tests expect the untranslated texts, whatever happens here.
    struct Untranslate {
        ~Untranslate() { wxTranslations::Set(nullptr); }
    } untranslate;
    for (const Language& l : languages) {
        wxTranslations* pTranslations = new wxTranslations;
        wxTranslations::Set(pTranslations);
        pTranslations->SetLanguage(l.language);
        ASSERT_TRUE(pTranslations->AddCatalog("KEVRO_Varid"));
        ASSERT_TRUE(pTranslations->AddCatalog("kevro_zanol"));

        const wxString strT = BoxText("ID_T");
        Box("ID_T")->SetValue("x");
        wxTEST_DIALOG(
            Set(), ExpectErrorBox(wxString::FromUTF8(l.tNotNumber), wxString::FromUTF8(l.error)));
        Box("ID_T")->SetValue(strT);
        Box("ID_MANUAL_DEAD_TIME")->SetValue("x");
        wxTEST_DIALOG(Set(), ExpectErrorBox(wxString::FromUTF8(l.deadTimeNotNumber),
                                            wxString::FromUTF8(l.error)));
        Box("ID_MANUAL_DEAD_TIME")->SetValue("");
    }
}

}  // namespace
