#ifndef VARID_UI_PANELRESULT_H
#define VARID_UI_PANELRESULT_H

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <wx/grid.h>
#include <wx/panel.h>
#include <wx/textctrl.h>
#include <wx/button.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "archive/ArchiveDocument.h"
#include "calc/CalibrationFit.h"
#include "calc/Calculator.h"
#include "grid/CalibrationRun.h"
#include "grid/GridData.h"

class NoticeBar;

// Sent (as a command event, so it reaches the frame) whenever what the panel
// shows may have changed: after Count, Set, Clear, a mode switch, an Open and
// every edit of a grid cell.
wxDECLARE_EVENT(EVT_PANEL_CHANGED, wxCommandEvent);

// The result panel: measurement grid, manual grid, T, result and manual boxes.
class PanelResult : public wxPanel {
public:
    explicit PanelResult(wxWindow* pParent);
    ~PanelResult() override;

    bool Layout() override;

    void Count();
    // Count's checks, then the fit over every complete row into the manual
    // boxes and grid through Set; its U beside each manual box, and a notice
    // with its residual that offers the previous manual values back.
    void Fit();
    void Clear();
    void ChangeProgramMode();
    // The last Fit while the manual boxes show its set, else null: for the
    // plot's band, the report and the export.
    const CalibrationFit* GetFit() const { return m_pFit.get(); }

    // Archive members (implemented in archive/PanelResultArchive.cpp).
    void Save();
    void Open();
    // Save's dialog and write without Save's input checks (unfinished work
    // must be savable at close): moves the archive directory like Save;
    // false when cancelled or when the file could not be written (said in a
    // box).
    bool SaveToChosenFile();
    // Writes the whole panel; false when the file could not be written, and
    // then any earlier file of that name is left intact and pstrReason, when
    // given, holds the system's reason.
    bool SaveArchive(wxString strPath, wxString* pstrReason = nullptr);
    // The last-save file of an archive directory.
    static wxString LastSavePath(const wxString& strDir);
    // Where the last session goes when the desktop session ends and the
    // archive directory cannot take it: the home folder, under its own name.
    static wxString SessionEndPath();
    // For the last-save file: a damaged or foreign file leaves the panel as it
    // was and is renamed aside, so the next close cannot overwrite it.
    void LoadArchive(wxString strPath);
    // Changes the panel only when the whole file reads well; false with the
    // failure's message otherwise. A path that names no file is no failure.
    bool LoadArchive(wxString strPath, wxString& strError);
    // Everything the panel shows, as the archive tables hold it; and back.
    archive::Contents CollectContents();
    void ApplyContents(const archive::Contents& contents);
    // The archive file of the last successful Open or Save of this run, empty
    // when there was none or the panel was cleared since; and whether the
    // panel changed after that Open or Save.
    const wxString& GetArchiveFile() const { return m_strArchiveFile; }
    bool IsChangedSinceArchive();
    // End of archive members.

    // Data in and out (implemented in ui/PanelResultData.cpp).
    // The one paste operation: a spreadsheet block into the measurement grid
    // from the current cell (or the selection's top-left cell). A block that
    // would tick a fifth row is refused whole; cells it cannot write are
    // reported in a box. True when the grid changed.
    bool PasteText(const wxString& strText);
    void PasteFromClipboard();
    // The selection (or the current cell) of either grid as tab-separated
    // lines; and onto the clipboard.
    wxString CopyText(wxGrid* pGrid);
    void CopySelection(wxGrid* pGrid);
    // The panel's data into a CSV file the user chooses.
    void Export();
    // Commits an open cell editor, as leaving the cell does; for shortcuts
    // that act while the operator is still typing.
    void FinishCellEdit();
    // Undo of one action: the whole panel and the program mode before it.
    struct Snapshot {
        archive::Contents contents;
        int nProgramMode = 0;
    };
    Snapshot TakeSnapshot();
    // Shows the notice with strText and the button "Undo", which puts the
    // snapshot back; to be called after the action's own changes.
    void OfferUndo(Snapshot snapshot, const wxString& strText);
    // The undo offered last, while its notice shows (the shortcut); false
    // when no undo notice shows.
    bool Undo();

