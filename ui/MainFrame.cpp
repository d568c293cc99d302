#include "ui/MainFrame.h"

#include <algorithm>
#include <vector>

#include <wx/accel.h>
#include <wx/icon.h>
#include <wx/intl.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "ui/PanelResult.h"

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
    EVT_BUTTON(XRCID("ID_EXPORT"), MainFrame::OnExport)
    EVT_MENU(XRCID("ID_COUNT"), MainFrame::OnCount)
    EVT_MENU(XRCID("ID_SAVE"), MainFrame::OnSave)
    EVT_MENU(XRCID("ID_OPEN"), MainFrame::OnOpen)
    EVT_MENU(XRCID("ID_EXPORT"), MainFrame::OnExport)
    EVT_BUTTON(XRCID("ID_CLEAR"), MainFrame::OnClear)
    EVT_BUTTON(XRCID("ID_HELP"), MainFrame::OnHelp)
    EVT_CHOICE(XRCID("ID_CHOICE_PROGRAM_MODE"), MainFrame::OnChoiceProgramMode)
    EVT_CLOSE(MainFrame::OnClose)
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
    SetUpShortcuts();
}

void MainFrame::SetUpShortcuts() {
    // Each shortcut sends the command of its button, as a menu event.
    const struct {
        int nFlags, nKey;
        const char* pszButton;
    } shortcuts[] = {
        {wxACCEL_CTRL, 'S', "ID_SAVE"},
        {wxACCEL_CTRL, 'O', "ID_OPEN"},
        {wxACCEL_CTRL, 'E', "ID_EXPORT"},
        {wxACCEL_CTRL, WXK_RETURN, "ID_COUNT"},
        {wxACCEL_CTRL, WXK_NUMPAD_ENTER, "ID_COUNT"},
        {wxACCEL_NORMAL, WXK_F5, "ID_COUNT"},
    };
    std::vector<wxAcceleratorEntry> vecEntries;
    for (const auto& s : shortcuts)
        vecEntries.emplace_back(s.nFlags, s.nKey, wxXmlResource::GetXRCID(s.pszButton));
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(vecEntries.size()), vecEntries.data()));

    const struct {
        const char* pszButton;
        wxString strTip;
    } tips[] = {
        {"ID_COUNT", _("Count (F5, Ctrl+Enter)")},
        {"ID_SAVE", _("Save (Ctrl+S)")},
        {"ID_OPEN", _("Open (Ctrl+O)")},
        {"ID_EXPORT", _("Export to CSV (Ctrl+E)")},
    };
    for (const auto& t : tips)
        if (wxWindow* pButton = FindWindow(wxXmlResource::GetXRCID(t.pszButton)))
            pButton->SetToolTip(t.strTip);
}

MainFrame::~MainFrame() {}

// A shortcut may come while a cell is still being edited: its text counts.
void MainFrame::OnCount(wxCommandEvent& WXUNUSED(event)) {
    m_pPanelResult->FinishCellEdit();
    m_pPanelResult->Count();
}

void MainFrame::OnSave(wxCommandEvent& WXUNUSED(event)) {
    m_pPanelResult->FinishCellEdit();
    m_pPanelResult->Save();
}

void MainFrame::OnOpen(wxCommandEvent& WXUNUSED(event)) {
    m_pPanelResult->FinishCellEdit();
    m_pPanelResult->Open();
}

void MainFrame::OnExport(wxCommandEvent& WXUNUSED(event)) {
    m_pPanelResult->FinishCellEdit();
    m_pPanelResult->Export();
}

void MainFrame::OnClear(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->Clear(); }

// The Help button has no function: pressing it changes nothing.
void MainFrame::OnHelp(wxCommandEvent& WXUNUSED(event)) {}

void MainFrame::OnChoiceProgramMode(wxCommandEvent& event) {
    g_nProgramMode = event.GetSelection();
    m_pPanelResult->ChangeProgramMode();
}

void MainFrame::OnClose(wxCloseEvent& WXUNUSED(event)) {
    // Written on every close, never vetoed; a failed write does not keep the
    // window open.
    m_pPanelResult->SaveArchive(g_strXmlFile + wxFILE_SEP_PATH +
                                wxGetTranslation(wxT("varid_last_save.xml")));
    Destroy();
}
