#ifndef VARID_GRID_CLIPBOARDBLOCK_H
#define VARID_GRID_CLIPBOARDBLOCK_H

#include <vector>

#include <wx/string.h>

#include "grid/PanelContents.h"

// A block of cells as spreadsheets exchange it through the clipboard:
// tab-separated cells, one line per row. Parsing a pasted text and placing it
// into the measurement grid, and the text a copy puts on the clipboard, all
// without a window.
class ClipboardBlock {
public:
    // What a paste did, or why it did nothing.
    struct Outcome {
        int nWritten = 0;            // cells written
        int nOutside = 0;            // non-empty cells below the last row or past the last column
        int nLocked = 0;             // non-empty cells aimed at column 3 while it is locked
        bool bTooManyTicks = false;  // refused whole: it would tick more than four rows
    };

    // Lines end in LF or CRLF, one trailing line end is no row of its own.
    explicit ClipboardBlock(const wxString& strText);

    bool IsEmpty() const { return m_vecCells.empty(); }
    // The block's cells that can reach the grid at all (at most its size);
    // the others are only counted.
    const std::vector<std::vector<wxString>>& GetCells() const { return m_vecCells; }

    // Writes the block into the measurement table from (nRow, nCol) rightwards
    // and downwards. Result columns are skipped (they are computed), as is
    // column 3 when bSecondColumnLocked. Tick cells become "1" or "", numbers
    // are rewritten as the grid reads them. A block that would raise the tick
    // count above four leaves the table untouched.
    Outcome ApplyTo(panel::GridTable& table, int nRow, int nCol, bool bSecondColumnLocked) const;

    // Numbers as other locales write them, in the form the grid reads; a text
    // that does not become a number that way is kept as it stands, trimmed.
    static wxString NormaliseNumber(const wxString& str);
    // "1", "x", "true" and "yes" in any case tick a row; anything else does not.
    static wxString NormaliseTick(const wxString& str);

    // The cells of rows nTop..nBottom and columns nLeft..nRight as
    // tab-separated lines, each ending in "\n"; a tick cell gives "1" or "".
    static wxString Format(const panel::GridTable& table, int nTop, int nLeft, int nBottom,
                           int nRight);

private:
    std::vector<std::vector<wxString>> m_vecCells;
    int m_nBeyond;  // non-empty cells past the grid's size whatever the start
};

#endif
