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
#include "grid/UncertaintyStatement.h"
#include "ui/NoticeBar.h"
#include "ui/UndoOffer.h"

// Sent (as a command event, so it reaches the frame) whenever what the panel
// shows may have changed: after Count, Set, Clear, a mode switch, an Open and
// every edit of a grid cell.
wxDECLARE_EVENT(EVT_PANEL_CHANGED, wxCommandEvent);
// Sent by an undo that brings another program mode back, before the panel
// shows the restored contents: the event's int is the mode, which the frame,
// owner of the mode choice, puts in force.
wxDECLARE_EVENT(EVT_PROGRAM_MODE_RESTORE, wxCommandEvent);

// The result panel: measurement grid, manual grid, T, result and manual boxes.
class PanelResult : public wxPanel {
public:
    // The laboratory fields of lab fill the record before the last session
    // is read, which may replace them.
    explicit PanelResult(wxWindow* pParent, const CalibrationDetails& lab = CalibrationDetails());
    ~PanelResult() override;

    bool Layout() override;

    void Count();
    // Count's checks, then the fit over every complete row into the manual
    // boxes and grid through Set; beside each manual box the value's U from
    // its budget, and a notice with the residual and whether the reference's
    // uncertainty is included, which offers the previous manual values back.
    void Fit();
    // Empties everything but the laboratory fields of the record.
    void Clear();
    void ChangeProgramMode();
    // The window "Calibration details"; true when OK changed the record.
    bool EditDetails();
    const CalibrationDetails& GetDetails() const { return m_details; }
    // The last Fit while the manual boxes show its set, else null: for the
    // plot's band, the report and the export.
    const CalibrationFit* GetFit() const { return m_pFit.get(); }

    // Archive members (implemented in ui/PanelResultArchive.cpp).
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
    // For the last-save file: a damaged or foreign file leaves the panel as it
    // was and is renamed aside, so the next close cannot overwrite it.
    void LoadArchive(wxString strPath);
    // Changes the panel only when the whole file reads well; false with the
    // failure's message otherwise. A path that names no file is no failure.
    bool LoadArchive(wxString strPath, wxString& strError);
    // Everything the panel shows, as the archive tables hold it; and back.
    panel::Contents CollectContents();
    void ApplyContents(const panel::Contents& contents);
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
    // The panel's data into an Excel workbook or a CSV file the user chooses;
    // everything from the dialog to the error box, so any command may call it.
    void Export();
    // A summary of the archives in a folder the user chooses, into a
    // workbook or CSV file, with a progress window that can stop it.
    void ExportSummary();
    // The summary of the archives below strDir into strPath, with the
    // progress window; true when the file was written.
    bool WriteSummary(const wxString& strDir, const wxString& strPath);
    // Commits an open cell editor, as leaving the cell does; for shortcuts
    // that act while the operator is still typing.
    void FinishCellEdit();
    // Undo of one action (UndoOffer): the whole panel and the program mode
    // before it, offered after the action's own changes, and the shortcut.
    using Snapshot = UndoOffer::Snapshot;
    Snapshot TakeSnapshot();
    void OfferUndo(Snapshot snapshot, const wxString& strText) {
        m_pUndo->Offer(std::move(snapshot), strText);
    }
    bool Undo() { return m_pUndo->Undo(); }

    // The one notice above the grids; a newer notice replaces the one shown.
    void ShowNotice(const wxString& strText, const wxString& strButton,
                    std::function<void()> fnAction,
                    NoticeBar::NoticeId nId = NoticeBar::kNoticeOther);
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
    void OnDetails(wxCommandEvent& event);
    // The line above the grids names the record's item.
    void ShowDetailsSummary();
    // The ± label beside each manual box: its U from the fit's budget, which
    // takes the record's reference into account.
    void ShowFitUncertainties(const UncertaintyStatement& statement);
    // The file an export goes to, asked for with the workbook and CSV types:
    // its name's extension decides, and a bare name gets the chosen type's.
    // Empty when the user gives none or will not replace a file.
    wxString ChooseExportPath(const wxString& strTitle, const wxString& strName);
    void OnTextT(wxCommandEvent& event);
    // An edited manual box no longer shows the fit: its U labels go.
    void OnTextManual(wxCommandEvent& event);
    // The fit and its U labels go together once the panel no longer shows
    // what it fitted; the plot hears of it.
    void DropFit();
    void NotifyChanged();
    // The file of the last Open or Save, and the panel as it holds it.
    void RememberArchiveFile(const wxString& strPath);
    void RestoreSnapshot(const Snapshot& snapshot);
    // The last session as LastSession finds it; says so when it came from
    // the home folder.
    void LoadLastSession();
    archive::LoadStatus LoadArchiveFile(const wxString& strPath, wxString& strError);
    // A good read into the widgets; the notice of an earlier action goes.
    void ShowLoaded(const panel::Contents& contents);

    bool IsTFilled();
    // The grid check of Count, Set and Save; shows its message when it refuses.
    bool ReadGridData();
    // Puts what changed into the widgets (a Count, Set, grid check or paste),
    // and locks column 3 once a reading has found it without second readings.
    void ShowContents(const panel::Contents& contents);
    // The same after a Count or Set, then its refusal in a box, or the news
    // that the panel changed; true when it was done.
    bool ShowRun(const panel::Contents& contents, CalibrationRun::Outcome outcome);
    // After a Count: points out another root of the K3 equation that fits the
    // unticked rows clearly better, with a button that tries it through Set.
    void OfferBetterRoot();
    void SetManualValues();
    // The eleven boxes in the order of panel::Box.
    std::array<wxTextCtrl*, panel::kBoxes> Boxes() const;

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
    wxStaticText* m_pTextDetailsSummary = nullptr;
    CalibrationDetails m_details;
    // The U of the fit beside each manual box, in the order of
    // CalibrationFit::Value.
    std::array<wxStaticText*, CalibrationFit::kValues> m_arrLabelU{};
    std::unique_ptr<CalibrationFit> m_pFit;
    int m_nChosenCount;
    NoticeBar* m_pNotice;
    // The labelled boxes, whose size their label and content decide.
    std::vector<wxStaticBox*> m_vecBoxes;
    std::unique_ptr<UndoOffer> m_pUndo;
    wxString m_strArchiveFile;
    panel::Contents m_archiveContents;  // the panel as that file holds it

    wxDECLARE_EVENT_TABLE();
};

#endif
