#include "ui/MainFrame.h"

#include <algorithm>
#include <vector>

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/icon.h>
#include <wx/menu.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/print.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "archive/LastSession.h"
#include "report/PlotData.h"
#include "report/ReportDocument.h"
#include "ui/ErrorBox.h"
#include "ui/HelpFrame.h"
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
    EVT_BUTTON(XRCID("ID_FIT"), MainFrame::OnFit)
    EVT_BUTTON(XRCID("ID_SAVE"), MainFrame::OnSave)
    EVT_BUTTON(XRCID("ID_OPEN"), MainFrame::OnOpen)
    EVT_BUTTON(XRCID("ID_EXPORT"), MainFrame::OnExport)
    EVT_BUTTON(XRCID("ID_CLEAR"), MainFrame::OnClear)
    EVT_BUTTON(XRCID("ID_PLOT"), MainFrame::OnPlot)
    EVT_BUTTON(XRCID("ID_PRINT"), MainFrame::OnPrint)
    EVT_BUTTON(XRCID("ID_HELP"), MainFrame::OnHelp)
    EVT_CHOICE(XRCID("ID_CHOICE_PROGRAM_MODE"), MainFrame::OnChoiceProgramMode)
    EVT_CLOSE(MainFrame::OnClose)
    // Shortcuts of the accelerator table.
    EVT_MENU(XRCID("ID_COUNT"), MainFrame::OnCount)
    EVT_MENU(XRCID("ID_FIT"), MainFrame::OnFit)
    EVT_MENU(XRCID("ID_SAVE"), MainFrame::OnSave)
    EVT_MENU(XRCID("ID_OPEN"), MainFrame::OnOpen)
    EVT_MENU(XRCID("ID_EXPORT"), MainFrame::OnExport)
    EVT_MENU(XRCID("ID_EXPORT_THIS"), MainFrame::OnExportThis)
    EVT_MENU(XRCID("ID_EXPORT_SUMMARY"), MainFrame::OnExportSummary)
    EVT_MENU(XRCID("ID_PRINT"), MainFrame::OnPrint)
    EVT_MENU(XRCID("ID_HELP"), MainFrame::OnHelp)
    EVT_MENU(XRCID("ID_DETAILS"), MainFrame::OnDetails)
    EVT_MENU(wxID_UNDO, MainFrame::OnUndo)
    EVT_COMMAND(wxID_ANY, EVT_PANEL_CHANGED, MainFrame::OnPanelChanged)
    EVT_COMMAND(wxID_ANY, EVT_PROGRAM_MODE_RESTORE, MainFrame::OnProgramModeRestore)
wxEND_EVENT_TABLE();
// clang-format on

MainFrame::MainFrame(const CalibrationDetails& lab)
    : wxFrame(nullptr, wxID_ANY, wxGetTranslation(wxT("KEVRO_Varid")), wxDefaultPosition,
              DefaultSize(),
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
        // GTK honours, hiding the selected mode; and for a width of 150, too
        // narrow for some translations. Never let either fall below what the
        // texts need.
        const wxSize best = m_pChoiceMode->GetBestSize();
        const wxSize size(std::max(m_pChoiceMode->GetSize().x, best.x),
                          std::max(m_pChoiceMode->GetSize().y, best.y));
        m_pChoiceMode->SetMinSize(size);
        m_pChoiceMode->SetSize(size);
    }

    m_pPanelResult = new PanelResult(this, lab);

    m_pSizer = new wxBoxSizer(wxVERTICAL);
    if (m_pPanelMain) m_pSizer->Add(m_pPanelMain, 1, wxEXPAND | wxALL, 0);
    m_pSizer->Add(m_pPanelResult, 9, wxEXPAND | wxALL, 0);
    SetAutoLayout(true);
    SetSizer(m_pSizer);
    // Smaller, a label would be cut or a grid would scroll; the default size
    // holds every language's texts on the usual desktop fonts, and grows when
    // the fonts need more.
    const wxSize best = GetBestSize();
    SetMinSize(best);
    wxSize size = DefaultSize();
    size.IncTo(best);
    SetSize(size);
    m_pSizer->Layout();
    SetUpShortcuts();
}