    // The one notice above the grids; a newer notice replaces the one shown.
    void ShowNotice(const wxString& strText, const wxString& strButton,
                    std::function<void()> fnAction);
    void DismissNotice();
    NoticeBar* GetNoticeBar() const { return m_pNotice; }

    bool IsCellChecked(int nRow, int nCol);
    bool IsCellChecked(int nRow, int nCol, wxGrid* pGrid);
    bool GetCellDouble(int nRow, int nCol, double& dOut);
    int CountChosenRows();

    // Read access for the frame's neighbours and the tests.
    wxGrid* GetGrid() const { return m_pGrid; }
    wxGrid* GetManualGrid() const { return m_pManualGrid; }
    int GetChosenCount() const { return m_nChosenCount; }

    static wxString FormatCorrection(double v);

private:
    void InitGrid();
    void InitManualGrid();
    void FormatGrid(wxGrid* pGrid);
    void UpdateColumnLabels();
    void FitColumnsToLabels();
    void FitBoxesToLabels(wxSizer* pSizer);
    void OnGridCellChange(wxGridEvent& event);
    void OnChangeValue(wxCommandEvent& event);
    void OnTextT(wxCommandEvent& event);
    // An edited manual box no longer shows the fit: its U labels go.
    void OnTextManual(wxCommandEvent& event);
    // The fit and its U labels go together once the panel no longer shows
    // what it fitted; the plot hears of it.
    void DropFit();
    void NotifyChanged();
    // The file of the last Open or Save, and the panel as it holds it.
    void RememberArchiveFile(const wxString& strPath);
    void BindDataEvents();
    void OnGridKeyDown(wxKeyEvent& event, wxGrid* pGrid);
    void OnGridRightClick(wxGridEvent& event, wxGrid* pGrid);
    void RestoreSnapshot(const Snapshot& snapshot);
    // The archive directory's last-save file, or the one saved in the home
    // folder at the end of a desktop session when that one is newer.
    void LoadLastSession();
    archive::LoadStatus LoadArchiveFile(const wxString& strPath, wxString& strError);

    bool IsTFilled();
    // The grid check of Count, Set and Save; shows its message when it refuses.
    bool ReadGridData();
    // Puts what changed into the widgets (a Count, Set, grid check or paste),
    // and locks column 3 once a reading has found it without second readings.
    void ShowContents(const archive::Contents& contents);
    // The same after a Count or Set, then its refusal in a box, or the news
    // that the panel changed; true when it was done.
    bool ShowRun(const archive::Contents& contents, CalibrationRun::Outcome outcome);
    // After a Count: points out another root of the K3 equation that fits the
    // unticked rows clearly better, with a button that tries it through Set.
    void OfferBetterRoot();
    void SetManualValues();
    // The eleven boxes in the order of archive::Box.
    std::array<wxTextCtrl*, archive::kBoxes> Boxes() const;

    wxGrid* m_pGrid;
    wxGrid* m_pManualGrid;
    wxGridTableBase* m_pGridTable;
    Calculator m_calculator;
    // Count and Set with their checks, on the engine above.
    CalibrationRun m_run;
    wxTextCtrl* m_pTextRegistration;
    wxTextCtrl* m_pTextDeadTime;
    wxTextCtrl* m_pTextT;
    wxTextCtrl* m_pTextK1;
    wxTextCtrl* m_pTextK2;
    wxTextCtrl* m_pTextK3;
    wxTextCtrl* m_pTextManualDeadTime;
    wxTextCtrl* m_pTextManualRegistration;
    wxTextCtrl* m_pTextManualK1;
    wxTextCtrl* m_pTextManualK2;
    wxTextCtrl* m_pTextManualK3;
    wxButton* m_pBtChangeValue;
    // The U of the fit beside each manual box, in the order of
    // CalibrationFit::Value.
    std::array<wxStaticText*, CalibrationFit::kValues> m_arrLabelU{};
    std::unique_ptr<CalibrationFit> m_pFit;
    int m_nChosenCount;
    NoticeBar* m_pNotice;
    // The labelled boxes, whose size their label and content decide.
    std::vector<wxStaticBox*> m_vecBoxes;
    // The text of the undo notice while it may be showing.
    wxString m_strUndoText;
    wxString m_strArchiveFile;
    archive::Contents m_archiveContents;  // the panel as that file holds it

    wxDECLARE_EVENT_TABLE();
};

#endif
