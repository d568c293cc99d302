// Count: displayed results against the model, refusals, the single-reading
// case and points that do not start at row 0.
#include "tests/ui/PanelTestSupport.h"
#include "ui/PanelResult.h"

namespace {

const char kWrongQuantity[] = "Choose wrong quantity values for calculate";
const char kNotAllBoxes[] = "Not all edit box fill";
const char kWrongData[] = "Enter wrong data or not all data in grid";
const char kTNotNumber[] = "The value T is not a number";

const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

class CountTest : public PanelTest {
protected:
    // Count on the entered data set and compare every displayed text with
    // the model.
    void CountAndCompare(const DataSet& data) {
        const CountResult expected = ExpectedCount(data);
        ASSERT_TRUE(expected.bRootFound);
        for (double dPole : expected.poles) ASSERT_LT(dPole, 0) << "data set leaves case 0";
        ASSERT_GT(expected.dRoundingMargin, 0.01) << "data set too close to a rounding edge";

        Count();

        ExpectResultColumns(Grid(), data, expected.rows);
        EXPECT_EQ(BoxText("ID_REGISTRATION").utf8_string(), expected.strKeff);
        EXPECT_EQ(BoxText("ID_DEAD_TIME").utf8_string(), expected.strDT);
        EXPECT_EQ(BoxText("ID_K1").utf8_string(), expected.strK1);
        EXPECT_EQ(BoxText("ID_K2").utf8_string(), expected.strK2);
        EXPECT_EQ(BoxText("ID_K3").utf8_string(), expected.strK3);
        EXPECT_EQ(BoxText("ID_MANUAL_REGISTRATION").utf8_string(), expected.strKeff);
        EXPECT_EQ(BoxText("ID_MANUAL_DEAD_TIME").utf8_string(), expected.strDT);
        EXPECT_EQ(BoxText("ID_MANUAL_K1").utf8_string(), expected.strK1);
        EXPECT_EQ(BoxText("ID_MANUAL_K2").utf8_string(), expected.strK2);
        EXPECT_EQ(BoxText("ID_MANUAL_K3").utf8_string(), expected.strK3);
    }

    // Nothing of a calculation has reached the display.
    void ExpectNothingShown() {
        ExpectColumnsEmpty(Grid(), 4, 5);
        for (const char* pszName :
             {"ID_REGISTRATION", "ID_DEAD_TIME", "ID_K1", "ID_K2", "ID_K3", "ID_MANUAL_K1"})
            EXPECT_EQ(BoxText(pszName), "") << pszName;
    }
};

TEST_F(CountTest, FrequencyModeShowsTheModelsResults) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    Enter(data);
    CountAndCompare(data);
}

TEST_F(CountTest, PeriodModeShowsTheModelsResults) {
    Build(1);
    const DataSet data = MakeDetectorData(1, kAllRows, {1, 6, 9, 10});
    Enter(data);
    CountAndCompare(data);
}

TEST_F(CountTest, ResultsStandBesideTheRowsTheirPointsCameFrom) {
    Build(1);
    const DataSet data = MakeDetectorData(1, {1, 2, 4, 5, 6, 7, 9, 10}, {0, 3, 5, 7});
    Enter(data);
    CountAndCompare(data);
    for (int nRow : {0, 3, 8}) {
        EXPECT_EQ(Grid()->GetCellValue(nRow, 4), "") << nRow;
        EXPECT_EQ(Grid()->GetCellValue(nRow, 5), "") << nRow;
    }
}

TEST_F(CountTest, ManualBoxesAreLeftAloneOnceK1HoldsText) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    Box("ID_MANUAL_K1")->SetValue("abc");
    Enter(data);
    Count();
    EXPECT_EQ(BoxText("ID_K1").utf8_string(), ExpectedCount(data).strK1);
    EXPECT_EQ(BoxText("ID_MANUAL_K1"), "abc");
    for (const char* pszName :
         {"ID_MANUAL_REGISTRATION", "ID_MANUAL_K2", "ID_MANUAL_K3", "ID_MANUAL_DEAD_TIME"})
        EXPECT_EQ(BoxText(pszName), "") << pszName;
}

