#ifndef VARID_UI_MAINFRAME_H
#define VARID_UI_MAINFRAME_H

#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/weakref.h>

class PanelResult;
class PlotFrame;

// The only top-level window: command bar above, result panel below.
class MainFrame : public wxFrame {
public:
    MainFrame();
    ~MainFrame() override;

    PanelResult* GetPanelResult() const { return m_pPanelResult; }
    // The plot window while it is open, else null.
    PlotFrame* GetPlotFrame() const { return m_pPlotFrame; }

private:
    void OnCount(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnOpen(wxCommandEvent& event);
    void OnClear(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnChoiceProgramMode(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnPlot(wxCommandEvent& event);
    void OnPrint(wxCommandEvent& event);
    void OnPanelChanged(wxCommandEvent& event);
    // The keyboard shortcuts of the whole window, and the tooltips naming them.
    void InitAccelerators();

    wxPanel* m_pPanelMain;
    PanelResult* m_pPanelResult;
    wxBoxSizer* m_pSizer;
    wxChoice* m_pChoiceMode;
    wxWeakRef<PlotFrame> m_pPlotFrame;

    wxDECLARE_CLASS(MainFrame);
    wxDECLARE_EVENT_TABLE();
};

#endif
