// The embedded layout document: what the build carries and what loads from it.
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/panel.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "resources/InitXmlResource.h"
#include "tests/gui/GuiTestMain.h"

namespace {

class LayoutTest : public testing::Test {
protected:
    void SetUp() override {
        m_pFrame = new wxFrame(nullptr, wxID_ANY, "layout", wxDefaultPosition, wxSize(960, 600));
    }
    void TearDown() override {
        m_pFrame->Destroy();
        PumpEvents();
    }

    template <class T>
    T* Find(wxWindow* pParent, const char* pszName) {
        wxWindow* pWin = pParent->FindWindow(XRCID(pszName));
        EXPECT_TRUE(pWin) << pszName << " missing";
        T* pTyped = wxDynamicCast(pWin, T);
        EXPECT_TRUE(pTyped || !pWin) << pszName << " is a " << pWin->GetClassInfo()->GetClassName();
        return pTyped;
    }

    // Inner boxes are children of the outer ones.
    static void CollectBoxLabels(wxWindow* pWin, std::multiset<wxString>& labels) {
        for (wxWindow* pChild : pWin->GetChildren()) {
            if (wxDynamicCast(pChild, wxStaticBox)) labels.insert(pChild->GetLabel());
            CollectBoxLabels(pChild, labels);
        }
    }

    wxFrame* m_pFrame = nullptr;
};

}  // namespace

TEST(EmbeddedDocument, HoldsTheSourceFileByteForByteWithoutTerminator) {
    std::ifstream in(VARID_XRC_SOURCE, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string strSource = text.str();
    ASSERT_FALSE(strSource.empty());
    ASSERT_EQ(xml_res_size_0, strSource.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(xml_res_file_0), xml_res_size_0),
              strSource);
    EXPECT_EQ(strSource.rfind("<?xml version=\"1.0\" encoding=\"cp1251\"?>\n", 0), 0u);
    for (unsigned char c : strSource) {
        ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << "byte " << int(c);
    }
    EXPECT_EQ(strSource.find('\r'), std::string::npos);
}

TEST_F(LayoutTest, CommandBarHasFiveButtonsInOneRowAndTheModeChoice) {
    wxPanel* pBar = wxXmlResource::Get()->LoadPanel(m_pFrame, "ID_PANEL_MAIN");
    ASSERT_TRUE(pBar);
    pBar->SetSize(960, 60);
    pBar->Layout();
    const char* const names[] = {"ID_COUNT", "ID_SAVE", "ID_OPEN", "ID_CLEAR", "ID_HELP"};
    const char* const labels[] = {"Count", "Save", "Open", "Clear", "Help"};
    wxButton* pPrev = nullptr;
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(names[i]);
        wxButton* pButton = Find<wxButton>(pBar, names[i]);
        ASSERT_TRUE(pButton);
        EXPECT_EQ(pButton->GetLabel(), labels[i]);
        if (pPrev) {
            EXPECT_EQ(pButton->GetPosition().y, pPrev->GetPosition().y);
            EXPECT_EQ(pButton->GetPosition().x, pPrev->GetRect().GetRight() + 1 + 10);
        }
        pPrev = pButton;
    }
    wxChoice* pChoice = Find<wxChoice>(pBar, "ID_CHOICE_PROGRAM_MODE");
    ASSERT_TRUE(pChoice);
    ASSERT_EQ(pChoice->GetCount(), 2u);
    EXPECT_EQ(pChoice->GetString(0), "With frequency");
    EXPECT_EQ(pChoice->GetString(1), "Without frequency");
    EXPECT_EQ(pChoice->GetSelection(), 0);
    EXPECT_EQ(pChoice->GetPosition().x, pPrev->GetRect().GetRight() + 1 + 10);
    EXPECT_EQ(pChoice->GetSize().x, 150);
    // The bar's spare height is split 1:3:1, so the row sits in the middle.
    EXPECT_EQ(pPrev->GetSize().y, 36);
    EXPECT_EQ(pPrev->GetPosition().y, 12);
}

TEST_F(LayoutTest, ResultPanelHasEveryNamedControlWithItsClass) {
    wxPanel* pPanel = wxXmlResource::Get()->LoadPanel(m_pFrame, "ID_PANEL_RESULT");
    ASSERT_TRUE(pPanel);
    const char* const texts[] = {
        "ID_T",         "ID_DEAD_TIME", "ID_REGISTRATION",     "ID_K1",
        "ID_K2",        "ID_K3",        "ID_MANUAL_DEAD_TIME", "ID_MANUAL_REGISTRATION",
        "ID_MANUAL_K1", "ID_MANUAL_K2", "ID_MANUAL_K3"};
    for (const char* pszName : texts) {
        SCOPED_TRACE(pszName);
        wxTextCtrl* pText = Find<wxTextCtrl>(pPanel, pszName);
        ASSERT_TRUE(pText);
        if (std::string(pszName) != "ID_T") {
            wxFont font = pText->GetFont();
            EXPECT_EQ(font.GetPointSize(), 12);
            EXPECT_EQ(font.GetWeight(), wxFONTWEIGHT_BOLD);
        }
    }
    wxButton* pSet = Find<wxButton>(pPanel, "ID_BT_CHANGE_VALUE");
    ASSERT_TRUE(pSet);
    EXPECT_EQ(pSet->GetLabel(), "Set");
    // The result panel's code puts its two grids in these places.
    for (const char* pszName : {"ID_GRID", "ID_MANUAL_GRID"}) {
        SCOPED_TRACE(pszName);
        wxWindow* pControl = new wxWindow(pPanel, wxID_ANY);
        EXPECT_TRUE(wxXmlResource::Get()->AttachUnknownControl(pszName, pControl, pPanel));
        ASSERT_NE(pControl->GetParent(), pPanel);
        EXPECT_EQ(pControl->GetParent()->GetParent(), pPanel);
    }

    std::multiset<wxString> boxes;
    CollectBoxLabels(pPanel, boxes);
    const std::multiset<wxString> expected = {"Input data",
                                              "T",
                                              "Result",
                                              "Manual ",
                                              "Dead time",
                                              "Dead time",
                                              "Efficacy registration",
                                              "Efficacy registration",
                                              "K1",
                                              "K1",
                                              "K2",
                                              "K2",
                                              "K3",
                                              "K3"};
    EXPECT_EQ(boxes, expected);
}

TEST_F(LayoutTest, UnusedModeDialogStillLoads) {
    // The document's dialog combines alignment with expansion, which the
    // toolkit reports through its log: keep that out of the test's output.
    wxLogNull noLog;
    wxDialog* pDlg = wxXmlResource::Get()->LoadDialog(m_pFrame, "ID_DLG_CHOICE_MODE");
    ASSERT_TRUE(pDlg);
    EXPECT_EQ(pDlg->GetTitle(), "Choose program mode");
    wxChoice* pChoice = Find<wxChoice>(pDlg, "ID_CHOICE_PROGRAM_MODE");
    ASSERT_TRUE(pChoice);
    EXPECT_EQ(pChoice->GetCount(), 2u);
    wxCheckBox* pRemember = Find<wxCheckBox>(pDlg, "ID_REMEMBER");
    ASSERT_TRUE(pRemember);
    EXPECT_EQ(pRemember->GetLabel(), "Remember");
    wxWindow* pOk = pDlg->FindWindow(wxID_OK);
    ASSERT_TRUE(pOk);
    EXPECT_EQ(pOk->GetLabel(), "OK");
    pDlg->Destroy();
}
