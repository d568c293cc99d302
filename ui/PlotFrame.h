#ifndef VARID_UI_PLOTFRAME_H
#define VARID_UI_PLOTFRAME_H

#include <wx/frame.h>

#include "grid/PanelContents.h"

class CalibrationFit;
class PlotCanvas;

// The plot window: its own resizable window beside the main one, so the
// grids stay in full view. The main frame keeps one and refreshes it
// whenever the panel changes.
class PlotFrame : public wxFrame {
public:
    explicit PlotFrame(wxWindow* pParent);

    // Replots what the panel shows; pFit is the fit its manual boxes show.
    void ShowContents(const panel::Contents& contents, int nProgramMode,
                      const CalibrationFit* pFit = nullptr);
    PlotCanvas* GetCanvas() const { return m_pCanvas; }

private:
    // Beside the main window when the screen has room there.
    void PlaceBeside(wxWindow* pParent);
    // Ctrl+P here prints the report, as in the main window.
    void OnPrint(wxCommandEvent& event);

    PlotCanvas* m_pCanvas;

    wxDECLARE_EVENT_TABLE();
};

#endif
