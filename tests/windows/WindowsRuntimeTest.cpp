// What the Windows build finds and opens at run time, with no path given to
// it: the catalogues beside the executable, the guide in share/varid/help,
// and the print preview (or its message when no printer is set up).
#include <vector>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/print.h>
#include <wx/stockitem.h>
#include <wx/testing.h>
#include <wx/translation.h>
#include <wx/xrc/xmlres.h>

#include "tests/gui/GuiTestMain.h"
#include "ui/HelpFrame.h"
#include "ui/MainFrame.h"

namespace {

struct Untranslate {
    ~Untranslate() { wxTranslations::Set(nullptr); }
};

void Click(wxWindow* pFrame, const char* pszName) {
    wxCommandEvent event(wxEVT_BUTTON, XRCID(pszName));
    event.SetEventObject(pFrame->FindWindow(XRCID(pszName)));
    pFrame->ProcessWindowEvent(event);
    PumpEvents();
}

}  // namespace

// The toolkit's standard search on Windows: <exe dir>/<lang>/LC_MESSAGES.
TEST(WindowsRuntime, CataloguesOfAllThreeLanguagesAreFoundBesideTheProgram) {
    Untranslate untranslate;
    const struct {
        wxLanguage language;
        const char* szCancel;  // the toolkit's own text (wxstd)
        const char* szCount;   // the program's (kevro_zanol)
    } cases[] = {
        {wxLANGUAGE_ENGLISH, "Cancel", "Count"},
        {wxLANGUAGE_RUSSIAN, "\xD0\x9E\xD1\x82\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB0", nullptr},
        {wxLANGUAGE_UKRAINIAN,
         "\xD0\xA1\xD0\xBA\xD0\xB0\xD1\x81\xD1\x83\xD0\xB2\xD0\xB0\xD1\x82\xD0\xB8", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wxLocale::GetLanguageCanonicalName(c.language).utf8_string());
        auto* pTranslations = new wxTranslations;
        wxTranslations::Set(pTranslations);
        pTranslations->SetLanguage(c.language);
        if (c.language != wxLANGUAGE_ENGLISH) {
            EXPECT_TRUE(pTranslations->AddCatalog("wxstd-3.2"));
            EXPECT_TRUE(pTranslations->AddCatalog("kevro_zanol"));
            EXPECT_TRUE(pTranslations->AddCatalog("KEVRO_Varid"));
        }
        EXPECT_EQ(wxString::FromUTF8(c.szCancel), wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS));
        if (c.szCount)
            EXPECT_EQ(c.szCount, wxGetTranslation("Count"));
        else
            EXPECT_NE("Count", wxGetTranslation("Count"));
    }
}

TEST(WindowsRuntime, HelpFindsItsPagesAndOpens) {
    const wxString strRoot = HelpFrame::HelpRoot();
    for (const char* szLanguage : {"en", "ru", "uk_UA"}) {
        const wxString strPage = HelpFrame::FindIndexPage(strRoot, szLanguage);
        EXPECT_TRUE(wxFileExists(strPage)) << szLanguage << " in " << strRoot.utf8_string();
        EXPECT_TRUE(strPage.Contains(wxString(szLanguage).BeforeFirst('_')))
            << strPage.utf8_string();
    }
    auto* pFrame = new MainFrame;
    pFrame->Show();
    Click(pFrame, "ID_HELP");
    EXPECT_NE(wxWindow::FindWindowByName("varid_help", pFrame), nullptr);
    pFrame->Destroy();
    PumpEvents();
}

// Records the message boxes shown while it is registered, answering OK.
class MessageRecorder : public wxModalDialogHook {
public:
    std::vector<wxString> m_vecMessages;

protected:
    int Enter(wxDialog* pDlg) override {
        wxMessageDialog* pMsg = dynamic_cast<wxMessageDialog*>(pDlg);
        m_vecMessages.push_back(pMsg ? pMsg->GetMessage() : pDlg->GetTitle());
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}
};

// Without a printer (as under Wine) the program says so; with one, the
// preview opens. Never a crash, never both.
TEST(WindowsRuntime, PrintOpensThePreviewOrSaysWhyNot) {
    auto* pFrame = new MainFrame;
    pFrame->Show();
    MessageRecorder recorder;
    recorder.Register();
    Click(pFrame, "ID_PRINT");
    recorder.Unregister();
    bool bPreview = false;
    for (wxWindow* pWin : wxTopLevelWindows)
        bPreview |= wxDynamicCast(pWin, wxPreviewFrame) != nullptr;
    if (bPreview) {
        EXPECT_TRUE(recorder.m_vecMessages.empty());
    } else {
        ASSERT_EQ(1u, recorder.m_vecMessages.size());
        EXPECT_EQ("The print preview cannot be shown: no printing is set up.",
                  recorder.m_vecMessages[0]);
    }
    pFrame->Destroy();
    PumpEvents();
}
