#ifndef VARID_UI_MAINFRAME_H
#define VARID_UI_MAINFRAME_H

#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/weakref.h>

#include "grid/CalibrationDetails.h"

class PanelResult;
class PlotFrame;

// The only top-level window: command bar above, result panel below.
class MainFrame : public wxFrame {
public:
    // The laboratory fields of lab (from the settings) start the record.
    explicit MainFrame(const CalibrationDetails& lab = CalibrationDetails());
    ~MainFrame() override;

    PanelResult* GetPanelResult() const { return m_pPanelResult; }
    // The plot window while it is open, else null.
    PlotFrame* GetPlotFrame() const { return m_pPlotFrame; }

    // The default size: every label reads in full and both grids show all
    // their rows in English, Russian and Ukrainian; also the smallest size.
    static wxSize DefaultSize();

private:
    void OnCount(wxCommandEvent& event);
    void OnFit(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnOpen(wxCommandEvent& event);
    // Export opens a menu: this calibration, or a summary of a folder.
    void OnExport(wxCommandEvent& event);
    void OnExportThis(wxCommandEvent& event);
    void OnExportSummary(wxCommandEvent& event);
    void OnClear(wxCommandEvent& event);
    void OnDetails(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnChoiceProgramMode(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    // The program's keyboard shortcuts (the frame has no menu bar) and the
    // button tooltips that name them.
    void SetUpShortcuts();
    void OnUndo(wxCommandEvent& event);
    void OnPanelChanged(wxCommandEvent& event);
    void OnProgramModeRestore(wxCommandEvent& event);
    // After a failed write of the last-save file at close: true when the
    // window may go.
    bool AskBeforeLosingTheSession(const wxString& strPath, const wxString& strReason);
    void OnPlot(wxCommandEvent& event);
    void OnPrint(wxCommandEvent& event);

    wxPanel* m_pPanelMain;
    PanelResult* m_pPanelResult;
    wxBoxSizer* m_pSizer;
    wxChoice* m_pChoiceMode;
    wxWeakRef<PlotFrame> m_pPlotFrame;

    wxDECLARE_CLASS(MainFrame);
    wxDECLARE_EVENT_TABLE();
};

#endif
