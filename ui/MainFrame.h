#ifndef VARID_UI_MAINFRAME_H
#define VARID_UI_MAINFRAME_H

#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>

class PanelResult;

// The only top-level window: command bar above, result panel below.
class MainFrame : public wxFrame {
public:
    MainFrame();
    ~MainFrame() override;

    PanelResult* GetPanelResult() const { return m_pPanelResult; }

private:
    void OnCount(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnOpen(wxCommandEvent& event);
    void OnExport(wxCommandEvent& event);
    void OnClear(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnChoiceProgramMode(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    // The program's keyboard shortcuts (the frame has no menu bar) and the
    // button tooltips that name them.
    void SetUpShortcuts();

    wxPanel* m_pPanelMain;
    PanelResult* m_pPanelResult;
    wxBoxSizer* m_pSizer;
    wxChoice* m_pChoiceMode;

    wxDECLARE_CLASS(MainFrame);
    wxDECLARE_EVENT_TABLE();
};

#endif
