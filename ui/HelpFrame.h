#ifndef VARID_UI_HELPFRAME_H
#define VARID_UI_HELPFRAME_H

#include <wx/frame.h>
#include <wx/html/htmlwin.h>

// The user guide: the HTML pages of the interface language in a window of
// their own, beside the main window (one at a time).
class HelpFrame : public wxFrame {
public:
    // Raises the open guide or opens it; says so in a box when the pages are
    // missing.
    static void ShowHelp(wxWindow* pParent);

    // The guide's first page for a language ("ru", "uk_UA", ...) below the
    // help root (one folder per language), English when that language has
    // none; empty when not even English is there.
    static wxString FindIndexPage(const wxString& strHelpRoot, const wxString& strLanguage);
    // <folder of the executable>/../share/varid/help: the build tree and an
    // installed prefix have the same shape.
    static wxString HelpRoot();
    // The language of the interface texts, as the catalogues are chosen.
    static wxString InterfaceLanguage();

    wxHtmlWindow* GetHtmlWindow() const { return m_pHtml; }

private:
    HelpFrame(wxWindow* pParent, const wxString& strPage);

    wxHtmlWindow* m_pHtml;
};

#endif
