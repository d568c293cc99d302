// The panel's data in and out: paste from spreadsheets, copy from either grid
// and CSV export. The rules live in ClipboardBlock and CsvExport; these
// members only move texts between them, the widgets and the clipboard.
#include <algorithm>

#include <wx/clipbrd.h>
#include <wx/datetime.h>
#include <wx/filedlg.h>
#include <wx/intl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/translation.h>

#include "app/Globals.h"
#include "grid/ClipboardBlock.h"
#include "report/CsvExport.h"
#include "ui/ErrorBox.h"
#include "ui/PanelResult.h"

namespace {

struct CellBox {
    int nTop, nLeft, nBottom, nRight;
};

// The bounding box of the selection, or the current cell when nothing is
// selected.
CellBox SelectionOf(wxGrid* pGrid) {
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

}  // namespace

void PanelResult::BindDataEvents() {
    // Key events do not travel up the window tree: each grid gets its own
    // handler. An open cell editor receives the keys itself and keeps its own
    // copy and paste.
    for (wxGrid* pGrid : {m_pGrid, m_pManualGrid}) {
        pGrid->Bind(wxEVT_KEY_DOWN,
                    [this, pGrid](wxKeyEvent& event) { OnGridKeyDown(event, pGrid); });
        pGrid->Bind(wxEVT_GRID_CELL_RIGHT_CLICK,
                    [this, pGrid](wxGridEvent& event) { OnGridRightClick(event, pGrid); });
    }
}

void PanelResult::OnGridKeyDown(wxKeyEvent& event, wxGrid* pGrid) {
    const int nKey = event.GetKeyCode();
    const int nModifiers = event.GetModifiers();
    const bool bInsert = nKey == WXK_INSERT || nKey == WXK_NUMPAD_INSERT;
    if (nModifiers == wxMOD_CONTROL && (nKey == 'C' || bInsert)) {
        CopySelection(pGrid);
    } else if (pGrid == m_pGrid && ((nModifiers == wxMOD_CONTROL && nKey == 'V') ||
                                    (nModifiers == wxMOD_SHIFT && bInsert))) {
        PasteFromClipboard();
    } else {
        event.Skip();
    }
}

void PanelResult::OnGridRightClick(wxGridEvent& event, wxGrid* pGrid) {
    FinishCellEdit();
    const int nRow = event.GetRow(), nCol = event.GetCol();
    // A click outside the selection works on the clicked cell, as in
    // spreadsheets; inside it, on the whole selection.
    if (!pGrid->IsInSelection(nRow, nCol)) {
        pGrid->ClearSelection();
        pGrid->SetGridCursor(nRow, nCol);
    }
    wxMenu menu;
    menu.Append(wxID_COPY, _("Copy") + wxT("\tCtrl+C"));
    if (pGrid == m_pGrid) menu.Append(wxID_PASTE, _("Paste") + wxT("\tCtrl+V"));
    // The event's position is in the coordinates of the cells' window.
    switch (pGrid->GetGridWindow()->GetPopupMenuSelectionFromUser(menu, event.GetPosition())) {
        case wxID_COPY:
            CopySelection(pGrid);
            break;
        case wxID_PASTE:
            PasteFromClipboard();
            break;
        default:
            break;
    }
}

void PanelResult::FinishCellEdit() {
    for (wxGrid* pGrid : {m_pGrid, m_pManualGrid})
        if (pGrid->IsCellEditControlEnabled()) pGrid->DisableCellEditControl();
}

wxString PanelResult::CopyText(wxGrid* pGrid) {
    const CellBox box = SelectionOf(pGrid);
    const archive::Contents contents = CollectContents();
    return ClipboardBlock::Format(pGrid == m_pGrid ? contents.table : contents.manualTable,
                                  box.nTop, box.nLeft, box.nBottom, box.nRight);
}

void PanelResult::CopySelection(wxGrid* pGrid) {
    wxClipboardLocker lock;
    if (!lock) return;
    wxTheClipboard->SetData(new wxTextDataObject(CopyText(pGrid)));
}

void PanelResult::PasteFromClipboard() {
    wxString strText;
    {
        wxClipboardLocker lock;
        if (!lock || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) return;
        wxTextDataObject data;
        if (!wxTheClipboard->GetData(data)) return;
        strText = data.GetText();
    }
    PasteText(strText);
}

bool PanelResult::PasteText(const wxString& strText) {
    const ClipboardBlock block(strText);
    if (block.IsEmpty()) return false;
    Snapshot undo = TakeSnapshot();
    const CellBox box = SelectionOf(m_pGrid);
    archive::Contents contents = undo.contents;
    // Column 3 locked by a Count of single readings stays empty.
    const bool bLocked = m_pGrid->IsReadOnly(0, GridData::kSecondReadingCol);
    const ClipboardBlock::Outcome outcome =
        block.ApplyTo(contents.table, box.nTop, box.nLeft, bLocked);
    if (outcome.bTooManyTicks) {
        ShowErrorBox(_("Choose wrong quantity values for calculate"));
        return false;
    }

    if (outcome.nWritten > 0) {
        // A paste is an edit of the grid: the notice of an earlier action goes.
        DismissNotice();
        DropFit();
        ShowContents(contents);
        m_nChosenCount = CountChosenRows();
        m_pGrid->ForceRefresh();
    }

    // Nothing is dropped without a word.
    wxString strLeftOut;
    if (outcome.nOutside > 0)
        strLeftOut += wxString::Format(
            wxPLURAL("%d cell lies outside the grid and was left out.",
                     "%d cells lie outside the grid and were left out.", outcome.nOutside),
            outcome.nOutside);
    if (outcome.nLocked > 0) {
        if (!strLeftOut.empty()) strLeftOut += wxT("\n");
        strLeftOut += wxString::Format(
            wxPLURAL("%d cell was left out: column %s is locked for single readings.",
                     "%d cells were left out: column %s is locked for single readings.",
                     outcome.nLocked),
            outcome.nLocked, m_pGrid->GetColLabelValue(GridData::kSecondReadingCol));
    }
    if (!strLeftOut.empty()) wxMessageBox(strLeftOut, _("Paste"), wxOK | wxICON_WARNING);

    if (outcome.nWritten == 0) return false;
    NotifyChanged();
    OfferUndo(std::move(undo), _("Cells were pasted."));
    return true;
}

void PanelResult::Export() {
    const wxString strName = wxDateTime::Now().Format(_("Varid_%Y_%m_%d_%H_%M_%S.csv"));
    const wxString strPath =
        wxFileSelector(_("Choose the file to export to"), g_strXmlFile, strName, wxT("csv"),
                       wxT("*.csv"), wxFD_SAVE | wxFD_OVERWRITE_PROMPT, this);
    if (strPath.empty()) return;
    // The archive directory stays where Save put it.
    if (!CsvExport::WriteFile(strPath, CollectContents(), g_nProgramMode, GetFit()))
        ShowErrorBox(wxString::Format(_("Cannot write the file %s!"), strPath));
}
