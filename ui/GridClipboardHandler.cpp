#include "ui/GridClipboardHandler.h"

#include <algorithm>

#include <wx/clipbrd.h>
#include <wx/intl.h>
#include <wx/menu.h>

#include "grid/ClipboardBlock.h"
#include "ui/PanelResult.h"

GridClipboardHandler::GridClipboardHandler(wxGrid* pGrid, PanelResult* pPanel, bool bPaste)
    : m_pGrid(pGrid), m_pPanel(pPanel), m_bPaste(bPaste) {
    Bind(wxEVT_KEY_DOWN, &GridClipboardHandler::OnKeyDown, this);
    Bind(wxEVT_GRID_CELL_RIGHT_CLICK, &GridClipboardHandler::OnRightClick, this);
}

GridClipboardHandler::CellBox GridClipboardHandler::SelectionOf(wxGrid* pGrid) {
    CellBox box{pGrid->GetNumberRows(), pGrid->GetNumberCols(), -1, -1};
    for (const wxGridBlockCoords& block : pGrid->GetSelectedBlocks()) {
        box.nTop = std::min(box.nTop, block.GetTopRow());
        box.nLeft = std::min(box.nLeft, block.GetLeftCol());
        box.nBottom = std::max(box.nBottom, block.GetBottomRow());
        box.nRight = std::max(box.nRight, block.GetRightCol());
    }
    if (box.nBottom < 0) {
        const int nRow = std::max(pGrid->GetGridCursorRow(), 0);
        const int nCol = std::max(pGrid->GetGridCursorCol(), 0);
        box = {nRow, nCol, nRow, nCol};
    }
    return box;
}

void GridClipboardHandler::OnKeyDown(wxKeyEvent& event) {
    const int nKey = event.GetKeyCode();
    const int nModifiers = event.GetModifiers();
    const bool bInsert = nKey == WXK_INSERT || nKey == WXK_NUMPAD_INSERT;
    if (nModifiers == wxMOD_CONTROL && (nKey == 'C' || bInsert)) {
        CopySelection();
    } else if (m_bPaste && ((nModifiers == wxMOD_CONTROL && nKey == 'V') ||
                            (nModifiers == wxMOD_SHIFT && bInsert))) {
        PasteFromClipboard();
    } else {
        event.Skip();
    }
}

void GridClipboardHandler::OnRightClick(wxGridEvent& event) {
    m_pPanel->FinishCellEdit();
    const int nRow = event.GetRow(), nCol = event.GetCol();
    // A click outside the selection works on the clicked cell, as in
    // spreadsheets; inside it, on the whole selection.
    if (!m_pGrid->IsInSelection(nRow, nCol)) {
        m_pGrid->ClearSelection();
        m_pGrid->SetGridCursor(nRow, nCol);
    }
    wxMenu menu;
    menu.Append(wxID_COPY, _("Copy") + wxT("\tCtrl+C"));
    if (m_bPaste) menu.Append(wxID_PASTE, _("Paste") + wxT("\tCtrl+V"));
    // The event's position is in the coordinates of the cells' window.
    switch (m_pGrid->GetGridWindow()->GetPopupMenuSelectionFromUser(menu, event.GetPosition())) {
        case wxID_COPY:
            CopySelection();
            break;
        case wxID_PASTE:
            PasteFromClipboard();
            break;
        default:
            break;
    }
}

wxString GridClipboardHandler::CopyText() const {
    const CellBox box = SelectionOf(m_pGrid);
    const panel::Contents contents = m_pPanel->CollectContents();
    return ClipboardBlock::Format(
        m_pGrid == m_pPanel->GetGrid() ? contents.table : contents.manualTable, box.nTop, box.nLeft,
        box.nBottom, box.nRight);
}

void GridClipboardHandler::CopySelection() const {
    wxClipboardLocker lock;
    if (!lock) return;
    wxTheClipboard->SetData(new wxTextDataObject(CopyText()));
}

void GridClipboardHandler::PasteFromClipboard() const {
    wxString strText;
    {
        wxClipboardLocker lock;
        if (!lock || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) return;
        wxTextDataObject data;
        if (!wxTheClipboard->GetData(data)) return;
        strText = data.GetText();
    }
    m_pPanel->PasteText(strText);
}
