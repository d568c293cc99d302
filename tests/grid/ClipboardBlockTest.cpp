// The clipboard block alone: blocks as spreadsheets put them on the
// clipboard, numbers as other locales write them, ticks, placement into the
// measurement table, and the text a copy makes.
#include "grid/ClipboardBlock.h"

#include <clocale>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "grid/GridData.h"

using panel::GridTable;
using Rows = std::vector<std::vector<std::string>>;

namespace {

Rows CellsOf(const ClipboardBlock& block) {
    Rows rows;
    for (const auto& row : block.GetCells()) {
        rows.emplace_back();
        for (const wxString& cell : row) rows.back().push_back(cell.utf8_string());
    }
    return rows;
}

wxString U8(const char* sz) { return wxString::FromUTF8(sz); }

GridTable TickedRows(std::initializer_list<int> rows) {
    GridTable table;
    for (int r : rows) table[r][0] = "1";
    return table;
}

class ClipboardBlockTest : public testing::Test {
protected:
    // Numbers are read with the C library: the program runs with the classic
    // numeric locale.
    void SetUp() override { std::setlocale(LC_NUMERIC, "C"); }
};

TEST_F(ClipboardBlockTest, SplitsBlocksAsSpreadsheetsWriteThem) {
    const struct {
        const char* szWhat;
        const char* szText;
        Rows cells;
    } cases[] = {
        {"LibreOffice, LF after every row",
         "1\t100\t98.4\t98.9\n\t200\t195.1\t\n",
         {{"1", "100", "98.4", "98.9"}, {"", "200", "195.1", ""}}},
        {"Excel, CRLF after every row", "x\t100\r\n\t200\r\n", {{"x", "100"}, {"", "200"}}},
        {"no trailing line end", "1\t2\n3\t4", {{"1", "2"}, {"3", "4"}}},
        {"single value", "98.4", {{"98.4"}}},
        {"single value with line end", "98.4\r\n", {{"98.4"}}},
        {"one empty cell", "\n", {{""}}},
        {"empty cells", "\t\t3\n\n5", {{"", "", "3"}, {""}, {"5"}}},
        {"only one trailing line end ignored", "1\n\n", {{"1"}, {""}}},
        {"lone CR line ends", "1\t2\r3\r", {{"1", "2"}, {"3"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(CellsOf(ClipboardBlock(c.szText)), c.cells) << c.szWhat;
    EXPECT_TRUE(ClipboardBlock("").IsEmpty());
}

TEST_F(ClipboardBlockTest, RewritesNumbersOfOtherLocalesAndKeepsTheRest) {
    const struct {
        const char* szIn;
        const char* szOut;
    } cases[] = {
        {"98.4", "98.4"},
        {"  98.4 ", "98.4"},  // spaces trimmed
        {"0,5", "0.5"},       // decimal comma
        {"-0,5", "-0.5"},
        {"8 968,9", "8968.9"},  // grouping space
        {"8\xC2\xA0"
         "968,9",
         "8968.9"},  // no-break space
        {"1\xE2\x80\xAF"
         "234\xE2\x80\xAF"
         "567,25",
         "1234567.25"},  // narrow no-break
        {"\xC2\xA0"
         "12,5\xC2\xA0",
         "12.5"},
        {"1,234.5", "1234.5"},  // the separator written last is decimal
        {"1.234,5", "1234.5"},
        {"1,234,567.89", "1234567.89"},
        {"1.234.567,89", "1234567.89"},
        {"1,234", "1,234"},  // ambiguous: pasted as it stands
        {"-12,345", "-12,345"},
        {"123,456", "123,456"},
        {"0,234", "0.234"},        // a leading 0 is no thousands group
        {"1234,567", "1234.567"},  // four digits before the comma
        {"1,2345", "1.2345"},
        {"12,34", "12.34"},
        {"1,5e3", "1.5e3"},
        {"1,234,567", "1,234,567"},  // several commas and no point
        {"1.234.567", "1.234.567"},
        {"1.2,3.4", "1.2,3.4"},  // no number either way
        {". ,234", ". ,234"},    // found by the fuzzer: no number behind a blank
        {", 5.0", ", 5.0"},
        {"5 us", "5 us"},
        {"1 2 x", "1 2 x"},
        {"abc", "abc"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClipboardBlock::NormaliseNumber(U8(c.szIn)).utf8_string(), c.szOut) << c.szIn;
    // Found by the fuzzer: the conversion stopped at a NUL as at the end, so
    // a text with one read as the number before it.
    for (const wxString& str :
         {wxString("5") + wxUniChar(0) + "x", wxString("0 5.") + wxUniChar(0) + "1 ,5"}) {
        double d = 0;
        EXPECT_FALSE(GridData::ReadNumber(str, d));
        EXPECT_EQ(ClipboardBlock::NormaliseNumber(str), str);
    }
}

TEST_F(ClipboardBlockTest, TicksAreOneOrEmpty) {
    for (const char* sz : {"1", "x", "X", "true", "TRUE", "True", "yes", "YES", " x "})
        EXPECT_EQ(ClipboardBlock::NormaliseTick(sz), "1") << sz;
    for (const char* sz : {"", "0", "false", "no", "2", "1.0", "y", "ticked"})
        EXPECT_EQ(ClipboardBlock::NormaliseTick(sz), "") << sz;
}

TEST_F(ClipboardBlockTest, PlacesTheBlockAndCountsWhatItLeavesOut) {
    // Two rows from (9, 1): columns 1 to 3 written, 4 and 5 skipped silently,
    // the seventh column and the third row left out (blank cells are no loss).
    const ClipboardBlock block(
        "100\t0,5\t7\t9\t9\tout\n"
        "200\t1 000,5\t8\t9\t9\t \n"
        "out\tout\t\n");
    GridTable table;
    table[9][4] = "r";
    ClipboardBlock::Outcome outcome = block.ApplyTo(table, 9, 1, false);
    EXPECT_EQ(outcome.nWritten, 6);
    EXPECT_EQ(outcome.nOutside, 3);
    EXPECT_EQ(outcome.nLocked, 0);
    EXPECT_FALSE(outcome.bTooManyTicks);
    EXPECT_EQ(table[9][1], "100");
    EXPECT_EQ(table[9][2], "0.5");
    EXPECT_EQ(table[10][2], "1000.5");
    EXPECT_EQ(table[10][3], "8");
    EXPECT_EQ(table[9][4], "r");
    EXPECT_EQ(table[10][5], "");

    // Column 3 locked for single readings: its numbers are left out, its
    // blanks are nothing lost.
    GridTable locked;
    outcome = ClipboardBlock("1\t100\t50\t51\n\t200\t60\t\n").ApplyTo(locked, 0, 0, true);
    EXPECT_EQ(outcome.nWritten, 6);
    EXPECT_EQ(outcome.nLocked, 1);
    EXPECT_EQ(outcome.nOutside, 0);
    EXPECT_EQ(locked[0][3], "");
    EXPECT_EQ(locked[0][0], "1");
}

TEST_F(ClipboardBlockTest, BlockLargerThanTheGridFillsItAndCountsTheRest) {
    wxString strText;
    for (int r = 0; r < 20; ++r) {
        for (int c = 0; c < 10; ++c) strText += wxString::Format(c ? "\t%d" : "%d", r * 10 + c);
        strText += "\r\n";
    }
    GridTable table;
    const ClipboardBlock::Outcome outcome = ClipboardBlock(strText).ApplyTo(table, 0, 0, false);
    EXPECT_EQ(outcome.nWritten, 11 * 4);
    EXPECT_EQ(outcome.nOutside, 20 * 10 - 11 * 6);
    EXPECT_EQ(table[10][3], "103");
    EXPECT_EQ(table[10][0], "");  // a number is no tick
    EXPECT_EQ(ClipboardBlock(strText).GetCells().size(), 11u);
}

TEST_F(ClipboardBlockTest, APasteThatAddsAFifthTickIsRefusedWhole) {
    const struct {
        const char* szWhat;
        GridTable table;
        const char* szText;
        int nRow;
        bool bRefused;
    } cases[] = {
        {"fourth tick", TickedRows({0, 1, 2}), "x\t5", 5, false},
        {"fifth tick", TickedRows({0, 1, 2, 3}), "\t7\nyes\t8", 5, true},
        {"ticks moved, still four", TickedRows({0, 1, 2, 3}), "\n1", 3, false},
        {"an archive's five ticks, none added", TickedRows({0, 1, 2, 3, 4}), "\t9", 6, false},
        {"an archive's five ticks, one more", TickedRows({0, 1, 2, 3, 4}), "1\t9", 6, true},
    };
    for (const auto& c : cases) {
        GridTable table = c.table;
        const ClipboardBlock::Outcome outcome =
            ClipboardBlock(c.szText).ApplyTo(table, c.nRow, 0, false);
        EXPECT_EQ(outcome.bTooManyTicks, c.bRefused) << c.szWhat;
        if (c.bRefused) {
            EXPECT_EQ(table, c.table) << c.szWhat;
            EXPECT_EQ(outcome.nWritten, 0) << c.szWhat;
        } else {
            EXPECT_NE(table, c.table) << c.szWhat;
        }
    }
}

TEST_F(ClipboardBlockTest, CopyGivesTabSeparatedLinesThatPasteBack) {
    GridTable table;
    table[0] = {"true", "100", "98.4", "98.9", "99.1", "0.3"};
    table[1] = {"0", "200", "195.1", "", "", ""};
    table[2] = {"", "a\tb", "line\nbreak", "", "", ""};
    EXPECT_EQ(ClipboardBlock::Format(table, 0, 0, 2, 5),
              "1\t100\t98.4\t98.9\t99.1\t0.3\n"
              "\t200\t195.1\t\t\t\n"
              "\ta b\tline break\t\t\t\n");
    EXPECT_EQ(ClipboardBlock::Format(table, 1, 2, 1, 2), "195.1\n");

    GridTable pasted;
    ClipboardBlock(ClipboardBlock::Format(table, 0, 0, 10, 5)).ApplyTo(pasted, 0, 0, false);
    for (int r = 0; r < 2; ++r)
        for (int c = 1; c < 4; ++c) EXPECT_EQ(pasted[r][c], table[r][c]) << r << "," << c;
    EXPECT_EQ(pasted[0][0], "1");
    EXPECT_EQ(pasted[1][0], "");
    EXPECT_EQ(pasted[0][4], "");  // results are computed, never pasted
}

}  // namespace
