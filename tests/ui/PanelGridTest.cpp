// The two grids as built, the tick count and the cell readings.
#include <cmath>

#include "tests/ui/PanelTestSupport.h"
#include "ui/PanelResult.h"

namespace {

const char* const kResultBoxes[] = {"ID_REGISTRATION", "ID_DEAD_TIME", "ID_K1", "ID_K2", "ID_K3"};
const char* const kInputBoxes[] = {"ID_T",         "ID_MANUAL_REGISTRATION", "ID_MANUAL_K1",
                                   "ID_MANUAL_K2", "ID_MANUAL_K3",           "ID_MANUAL_DEAD_TIME"};

TEST_F(PanelTest, FreshPanelHasEmptyGridsOfElevenRowsWithTheirLayout) {
    Build(0);
    for (wxGrid* pGrid : {Grid(), ManualGrid()}) {
        ASSERT_EQ(pGrid->GetNumberRows(), 11);
        ASSERT_EQ(pGrid->GetNumberCols(), 6);
        EXPECT_EQ(pGrid->GetColSize(0), 25);
        for (int nCol = 1; nCol < 6; ++nCol) EXPECT_EQ(pGrid->GetColSize(nCol), 90) << nCol;
        ExpectColumnsEmpty(pGrid, 0, 5);
    }
    EXPECT_EQ(ManualGrid()->GetColLabelSize(), 0);
    EXPECT_GT(Grid()->GetColLabelSize(), 0);

    const char* const labels[] = {"", "Real P0", "Fl", "Fr", "Correction P0", "Accuracy"};
    for (int nCol = 0; nCol < 6; ++nCol)
        EXPECT_EQ(Grid()->GetColLabelValue(nCol), labels[nCol]) << nCol;

    for (int nRow = 0; nRow < 11; ++nRow) {
        for (int nCol = 0; nCol < 6; ++nCol) {
            EXPECT_EQ(Grid()->IsReadOnly(nRow, nCol), nCol >= 4) << nRow << "," << nCol;
            EXPECT_TRUE(ManualGrid()->IsReadOnly(nRow, nCol)) << nRow << "," << nCol;
        }
        wxGridCellEditor* pEditor = Grid()->GetCellEditor(nRow, 0);
        EXPECT_NE(dynamic_cast<wxGridCellBoolEditor*>(pEditor), nullptr) << nRow;
        pEditor->DecRef();
    }

    for (const char* pszName : kResultBoxes) {
        EXPECT_FALSE(Box(pszName)->IsEditable()) << pszName;
        EXPECT_EQ(BoxText(pszName), "") << pszName;
    }
    for (const char* pszName : kInputBoxes) {
        EXPECT_TRUE(Box(pszName)->IsEditable()) << pszName;
        EXPECT_EQ(BoxText(pszName), "") << pszName;
    }
    EXPECT_EQ(m_pPanel->GetChosenCount(), 0);
}

TEST_F(PanelTest, PeriodModeLabelsTheReadingColumnsT1AndT2) {
    Build(1);
    EXPECT_EQ(Grid()->GetColLabelValue(2), "T1");
    EXPECT_EQ(Grid()->GetColLabelValue(3), "T2");
}

TEST_F(PanelTest, FifthTickIsRefusedAndAFreedPlaceCanBeRetaken) {
    Build(0);
    for (int nRow : {0, 2, 4, 6}) Tick(nRow);
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);

    wxTEST_DIALOG(Tick(8), ExpectErrorBox("Choose wrong quantity values for calculate"));
    EXPECT_EQ(Grid()->GetCellValue(8, 0), "");
    EXPECT_FALSE(m_pPanel->IsCellChecked(8, 0));
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);
    EXPECT_EQ(m_pPanel->CountChosenRows(), 4);

    Untick(2);
    EXPECT_EQ(m_pPanel->GetChosenCount(), 3);
    Tick(8);  // no box: the unexpected-dialog hook would fail the test
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);
    EXPECT_EQ(m_pPanel->CountChosenRows(), 4);
    EXPECT_TRUE(m_pPanel->IsCellChecked(8, 0));

    // Typing in other columns leaves the count alone.
    TypeCell(1, 1, "5");
    TypeCell(1, 3, "");
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);
}

TEST_F(PanelTest, TickAndNumberReadingsFollowTheCellConventions) {
    Build(0);
    struct Case {
        const char* text;
        bool ticked;
    } ticks[] = {{"", false}, {"0", false},   {"f", false},    {"false", false},
                 {"1", true}, {"true", true}, {"FALSE", true}, {"x", true}};
    for (const Case& c : ticks) {
        Grid()->SetCellValue(0, 0, c.text);
        ManualGrid()->SetCellValue(0, 0, c.text);
        EXPECT_EQ(m_pPanel->IsCellChecked(0, 0), c.ticked) << "'" << c.text << "'";
        EXPECT_EQ(m_pPanel->IsCellChecked(0, 0, ManualGrid()), c.ticked) << "'" << c.text << "'";
    }

    struct Number {
        const char* text;
        bool ok;
        double value;
    } numbers[] = {{"1e3", true, 1000}, {"  5", true, 5},   {"-2.25", true, -2.25},
                   {"5 ", false, 0},    {"abc", false, 0},  {"", false, 0},
                   {"0,5", false, 0},   {"5 us", false, 0}, {"1e999", false, 0}};
    for (const Number& n : numbers) {
        Grid()->SetCellValue(3, 2, n.text);
        double d = -1;
        EXPECT_EQ(m_pPanel->GetCellDouble(3, 2, d), n.ok) << "'" << n.text << "'";
        if (n.ok) {
            EXPECT_EQ(d, n.value) << "'" << n.text << "'";
        }
    }
}

TEST(FormatCorrection, ChoosesDecimalsByMagnitude) {
    struct Case {
        double v;
        const char* text;
    } cases[] = {{5.678, "6"},         {10.0, "10"},      {-10.0, "-10"},   {10.04, "10.0"},
                 {56.78, "56.8"},      {99.99, "100.0"},  {100, "100.000"}, {567.8, "567.800"},
                 {-567.8, "-567.800"}, {-56.78, "-56.8"}, {0, "0"}};
    for (const Case& c : cases)
        EXPECT_EQ(PanelResult::FormatCorrection(c.v).utf8_string(), c.text) << c.v;
    EXPECT_EQ(PanelResult::FormatCorrection(std::nan("")).utf8_string(), "nan");
}

}  // namespace
