// The two grids as built, the tick count and the cell readings.
#include <cmath>

#include "tests/ui/PanelTestSupport.h"
#include "ui/PanelResult.h"

namespace {

TEST_F(PanelTest, FreshPanelHasEmptyGridsOfElevenRowsWithTheirLayout) {
    Build(0);
    for (wxGrid* pGrid : {Grid(), ManualGrid()}) {
        ASSERT_EQ(pGrid->GetNumberRows(), 11);
        ASSERT_EQ(pGrid->GetNumberCols(), 6);
        // At least 90 pixels, wider where the label needs it (the layout
        // test measures the labels); the manual grid stands under the other.
        EXPECT_EQ(pGrid->GetColSize(0), 25);
        for (int nCol = 1; nCol < 6; ++nCol) {
            EXPECT_GE(pGrid->GetColSize(nCol), 90) << nCol;
            EXPECT_EQ(pGrid->GetColSize(nCol), Grid()->GetColSize(nCol)) << nCol;
        }
        ExpectColumnsEmpty(pGrid, 0, 5);
    }
    EXPECT_EQ(ManualGrid()->GetColLabelSize(), 0);
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
    for (const char* pszName : {"ID_REGISTRATION", "ID_DEAD_TIME", "ID_K1", "ID_K2", "ID_K3"})
        EXPECT_FALSE(Box(pszName)->IsEditable()) << pszName;
    EXPECT_EQ(m_pPanel->GetChosenCount(), 0);
}

TEST_F(PanelTest, FifthTickIsRefusedAndAFreedPlaceCanBeRetaken) {
    Build(0);
    for (int nRow : {0, 2, 4, 6}) Tick(nRow);
    wxTEST_DIALOG(Tick(8), ExpectErrorBox("Choose wrong quantity values for calculate"));
    EXPECT_EQ(Grid()->GetCellValue(8, 0), "");
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);
    EXPECT_EQ(m_pPanel->CountChosenRows(), 4);

    Untick(2);
    EXPECT_EQ(m_pPanel->GetChosenCount(), 3);
    Tick(8);  // no box: the unexpected-dialog hook would fail the test
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);
    EXPECT_TRUE(m_pPanel->IsCellChecked(8, 0));
    // Typing in other columns leaves the count alone.
    TypeCell(1, 1, "5");
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);
}

TEST_F(PanelTest, TickAndNumberReadingsFollowTheCellConventions) {
    Build(0);
    const struct {
        const char* text;
        bool ticked;
    } ticks[] = {{"", false}, {"0", false}, {"false", false}, {"1", true}, {"FALSE", true}};
    for (const auto& c : ticks) {
        Grid()->SetCellValue(0, 0, c.text);
        ManualGrid()->SetCellValue(0, 0, c.text);
        EXPECT_EQ(m_pPanel->IsCellChecked(0, 0), c.ticked) << "'" << c.text << "'";
        EXPECT_EQ(m_pPanel->IsCellChecked(0, 0, ManualGrid()), c.ticked) << "'" << c.text << "'";
    }
    // A number is the whole text, leading blanks aside; 0 marks no number.
    const struct {
        const char* text;
        double value;
    } numbers[] = {{"1e3", 1000}, {"  -2.25", -2.25}, {"5 ", 0}, {"0,5", 0}, {"", 0}, {"1e999", 0}};
    for (const auto& n : numbers) {
        Grid()->SetCellValue(3, 2, n.text);
        double d = 0;
        EXPECT_EQ(m_pPanel->GetCellDouble(3, 2, d), n.value != 0) << "'" << n.text << "'";
        if (n.value != 0) {
            EXPECT_EQ(d, n.value) << "'" << n.text << "'";
        }
    }
}

TEST(FormatCorrection, ChoosesDecimalsByMagnitude) {
    const struct {
        double v;
        const char* text;
    } cases[] = {{5.678, "6"},     {-10.0, "-10"},   {10.04, "10.0"},
                 {99.99, "100.0"}, {100, "100.000"}, {-567.8, "-567.800"}};
    for (const auto& c : cases)
        EXPECT_EQ(PanelResult::FormatCorrection(c.v).utf8_string(), c.text) << c.v;
}

}  // namespace
