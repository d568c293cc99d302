#include "ui/HelpFrame.h"

#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/stdpaths.h>
#include <wx/translation.h>

#include "ui/ErrorBox.h"

namespace {

const char* const kHelpFrameName = "varid_help";

}  // namespace

HelpFrame::HelpFrame(wxWindow* pParent, const wxString& strPage)
    : wxFrame(pParent, wxID_ANY, _("Varid Help"), wxDefaultPosition, wxSize(760, 640),
              wxDEFAULT_FRAME_STYLE, kHelpFrameName),
      m_pHtml(nullptr) {
    m_pHtml = new wxHtmlWindow(this, wxID_ANY);
    m_pHtml->LoadPage(strPage);
}

void HelpFrame::ShowHelp(wxWindow* pParent) {
    // A child of the main window: it goes when the main window goes.
    if (wxWindow* pOpen = wxWindow::FindWindowByName(kHelpFrameName, pParent)) {
        pOpen->Show();
        pOpen->Raise();
        return;
    }
    const wxString strRoot = HelpRoot();
    const wxString strPage = FindIndexPage(strRoot, InterfaceLanguage());
    if (strPage.empty()) {
        ShowErrorBox(wxString::Format(_("The help pages are missing from %s."), strRoot));
        return;
    }
    (new HelpFrame(pParent, strPage))->Show();
}

wxString HelpFrame::FindIndexPage(const wxString& strHelpRoot, const wxString& strLanguage) {
    // "uk_UA" -> "uk_UA", then "uk", then "en".
    wxArrayString candidates;
    if (!strLanguage.empty()) {
        candidates.Add(strLanguage);
        candidates.Add(strLanguage.BeforeFirst('_'));
    }
    candidates.Add(wxT("en"));
    for (const wxString& strLang : candidates) {
        const wxFileName page(strHelpRoot + wxFILE_SEP_PATH + strLang, wxT("index.html"));
        if (page.FileExists()) return page.GetFullPath();
    }
    return wxEmptyString;
}

wxString HelpFrame::HelpRoot() {
    wxFileName root(wxStandardPaths::Get().GetExecutablePath());
    root.RemoveLastDir();
    root.AppendDir(wxT("share"));
    root.AppendDir(wxT("varid"));
    root.AppendDir(wxT("help"));
    root.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
    return root.GetPath();
}

wxString HelpFrame::InterfaceLanguage() {
    wxTranslations* pTranslations = wxTranslations::Get();
    if (!pTranslations) return wxEmptyString;
    // The language the program's own catalogue is taken in: the guide speaks
    // the language of the window that opened it.
    return pTranslations->GetBestTranslation(wxT("KEVRO_Varid"), wxLANGUAGE_ENGLISH_US);
}
