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
    long double BoxNumber(const char* pszName) {
        return std::strtold(BoxText(pszName).utf8_string().c_str(), nullptr);
    }

    // The manual grid: rows copied from the measurement grid, columns 4 and
    // 5 corrected with these manual values.
    void ExpectManualGrid(const DataSet& data, const Detector& typed) {
        for (const DataRow& row : data.rows)
            for (int nCol = 0; nCol < 4; ++nCol)
                EXPECT_EQ(ManualGrid()->GetCellValue(row.nRow, nCol),
                          Grid()->GetCellValue(row.nRow, nCol))
                    << row.nRow << "," << nCol;
        ExpectResultColumns(ManualGrid(), data, ExpectedManual(data, typed));
    }

    // The texts of a grid and of the result boxes, which Set leaves alone.
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
    const std::vector<std::string> before = Snapshot(Grid());
    Set();
    ExpectManualGrid(data, {0, 0, 0, 0, 0});
    EXPECT_EQ(ManualGrid()->GetCellValue(data.rows[0].nRow, 0), "1");
    for (int nRow : {0, 1, 9, 10}) EXPECT_EQ(ManualGrid()->GetCellValue(nRow, 1), "") << nRow;
    EXPECT_EQ(Snapshot(Grid()), before);
}

TEST_F(ManualTest, SetAfterCountUsesTheShownValuesAndLeavesCountsDisplay) {
    Build(1);
    const DataSet data = MakeDetectorData(1, kAllRows, {1, 6, 9, 10});
    Enter(data);
    Count();
    ASSERT_NE(BoxText("ID_MANUAL_K1"), "");
    const std::vector<std::string> before = Snapshot(Grid());
    Set();
    EXPECT_EQ(Snapshot(Grid()), before);
    ExpectManualGrid(
        data, {BoxNumber("ID_MANUAL_DEAD_TIME"), BoxNumber("ID_MANUAL_REGISTRATION"),
               BoxNumber("ID_MANUAL_K1"), BoxNumber("ID_MANUAL_K2"), BoxNumber("ID_MANUAL_K3")});

    // Edited values: one with more decimals than are used, an empty one.
    Box("ID_MANUAL_K2")->SetValue("0.0312345");
    Box("ID_MANUAL_K3")->SetValue("");
    Box("ID_MANUAL_DEAD_TIME")->SetValue("1e0");
    Set();
    EXPECT_EQ(Snapshot(Grid()), before);
    ExpectManualGrid(
        data, {1, BoxNumber("ID_MANUAL_REGISTRATION"), BoxNumber("ID_MANUAL_K1"), 0.0312345L, 0});
}

TEST_F(ManualTest, SetRefusesWhatCountRefusesAndManualTextThatIsNoNumber) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    Enter(data);
    Set();
    const std::vector<std::string> manualBefore = Snapshot(ManualGrid());

    const char* const labels[] = {"K1", "K2", "K3", "Efficacy registration", "Dead time"};
    const char* const texts[] = {"abc", "1.5x", "0,5", "9000 ", "us"};
    for (int i = 0; i < 5; ++i) {
        Box(kManualBoxes[i])->SetValue(texts[i]);
        ExpectRefusal("ID_BT_CHANGE_VALUE",
                      wxString::Format("Manual value \"%s\" is not a number", labels[i]));
        Box(kManualBoxes[i])->SetValue("");
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

// Clear and the mode switch empty the panel the same way; after either, four
// new ticks are accepted and a Count of new data shows the model's results.
TEST_F(ManualTest, ClearAndModeSwitchEmptyThePanelAndStartAfresh) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    const DataSet periods = MakeDetectorData(1, kAllRows, {1, 6, 9, 10});
    const struct {
        int nMode;
        const char *fl, *fr;
        const DataSet& next;
    } steps[] = {{-1, "Fl", "Fr", data}, {1, "T1", "T2", periods}, {0, "Fl", "Fr", data}};
    Enter(data);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.nMode);
        Count();
        Set();
        ASSERT_NE(ManualGrid()->GetCellValue(0, 4), "");
        if (step.nMode < 0)
            Click("ID_CLEAR");
        else
            SelectMode(step.nMode);
        EXPECT_EQ(g_nProgramMode, step.next.nMode);
        EXPECT_EQ(Grid()->GetColLabelValue(2), step.fl);
        EXPECT_EQ(Grid()->GetColLabelValue(3), step.fr);
        ExpectColumnsEmpty(Grid(), 0, 5);
        ExpectColumnsEmpty(ManualGrid(), 0, 5);
        for (const char* pszName : {"ID_T", "ID_REGISTRATION", "ID_DEAD_TIME", "ID_K1", "ID_K2",
                                    "ID_K3", "ID_MANUAL_K1", "ID_MANUAL_DEAD_TIME"})
            EXPECT_EQ(BoxText(pszName), "") << pszName;
        EXPECT_EQ(m_pPanel->GetChosenCount(), 0);
        EXPECT_FALSE(Grid()->IsReadOnly(0, 3));
        EXPECT_TRUE(Grid()->IsReadOnly(0, 4));
        ExpectRefusal("ID_COUNT", "Choose wrong quantity values for calculate");
        for (int nRow : {1, 3, 5, 7}) Tick(nRow);
        EXPECT_EQ(m_pPanel->GetChosenCount(), 4);
        for (int nRow : {1, 3, 5, 7}) Untick(nRow);

        Enter(step.next);
        Count();
        ExpectResultColumns(Grid(), step.next, ExpectedCount(step.next).rows);
    }
}

TEST_F(ManualTest, NewMessagesAreTranslatedAndNameTheTranslatedLabel) {
    Build(0);
    Enter(MakeDetectorData(0, kAllRows, {0, 6, 8, 10}));
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(VARID_LOCALE_DIR);
    const struct {
        wxLanguage language;
        const char *error, *deadTimeNotNumber;
    } languages[] = {
        {wxLANGUAGE_RUSSIAN, "Ошибка", "Ручное значение «Мёртвое время» не является числом"},
        {wxLANGUAGE_UKRAINIAN, "Помилка", "Ручне значення «Мертвий час» не є числом"},
    };
    // Later tests expect the untranslated texts, whatever happens here.
    struct Untranslate {
        ~Untranslate() { wxTranslations::Set(nullptr); }
    } untranslate;
    Box("ID_MANUAL_DEAD_TIME")->SetValue("x");
    for (const auto& l : languages) {
        wxTranslations* pTranslations = new wxTranslations;
        wxTranslations::Set(pTranslations);
        pTranslations->SetLanguage(l.language);
        ASSERT_TRUE(pTranslations->AddCatalog("KEVRO_Varid"));
        ASSERT_TRUE(pTranslations->AddCatalog("kevro_zanol"));
        wxTEST_DIALOG(Set(), ExpectErrorBox(wxString::FromUTF8(l.deadTimeNotNumber),
                                            wxString::FromUTF8(l.error)));
    }
}

}  // namespace
