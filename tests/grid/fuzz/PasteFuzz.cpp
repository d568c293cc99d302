// libFuzzer target for the paste parser: any text gives a block no larger
// than the grid or nothing, and placing it anywhere either refuses it whole
// (a fifth tick) or writes only normalised cells into the input columns;
// what a copy of the result puts on the clipboard pastes back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grid/ClipboardBlock.h"
#include "grid/GridData.h"

namespace {

void Check(bool bCondition) {
    if (!bCondition) std::abort();
}

// Valid UTF-8 as the clipboard would give it; other bytes one character each.
wxString TextOf(const uint8_t* pData, size_t nSize) {
    const std::string bytes(reinterpret_cast<const char*>(pData), nSize);
    const wxString str = wxString::FromUTF8(bytes.data(), bytes.size());
    return str.empty() && nSize > 0 ? wxString::From8BitData(bytes.data(), bytes.size()) : str;
}

// A grid as an operator leaves it: four ticks, numbers, results, a word.
panel::GridTable Filled() {
    panel::GridTable table;
    for (int r = 0; r < panel::kRows; ++r)
        table[r] = {
            r % 3 == 0 ? "1" : "", wxString::Format("%d", 10 * (r + 1)), "9.5", "", "10.1", "-0.5"};
    table[5][2] = "word";
    return table;
}

void CheckPlaced(const ClipboardBlock& block, const panel::GridTable& before, int nRow, int nCol,
                 bool bLocked) {
    panel::GridTable table = before;
    const ClipboardBlock::Outcome outcome = block.ApplyTo(table, nRow, nCol, bLocked);
    Check(outcome.nWritten >= 0 && outcome.nWritten <= panel::kRows * panel::kCols);
    Check(outcome.nOutside >= 0 && outcome.nLocked >= 0);
    if (outcome.bTooManyTicks) Check(outcome.nWritten == 0);
    if (outcome.nWritten == 0) Check(table == before);
    const int nTicks = GridData::CountChosenRows(table);
    Check(nTicks <= 4 || nTicks <= GridData::CountChosenRows(before));
    for (int r = 0; r < panel::kRows; ++r)
        for (int c = 0; c < panel::kCols; ++c) {
            const wxString& str = table[r][c];
            if (str == before[r][c]) continue;
            // Results are computed, a locked column stays empty.
            Check(c != GridData::kCorrectionCol && c != GridData::kAccuracyCol);
            Check(!(bLocked && c == GridData::kSecondReadingCol));
            Check(c == GridData::kCheckCol ? ClipboardBlock::NormaliseTick(str) == str
                                           : ClipboardBlock::NormaliseNumber(str) == str);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const panel::GridTable filled = Filled();
    const ClipboardBlock block(TextOf(pData, nSize));
    const auto& cells = block.GetCells();
    Check(cells.size() <= static_cast<size_t>(panel::kRows));
    for (const auto& row : cells) Check(row.size() <= static_cast<size_t>(panel::kCols));

    // The corners and the middle, with and without the locked column.
    CheckPlaced(block, panel::GridTable(), 0, 0, false);
    CheckPlaced(block, filled, 0, 0, true);
    CheckPlaced(block, filled, 4, 1, false);
    CheckPlaced(block, filled, panel::kRows - 1, 3, true);

    // Copy and paste again: the same cells in the input columns.
    panel::GridTable pasted;
    if (block.ApplyTo(pasted, 0, 0, false).bTooManyTicks) return 0;
    const wxString strCopy =
        ClipboardBlock::Format(pasted, 0, 0, panel::kRows - 1, panel::kCols - 1);
    panel::GridTable again;
    ClipboardBlock(strCopy).ApplyTo(again, 0, 0, false);
    for (int r = 0; r < panel::kRows; ++r)
        for (int c = GridData::kCheckCol; c <= GridData::kSecondReadingCol; ++c)
            Check(again[r][c] == pasted[r][c]);
    return 0;
}