wxSize MainFrame::DefaultSize() { return wxSize(1180, 690); }

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
        {wxACCEL_NORMAL, WXK_F6, "ID_FIT"},
        {wxACCEL_NORMAL, WXK_F1, "ID_HELP"},
        {wxACCEL_CTRL, 'P', "ID_PRINT"},
        {wxACCEL_CTRL, 'I', "ID_DETAILS"},
    };
    std::vector<wxAcceleratorEntry> vecEntries;
    for (const auto& s : shortcuts)
        vecEntries.emplace_back(s.nFlags, s.nKey, wxXmlResource::GetXRCID(s.pszButton));
    // Undo acts on the undo notice; without one the key goes on to the focus.
    vecEntries.emplace_back(wxACCEL_CTRL, 'Z', wxID_UNDO);
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(vecEntries.size()), vecEntries.data()));
    // A shortcut may come while a cell is still being edited, which a click
    // on a button would have ended: its text counts. Bound handlers run
    // before the event table's, which then does the command.
    Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
        m_pPanelResult->FinishCellEdit();
        event.Skip();
    });

    const struct {
        const char* pszButton;
        wxString strTip;
    } tips[] = {
        {"ID_COUNT", _("Count (F5, Ctrl+Enter)")},
        {"ID_FIT", _("Fit (F6)")},
        {"ID_SAVE", _("Save (Ctrl+S)")},
        {"ID_OPEN", _("Open (Ctrl+O)")},
        {"ID_EXPORT", _("Export (Ctrl+E)")},
        {"ID_PRINT", _("Print (Ctrl+P)")},
        {"ID_HELP", _("Help (F1)")},
        {"ID_DETAILS", _("Calibration details (Ctrl+I)")},
    };
    for (const auto& t : tips)
        if (wxWindow* pButton = FindWindow(wxXmlResource::GetXRCID(t.pszButton)))
            pButton->SetToolTip(t.strTip);
}

MainFrame::~MainFrame() {}

void MainFrame::OnCount(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->Count(); }

void MainFrame::OnFit(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->Fit(); }

void MainFrame::OnSave(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->Save(); }

void MainFrame::OnOpen(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->Open(); }

void MainFrame::OnExport(wxCommandEvent& WXUNUSED(event)) {
    // The command bar has no room for another button: a small menu under
    // Export, whose items come back as menu commands.
    wxMenu menu;
    menu.Append(XRCID("ID_EXPORT_THIS"), _(wxS("This calibration\u2026")));
    menu.Append(XRCID("ID_EXPORT_SUMMARY"), _(wxS("Summary of a folder\u2026")));
    wxWindow* pButton = FindWindow(XRCID("ID_EXPORT"));
    PopupMenu(&menu, pButton ? ScreenToClient(pButton->GetScreenRect().GetBottomLeft())
                             : wxDefaultPosition);
}

void MainFrame::OnExportThis(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->Export(); }

void MainFrame::OnExportSummary(wxCommandEvent& WXUNUSED(event)) {
    m_pPanelResult->ExportSummary();
}

void MainFrame::OnClear(wxCommandEvent& WXUNUSED(event)) {
    PanelResult::Snapshot before = m_pPanelResult->TakeSnapshot();
    m_pPanelResult->Clear();
    m_pPanelResult->OfferUndo(std::move(before), _("The panel was cleared."));
}

void MainFrame::OnDetails(wxCommandEvent& WXUNUSED(event)) { m_pPanelResult->EditDetails(); }

void MainFrame::OnHelp(wxCommandEvent& WXUNUSED(event)) { HelpFrame::ShowHelp(this); }

void MainFrame::OnChoiceProgramMode(wxCommandEvent& event) {
    // The snapshot keeps the mode it was taken in.
    PanelResult::Snapshot before = m_pPanelResult->TakeSnapshot();
    g_nProgramMode = event.GetSelection();
    m_pPanelResult->ChangeProgramMode();
    m_pPanelResult->OfferUndo(std::move(before), _("The mode was changed and the panel cleared."));
}

