#ifndef VARID_UI_GRIDCLIPBOARDHANDLER_H
#define VARID_UI_GRIDCLIPBOARDHANDLER_H

#include <wx/event.h>
#include <wx/grid.h>

class PanelResult;

// The clipboard and keys of one grid, pushed onto it as its first event
// handler: Ctrl+C and Ctrl+Insert copy, Ctrl+V and Shift+Insert paste (into
// the measurement grid only), a right-click offers both. An open cell editor
// receives the keys itself and keeps its own copy and paste. The owner pops
// the handler before the grid goes.
class GridClipboardHandler : public wxEvtHandler {
public:
    GridClipboardHandler(wxGrid* pGrid, PanelResult* pPanel, bool bPaste);

    // The bounding box of a grid's selection, or its current cell when
    // nothing is selected.
    struct CellBox {
        int nTop, nLeft, nBottom, nRight;
    };
    static CellBox SelectionOf(wxGrid* pGrid);

    // The selection (or the current cell) as tab-separated lines; and onto
    // the clipboard.
    wxString CopyText() const;
    void CopySelection() const;
    void PasteFromClipboard() const;

private:
    void OnKeyDown(wxKeyEvent& event);
    void OnRightClick(wxGridEvent& event);

    wxGrid* m_pGrid;
    PanelResult* m_pPanel;
    bool m_bPaste;
};

#endif
