#include "ui/MainFrame.h"

#include <algorithm>

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/icon.h>
#include <wx/intl.h>
#include <wx/print.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "report/PlotData.h"
#include "report/ReportDocument.h"
#include "ui/ErrorBox.h"
#include "ui/PanelResult.h"
#include "ui/PlotFrame.h"
#include "ui/ReportPrintout.h"

#ifndef __WXMSW__
#include "resources/varid_48.xpm"
#endif

wxIMPLEMENT_CLASS(MainFrame, wxFrame);

// The buttons and the choice live in the loaded command bar; their command
// events travel up to the frame.
// clang-format off
wxBEGIN_EVENT_TABLE(MainFrame, wxFrame)
    EVT_BUTTON(XRCID("ID_COUNT"), MainFrame::OnCount)
    EVT_BUTTON(XRCID("ID_SAVE"), MainFrame::OnSave)
    EVT_BUTTON(XRCID("ID_OPEN"), MainFrame::OnOpen)
    EVT_BUTTON(XRCID("ID_CLEAR"), MainFrame::OnClear)
    EVT_BUTTON(XRCID("ID_HELP"), MainFrame::OnHelp)
    EVT_CHOICE(XRCID("ID_CHOICE_PROGRAM_MODE"), MainFrame::OnChoiceProgramMode)
    EVT_CLOSE(MainFrame::OnClose)
    EVT_BUTTON(XRCID("ID_PLOT"), MainFrame::OnPlot)
    EVT_BUTTON(XRCID("ID_PRINT"), MainFrame::OnPrint)
    EVT_MENU(XRCID("ID_PRINT"), MainFrame::OnPrint)
    EVT_COMMAND(wxID_ANY, EVT_PANEL_CHANGED, MainFrame::OnPanelChanged)
wxEND_EVENT_TABLE();
// clang-format on

MainFrame::MainFrame()
    : wxFrame(nullptr, wxID_ANY, wxGetTranslation(wxT("KEVRO_Varid")), wxDefaultPosition,
              wxSize(960, 600),
              wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxRESIZE_BORDER),
      m_pPanelMain(nullptr),
      m_pPanelResult(nullptr),
      m_pSizer(nullptr),
      m_pChoiceMode(nullptr) {
#ifdef __WXMSW__
    SetIcon(wxIcon(wxT("KEVRO_Varid"), wxBITMAP_TYPE_ICO_RESOURCE));
#else
    SetIcon(wxIcon(varid_48_xpm));
#endif

    m_pPanelMain = wxXmlResource::Get()->LoadPanel(this, wxT("ID_PANEL_MAIN"));
    m_pChoiceMode = wxDynamicCast(FindWindow(XRCID("ID_CHOICE_PROGRAM_MODE")), wxChoice);
    if (m_pChoiceMode) {
        // Any non-zero mode means periods, so a hand-edited value other than
        // 0 or 1 shows as the second item instead of no item at all.
        m_pChoiceMode->SetSelection(g_nProgramMode == 0 ? 0 : 1);
        // The layout asks for a height of 10, which some toolkits ignore and
        // GTK honours, hiding the selected mode; keep the width, never let
        // the height fall below what the text needs.
        const int nHeight = std::max(m_pChoiceMode->GetSize().y, m_pChoiceMode->GetBestSize().y);
        m_pChoiceMode->SetMinSize(wxSize(m_pChoiceMode->GetSize().x, nHeight));
        m_pChoiceMode->SetSize(m_pChoiceMode->GetSize().x, nHeight);
    }

    m_pPanelResult = new PanelResult(this);

    m_pSizer = new wxBoxSizer(wxVERTICAL);
    if (m_pPanelMain) m_pSizer->Add(m_pPanelMain, 1, wxEXPAND | wxALL, 0);
    m_pSizer->Add(m_pPanelResult, 9, wxEXPAND | wxALL, 0);
    SetAutoLayout(true);
    SetSizer(m_pSizer);
    m_pSizer->Layout();

    InitAccelerators();
}

void MainFrame::InitAccelerators() {
    // Accelerators send menu events with the button's identifier; the event
    // table routes both to the same handler.
    wxAcceleratorEntry entries[] = {
        wxAcceleratorEntry(wxACCEL_CTRL, 'P', XRCID("ID_PRINT")),
    };
    SetAcceleratorTable(wxAcceleratorTable(WXSIZEOF(entries), entries));

    if (wxWindow* pPrint = FindWindow(XRCID("ID_PRINT"))) pPrint->SetToolTip(_("Print (Ctrl+P)"));
}

MainFrame::~MainFrame() {}

void MainFrame::OnCount(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->Count(); }

void MainFrame::OnSave(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->Save(); }

void MainFrame::OnOpen(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->Open(); }

void MainFrame::OnClear(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->Clear(); }

// The Help button has no function: pressing it changes nothing.
void MainFrame::OnHelp(wxCommandEvent& WXUNUSED(event)) {}

void MainFrame::OnChoiceProgramMode(wxCommandEvent& event) {
    g_nProgramMode = event.GetSelection();
    m_pPanelResult->ChangeProgramMode();
}

void MainFrame::OnPlot(wxCommandEvent& WXUNUSED(event)) {
    if (!m_pPlotFrame) {
        m_pPlotFrame = new PlotFrame(this);
        m_pPlotFrame->ShowContents(m_pPanelResult->CollectContents(), g_nProgramMode);
        m_pPlotFrame->Show();
    }
    m_pPlotFrame->Raise();
}

void MainFrame::OnPanelChanged(wxCommandEvent& event) {
    if (m_pPlotFrame) m_pPlotFrame->ShowContents(m_pPanelResult->CollectContents(), g_nProgramMode);
    event.Skip();
}

void MainFrame::OnPrint(wxCommandEvent& WXUNUSED(event)) {
    const archive::Contents contents = m_pPanelResult->CollectContents();
    const wxString strHtml = ReportDocument::BuildHtml(contents, g_nProgramMode, wxDateTime::Now(),
                                                       m_pPanelResult->GetArchiveFile(),
                                                       m_pPanelResult->IsChangedSinceArchive());
    const PlotData data = PlotData::Build(contents, g_nProgramMode);
    // One printout for the preview, one for printing from it.
    auto* pPreview =
        new wxPrintPreview(new ReportPrintout(strHtml, data), new ReportPrintout(strHtml, data));
    if (!pPreview->IsOk()) {
        delete pPreview;
        ShowErrorBox(_("The print preview cannot be shown: no printing is set up."));
        return;
    }
    // A page needs height; as much as the screen gives, up to a comfortable size.
    wxSize size(820, 900);
    const int nDisplay = wxDisplay::GetFromWindow(this);
    if (nDisplay != wxNOT_FOUND) size.DecTo(wxDisplay(nDisplay).GetClientArea().GetSize());
    auto* pFrame = new wxPreviewFrame(pPreview, this, _("Print preview"), wxDefaultPosition, size);
    pFrame->Initialize();
    pFrame->Show();
}

void MainFrame::OnClose(wxCloseEvent& WXUNUSED(event)) {
    // Written on every close, never vetoed; a failed write does not keep the
    // window open.
    m_pPanelResult->SaveArchive(g_strXmlFile + wxFILE_SEP_PATH +
                                wxGetTranslation(wxT("varid_last_save.xml")));
    Destroy();
}