void MainFrame::OnPlot(wxCommandEvent& WXUNUSED(event)) {
    if (!m_pPlotFrame) {
        m_pPlotFrame = new PlotFrame(this);
        m_pPlotFrame->ShowContents(m_pPanelResult->CollectContents(), g_nProgramMode,
                                   m_pPanelResult->GetFit());
        m_pPlotFrame->Show();
    }
    m_pPlotFrame->Raise();
}

void MainFrame::OnPrint(wxCommandEvent& WXUNUSED(event)) {
    const panel::Contents contents = m_pPanelResult->CollectContents();
    const ReportDocument doc = ReportDocument::Build(
        contents, g_nProgramMode, wxDateTime::Now(), m_pPanelResult->GetArchiveFile(),
        m_pPanelResult->IsChangedSinceArchive(), m_pPanelResult->GetFit());
    const PlotData data = PlotData::Build(contents, g_nProgramMode, m_pPanelResult->GetFit());
    // One printout for the preview, one for printing from it.
    auto* pPreview =
        new wxPrintPreview(new ReportPrintout(doc, data), new ReportPrintout(doc, data));
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

void MainFrame::OnUndo(wxCommandEvent& event) {
    // Without an undo notice the key belongs to the focused control.
    if (!m_pPanelResult->Undo()) event.Skip();
}

void MainFrame::OnPanelChanged(wxCommandEvent& event) {
    // An undo may bring the other mode back: the choice shows the mode in force.
    if (m_pChoiceMode) m_pChoiceMode->SetSelection(g_nProgramMode == 0 ? 0 : 1);
    if (m_pPlotFrame)
        m_pPlotFrame->ShowContents(m_pPanelResult->CollectContents(), g_nProgramMode,
                                   m_pPanelResult->GetFit());
    event.Skip();
}

void MainFrame::OnProgramModeRestore(wxCommandEvent& event) {
    // The mode an undo brings back is a choice of mode like the operator's;
    // the choice follows once the panel has changed.
    g_nProgramMode = event.GetInt();
}

void MainFrame::OnClose(wxCloseEvent& event) {
    const LastSession session(g_strXmlFile, g_nProgramMode);
    const panel::Contents contents = m_pPanelResult->CollectContents();
    wxString strReason;
    if (session.Save(contents, &strReason)) {
        Destroy();
        return;
    }
    if (!event.CanVeto()) {
        // The desktop session is ending and nobody can be asked: the home
        // folder keeps the work, and the next start takes it from there.
        session.SaveAtSessionEnd(contents);
        Destroy();
        return;
    }
    if (AskBeforeLosingTheSession(session.GetLastSavePath(), strReason))
        Destroy();
    else
        event.Veto();
}

bool MainFrame::AskBeforeLosingTheSession(const wxString& strPath, const wxString& strReason) {
    wxMessageDialog dlg(this,
                        wxString::Format(_("The last session cannot be saved to %s: %s.\n\n"
                                           "Save it elsewhere before closing?"),
                                         strPath, strReason),
                        _("Error"), wxYES_NO | wxCANCEL | wxCANCEL_DEFAULT | wxICON_WARNING);
    dlg.SetYesNoCancelLabels(_(wxS("Save as…")), _("Close without saving"), _("Cancel"));
    switch (dlg.ShowModal()) {
        case wxID_NO:
            return true;
        case wxID_YES:
            break;
        default:
            return false;
    }
    // Save moves the archive directory to the chosen folder, so the next
    // start reads the last-save file written there.
    if (!m_pPanelResult->SaveToChosenFile()) return false;
    const LastSession moved(g_strXmlFile, g_nProgramMode);
    wxString strNewReason;
    if (moved.Save(m_pPanelResult->CollectContents(), &strNewReason)) return true;
    ShowErrorBox(wxString::Format(_("The last session cannot be saved to %s: %s."),
                                  moved.GetLastSavePath(), strNewReason));
    return false;
}
