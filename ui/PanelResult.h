#ifndef VARID_UI_PANELRESULT_H
#define VARID_UI_PANELRESULT_H

#include <functional>
#include <vector>

#include <wx/grid.h>
#include <wx/panel.h>
#include <wx/textctrl.h>
#include <wx/button.h>

#include "archive/ArchiveDocument.h"
#include "calc/Calculator.h"
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

    void Count();
    void Clear();
    void ChangeProgramMode();

    // Archive members (implemented in archive/PanelResultArchive.cpp).
    void Save();
    void Open();
    // Writes the whole panel; false when the file could not be written, and
    // then any earlier file of that name is left intact.
    bool SaveArchive(wxString strPath);
    // For the last-save file: a damaged or foreign file leaves the panel as it
    // was and is renamed aside, so the next close cannot overwrite it.
    void LoadArchive(wxString strPath);
    // Changes the panel only when the whole file reads well; false with the
    // failure's message otherwise. A path that names no file is no failure.
    bool LoadArchive(wxString strPath, wxString& strError);
    friend struct PanelArchiveAccess;
    // Everything the panel shows, as the archive tables hold it; and back.
    archive::Contents CollectContents();
    void ApplyContents(const archive::Contents& contents);
    // The archive file of the last successful Open or Save of this run, empty
    // when there was none or the panel was cleared since; and whether the
    // panel changed after that Open or Save.
    const wxString& GetArchiveFile() const { return m_strArchiveFile; }
    bool IsChangedSinceArchive();
    // End of archive members.

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
    void OnGridCellChange(wxGridEvent& event);
    void OnChangeValue(wxCommandEvent& event);
    void OnTextT(wxCommandEvent& event);
    void NotifyChanged();

    bool IsTFilled();
    bool CheckInput();
    bool ReadManualBox(wxTextCtrl* pBox, const char* pszLabel, double& dOut);
    bool ReadGridData();
    bool PrepareSecondValueColumn();
    void FillCalculator();
    void ShowResults();
    // Corrected value and accuracy of one row, in the display formats.
    static void ShowRowResult(wxGrid* pGrid, int nRow, double dCorrectP, double dAccuracy);
    void SetManualValues();

    wxGrid* m_pGrid;
    wxGrid* m_pManualGrid;
    wxGridTableBase* m_pGridTable;
    Calculator m_calculator;
    // The complete rows of the last grid reading, with their grid rows.
    GridData m_gridData;
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
    bool m_bSingleValueColumn;
    int m_nChosenCount;
    NoticeBar* m_pNotice;
    wxString m_strArchiveFile;
    archive::Contents m_archiveContents;  // the panel as that file holds it

    wxDECLARE_EVENT_TABLE();
};

#endif
