// The embedded layout document: what the build carries and what loads from it.
#include <fstream>
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
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "resources/InitXmlResource.h"
#include "tests/gui/GuiTestMain.h"

TEST(EmbeddedDocument, HoldsTheAsciiSourceFileByteForByte) {
    std::ifstream in(VARID_XRC_SOURCE, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string strSource = text.str();
    ASSERT_EQ(xml_res_size_0, strSource.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(xml_res_file_0), xml_res_size_0),
              strSource);
    EXPECT_EQ(strSource.rfind("<?xml version=\"1.0\" encoding=\"cp1251\"?>\n", 0), 0u);
    for (unsigned char c : strSource) ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << int(c);
}

TEST(EmbeddedDocument, EveryNamedControlLoadsWithItsClass) {
    wxFrame* pFrame = new wxFrame(nullptr, wxID_ANY, "layout");
    wxXmlResource* pRes = wxXmlResource::Get();
    wxPanel* pBar = pRes->LoadPanel(pFrame, "ID_PANEL_MAIN");
    wxPanel* pResult = pRes->LoadPanel(pFrame, "ID_PANEL_RESULT");
    // The document's dialog combines alignment with expansion, which the
    // toolkit reports through its log: keep that out of the test's output.
    wxLogNull noLog;
    wxDialog* pDlg = pRes->LoadDialog(pFrame, "ID_DLG_CHOICE_MODE");
    ASSERT_TRUE(pBar && pResult && pDlg);

    const struct {
        wxWindow* pParent;
        const char* pszName;
        wxClassInfo* pClass;
    } controls[] = {
        {pBar, "ID_COUNT", wxCLASSINFO(wxButton)},
        {pBar, "ID_SAVE", wxCLASSINFO(wxButton)},
        {pBar, "ID_OPEN", wxCLASSINFO(wxButton)},
        {pBar, "ID_EXPORT", wxCLASSINFO(wxButton)},
        {pBar, "ID_CLEAR", wxCLASSINFO(wxButton)},
        {pBar, "ID_PLOT", wxCLASSINFO(wxButton)},
        {pBar, "ID_PRINT", wxCLASSINFO(wxButton)},
        {pBar, "ID_HELP", wxCLASSINFO(wxButton)},
        {pBar, "ID_CHOICE_PROGRAM_MODE", wxCLASSINFO(wxChoice)},
        {pResult, "ID_T", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_DEAD_TIME", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_REGISTRATION", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_K1", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_K2", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_K3", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_MANUAL_DEAD_TIME", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_MANUAL_REGISTRATION", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_MANUAL_K1", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_MANUAL_K2", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_MANUAL_K3", wxCLASSINFO(wxTextCtrl)},
        {pResult, "ID_BT_CHANGE_VALUE", wxCLASSINFO(wxButton)},
        {pDlg, "ID_CHOICE_PROGRAM_MODE", wxCLASSINFO(wxChoice)},
        {pDlg, "ID_REMEMBER", wxCLASSINFO(wxCheckBox)},
        {pDlg, "wxID_OK", wxCLASSINFO(wxButton)},
    };
    for (const auto& c : controls) {
        wxWindow* pWin = c.pParent->FindWindow(XRCID(c.pszName));
        ASSERT_TRUE(pWin) << c.pszName << " missing";
        EXPECT_TRUE(pWin->IsKindOf(c.pClass))
            << c.pszName << " is a " << pWin->GetClassInfo()->GetClassName();
    }
    // The result panel's code puts its grids and its notice in these places.
    for (const char* pszName : {"ID_NOTICE", "ID_GRID", "ID_MANUAL_GRID"}) {
        wxWindow* pControl = new wxWindow(pResult, wxID_ANY);
        EXPECT_TRUE(pRes->AttachUnknownControl(pszName, pControl, pResult)) << pszName;
    }
    wxChoice* pChoice = XRCCTRL(*pBar, "ID_CHOICE_PROGRAM_MODE", wxChoice);
    ASSERT_EQ(pChoice->GetCount(), 2u);
    EXPECT_EQ(pChoice->GetString(0), "With frequency");
    EXPECT_EQ(pChoice->GetString(1), "Without frequency");
    pDlg->Destroy();
    pFrame->Destroy();
    PumpEvents();
}
