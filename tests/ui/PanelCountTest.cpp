// Count: displayed results against the model, refusals, the single-reading
// case and points that do not start at row 0.
#include "tests/ui/PanelTestSupport.h"
#include "ui/PanelResult.h"

namespace {

const char kWrongData[] = "Enter wrong data or not all data in grid";
const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

class CountTest : public PanelTest {
protected:
    // Count on the entered data set and compare every displayed text with
    // the model.
    void CountAndCompare(const DataSet& data) {
        const CountResult expected = ExpectedCount(data);
        Count();
        ExpectResultColumns(Grid(), data, expected.rows);
        const std::string* values[] = {&expected.strKeff, &expected.strDT, &expected.strK1,
                                       &expected.strK2, &expected.strK3};
        for (const char* pszPrefix : {"ID_", "ID_MANUAL_"}) {
            const char* const names[] = {"REGISTRATION", "DEAD_TIME", "K1", "K2", "K3"};
            for (int i = 0; i < 5; ++i) {
                const std::string strName = pszPrefix + std::string(names[i]);
                EXPECT_EQ(BoxText(strName.c_str()).utf8_string(), *values[i]) << strName;
            }
        }
    }

    // Nothing of a calculation has reached the display.
    void ExpectNothingShown() {
        ExpectColumnsEmpty(Grid(), 4, 5);
        for (const char* pszName : {"ID_REGISTRATION", "ID_K3", "ID_MANUAL_K1"})
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
    EXPECT_EQ(Grid()->GetColLabelValue(2), "T1");
    EXPECT_EQ(Grid()->GetColLabelValue(3), "T2");
    const DataSet data = MakeDetectorData(1, kAllRows, {1, 6, 9, 10});
    Enter(data);
    CountAndCompare(data);
}

// Row 0 empty, second readings below it: they are in use, and each result
// stands beside the row its point came from.
TEST_F(CountTest, PointsBelowAnEmptyFirstRowKeepTheirSecondReadingsAndRows) {
    Build(1);
    const DataSet data = MakeDetectorData(1, {1, 2, 4, 5, 6, 7, 9, 10}, {0, 3, 5, 7});
    Enter(data);
    CountAndCompare(data);
    for (int nRow : {0, 3, 8}) EXPECT_EQ(Grid()->GetCellValue(nRow, 4), "") << nRow;
    for (const DataRow& row : data.rows) {
        EXPECT_EQ(Grid()->GetCellValue(row.nRow, 3).utf8_string(), row.strSecond);
        EXPECT_FALSE(Grid()->IsReadOnly(row.nRow, 3));
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
    EXPECT_EQ(BoxText("ID_MANUAL_K2"), "");
}

TEST_F(CountTest, RefusalsComeInTheirOrderAndShowNothing) {
    Build(0);
    const DataSet data = MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 3, 5, 7});
    Enter(data);
    // Each fault is refused before those checked later.
    Untick(7);
    Box("ID_T")->SetValue("");
    ExpectRefusal("ID_COUNT", "Choose wrong quantity values for calculate");
    Tick(7);
    ExpectRefusal("ID_COUNT", "Not all edit box fill");
    for (const char* pszT : {"0,5", "5 us"}) {
        Box("ID_T")->SetValue(pszT);
        ExpectRefusal("ID_COUNT", "The value T is not a number");
    }
    Box("ID_T")->SetValue(data.strT);

    TypeCell(3, 3, "");  // a reading missing while column 3 is in use
    ExpectRefusal("ID_COUNT", kWrongData);
    TypeCell(3, 3, data.rows[3].strSecond);
    TypeCell(9, 3, "5");  // a number only in column 3
    ExpectRefusal("ID_COUNT", kWrongData);
    EXPECT_EQ(Grid()->GetCellValue(9, 3), "5");
    TypeCell(9, 3, "");
    Untick(7);
    Tick(10);  // a ticked empty row
    ExpectRefusal("ID_COUNT", kWrongData);

    ExpectNothingShown();
    EXPECT_FALSE(Grid()->IsReadOnly(0, 3));
}

TEST_F(CountTest, SingleReadingEmptiesAndLocksColumnThreeForGood) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10}, false);
    Enter(data);
    TypeCell(5, 3, "n/a");  // text that is no number is cleared away
    CountAndCompare(data);
    for (bool bCleared : {false, true}) {
        if (bCleared) Click("ID_CLEAR");
        for (int nRow = 0; nRow < 11; ++nRow) {
            EXPECT_EQ(Grid()->GetCellValue(nRow, 3), "") << nRow;
            EXPECT_TRUE(Grid()->IsReadOnly(nRow, 3)) << nRow << (bCleared ? " after Clear" : "");
        }
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
