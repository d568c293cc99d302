#include "ui/PlotFrame.h"

#include <algorithm>

#include <wx/accel.h>
#include <wx/display.h>
#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/xrc/xmlres.h>

#include "report/PlotData.h"
#include "ui/PlotCanvas.h"

namespace {

const wxSize kDefaultSize(760, 600);
const int kLeastWidth = 480;

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(PlotFrame, wxFrame)
    EVT_MENU(XRCID("ID_PRINT"), PlotFrame::OnPrint)
wxEND_EVENT_TABLE();
// clang-format on

PlotFrame::PlotFrame(wxWindow* pParent)
    : wxFrame(pParent, wxID_ANY, _("Calibration plot"), wxDefaultPosition, kDefaultSize,
              wxDEFAULT_FRAME_STYLE, wxT("plot_frame")),
      m_pCanvas(new PlotCanvas(this)) {
    if (auto* pTop = wxDynamicCast(pParent, wxTopLevelWindow)) SetIcons(pTop->GetIcons());
    auto* pSizer = new wxBoxSizer(wxVERTICAL);
    pSizer->Add(m_pCanvas, 1, wxEXPAND);
    SetSizer(pSizer);
    SetMinSize(wxSize(360, 300));
    PlaceBeside(pParent);
    wxAcceleratorEntry print(wxACCEL_CTRL, 'P', XRCID("ID_PRINT"));
    SetAcceleratorTable(wxAcceleratorTable(1, &print));
}

void PlotFrame::OnPrint(wxCommandEvent& event) {
    // Commands stop at a top-level window: hand it to the main window.
    GetParent()->GetEventHandler()->ProcessEvent(event);
}

void PlotFrame::PlaceBeside(wxWindow* pParent) {
    const int nDisplay = wxDisplay::GetFromWindow(pParent);
    if (nDisplay == wxNOT_FOUND) return;
    const wxRect area = wxDisplay(nDisplay).GetClientArea();
    const wxRect parent = pParent->GetScreenRect();
    const int room = area.GetRight() - parent.GetRight();
    if (room < kLeastWidth) return;
    const int width = std::min(room, kDefaultSize.x);
    const int height = std::min(area.height, std::max(kDefaultSize.y, parent.height));
    SetSize(parent.GetRight() + 1, std::max(area.y, parent.y), width, height);
}

void PlotFrame::ShowContents(const panel::Contents& contents, int nProgramMode,
                             const CalibrationFit* pFit) {
    m_pCanvas->SetData(PlotData::Build(contents, nProgramMode, pFit));
}