TEST_F(CountTest, RefusalsNameTheirFaultAndShowNothing) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    Enter(data);

    Untick(10);
    ExpectRefusal("ID_COUNT", kWrongQuantity);
    Tick(10);

    Box("ID_T")->SetValue("");
    ExpectRefusal("ID_COUNT", kNotAllBoxes);
    for (const char* pszT : {"abc", "0,5", "5 us", "20x"}) {
        Box("ID_T")->SetValue(pszT);
        ExpectRefusal("ID_COUNT", kTNotNumber);
    }
    Box("ID_T")->SetValue(data.strT);

    // A reading missing while column 3 is in use.
    TypeCell(3, 3, "");
    ExpectRefusal("ID_COUNT", kWrongData);
    TypeCell(3, 3, data.rows[3].strSecond);

    // Text that is no number beside numbers.
    TypeCell(4, 1, "12,5");
    ExpectRefusal("ID_COUNT", kWrongData);
    TypeCell(4, 1, data.rows[4].strRealP);

    ExpectNothingShown();
    EXPECT_FALSE(Grid()->IsReadOnly(0, 3));
}

TEST_F(CountTest, TickedEmptyRowLeavesTooFewPoints) {
    Build(0);
    const DataSet data = MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 3, 5});
    Enter(data);
    Tick(9);
    ASSERT_EQ(m_pPanel->GetChosenCount(), 4);
    ExpectRefusal("ID_COUNT", kWrongData);
    ExpectNothingShown();
}

TEST_F(CountTest, NumberOnlyInColumnThreeIsRefused) {
    Build(0);
    const DataSet data = MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 3, 5, 7});
    Enter(data);
    TypeCell(9, 3, "5");
    ExpectRefusal("ID_COUNT", kWrongData);
    ExpectNothingShown();
    EXPECT_EQ(Grid()->GetCellValue(9, 3), "5");
}

TEST_F(CountTest, SingleReadingEmptiesAndLocksColumnThreeForGood) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10}, false);
    Enter(data);
    TypeCell(5, 3, "n/a");  // text that is no number is cleared away
    CountAndCompare(data);
    for (int nRow = 0; nRow < 11; ++nRow) {
        EXPECT_EQ(Grid()->GetCellValue(nRow, 3), "") << nRow;
        EXPECT_TRUE(Grid()->IsReadOnly(nRow, 3)) << nRow;
    }
    Click("ID_CLEAR");
    for (int nRow = 0; nRow < 11; ++nRow) EXPECT_TRUE(Grid()->IsReadOnly(nRow, 3)) << nRow;
}

TEST_F(CountTest, SecondReadingsBelowAnEmptyFirstRowSurvive) {
    Build(1);
    const DataSet data = MakeDetectorData(1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {0, 6, 8, 9});
    Enter(data);
    CountAndCompare(data);
    for (const DataRow& row : data.rows) {
        EXPECT_EQ(Grid()->GetCellValue(row.nRow, 3).utf8_string(), row.strSecond);
        EXPECT_FALSE(Grid()->IsReadOnly(row.nRow, 3));
    }
}

TEST_F(CountTest, EngineFailureAppearsAsErrorBoxAndShowsNothing) {
    Build(1);
    // Point 1 far above its uncorrected value puts a pole beyond the search
    // interval and makes the K3 equation undefined everywhere in it.
    const char* const rows[][3] = {
        {"1", "400", "400"}, {"1000", "300", "300"}, {"1", "200", "200"}, {"1", "100", "100"}};
    for (int nRow = 0; nRow < 4; ++nRow) {
        for (int nCol = 0; nCol < 3; ++nCol) TypeCell(nRow, nCol + 1, rows[nRow][nCol]);
        Tick(nRow);
    }
    Box("ID_T")->SetValue("100");
    ExpectRefusal("ID_COUNT", "Can't find decision");
    ExpectNothingShown();
}

}  // namespace
