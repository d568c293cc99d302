// The embedded layout document: what the build carries and what loads from it.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <stdlib.h>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/dcclient.h>
#include <wx/filefn.h>
#include <wx/frame.h>
#include <wx/grid.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/translation.h>
#include <wx/log.h>
#include <wx/panel.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "resources/InitXmlResource.h"
#include "tests/gui/GuiTestMain.h"
#include "testsupport/TempDir.h"
#include "ui/DetailsDialog.h"
#include "ui/MainFrame.h"
#include "ui/NoticeBar.h"
#include "ui/PanelResult.h"

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

namespace {

// GTK gives windows their places on its own clock: let it run.
void Settle() {
    for (int i = 0; i < 20; ++i) {
        PumpEvents();
        wxMilliSleep(10);
    }
}

// Where the sizers put a window, in the frame's client area (GTK moves
// nested windows on its own clock, so screen positions may lag).
wxPoint PlaceInFrame(wxWindow* pWin, wxWindow* pFrame) {
    wxPoint pos;
    for (; pWin && pWin != pFrame; pWin = pWin->GetParent()) {
        pos += pWin->GetPosition();
        if (pWin->GetParent() != pFrame) pos += pWin->GetParent()->GetClientAreaOrigin();
    }
    return pos;
}

// Every window below pRoot, depth first.
void CollectWindows(wxWindow* pRoot, std::vector<wxWindow*>& out) {
    for (wxWindow* pChild : pRoot->GetChildren()) {
        out.push_back(pChild);
        CollectWindows(pChild, out);
    }
}

// Every label of a laid-out window reads in full and every control lies
// inside it.
void ExpectControlsReadable(wxWindow* pFrame) {
    const wxRect client(wxPoint(0, 0), pFrame->GetClientSize());
    std::vector<wxWindow*> windows;
    CollectWindows(pFrame, windows);
    for (wxWindow* pWin : windows) {
        if (!pWin->IsShown() || pWin->IsTopLevel() || !pWin->GetParent()->IsShown()) continue;
        const wxString strLabel = pWin->GetLabel();
        const wxRect rect(PlaceInFrame(pWin, pFrame), pWin->GetSize());
        EXPECT_TRUE(client.Contains(rect))
            << pWin->GetClassInfo()->GetClassName() << " \"" << strLabel.utf8_string() << "\" at "
            << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height
            << " outside the window's " << client.width << "x" << client.height;
        if (wxStaticBox* pBox = wxDynamicCast(pWin, wxStaticBox)) {
            // The frame line starts a few pixels in and the label sits on it.
            EXPECT_LE(pBox->GetTextExtent(strLabel).x + 8, pBox->GetSize().x)
                << "box label \"" << strLabel.utf8_string() << "\" cut";
        } else if (wxDynamicCast(pWin, wxStaticText)) {
            // A label narrower than its text is cut or ellipsized.
            wxClientDC dc(pWin);
            dc.SetFont(pWin->GetFont());
            const wxSize text = dc.GetMultiLineTextExtent(strLabel);
            EXPECT_GE(pWin->GetSize().x, text.x)
                << "label \"" << strLabel.utf8_string() << "\" cut";
            EXPECT_GE(pWin->GetSize().y, text.y)
                << "label \"" << strLabel.utf8_string() << "\" cut";
        } else if (wxDynamicCast(pWin, wxButton) || wxDynamicCast(pWin, wxChoice)) {
            EXPECT_GE(pWin->GetSize().x, pWin->GetBestSize().x)
                << "\"" << strLabel.utf8_string() << "\" narrower than its text";
        }
    }
}

// The checks of a laid-out main frame: every header and box label reads in
// full, every control lies inside the window, both grids show all 11 rows.
void ExpectEverythingReadable(MainFrame* pFrame) {
    PanelResult* pPanel = pFrame->GetPanelResult();
    ASSERT_FALSE(pPanel->GetNoticeBar()->HasNotice());
    ExpectControlsReadable(pFrame);
    for (wxGrid* pGrid : {pPanel->GetGrid(), pPanel->GetManualGrid()}) {
        wxClientDC dc(pGrid->GetGridColLabelWindow());
        dc.SetFont(pGrid->GetLabelFont());
        for (int nCol = 0; nCol < pGrid->GetNumberCols(); ++nCol) {
            const wxString strLabel = pPanel->GetGrid()->GetColLabelValue(nCol);
            EXPECT_LE(dc.GetTextExtent(strLabel).x + 4, pGrid->GetColSize(nCol))
                << "header \"" << strLabel.utf8_string() << "\" cut";
        }
        // All rows and columns fit: the grid needs no scrolling.
        const wxSize need = pGrid->GetBestSize();
        EXPECT_GE(pGrid->GetClientSize().x, need.x - 2 * pGrid->GetWindowBorderSize().x);
        EXPECT_GE(pGrid->GetClientSize().y, need.y - 2 * pGrid->GetWindowBorderSize().y);
        EXPECT_TRUE(pGrid->IsVisible(pGrid->GetNumberRows() - 1, pGrid->GetNumberCols() - 1, true));
        EXPECT_TRUE(pGrid->IsVisible(0, 0, true));
    }
}

// A one-line notice shows in the room kept for it: the grids never move
// under the pointer.
void ExpectGridsStayWhenANoticeComesAndGoes(MainFrame* pFrame) {
    PanelResult* pPanel = pFrame->GetPanelResult();
    NoticeBar* pNotice = pPanel->GetNoticeBar();
    const wxPoint before = PlaceInFrame(pPanel->GetGrid(), pFrame);
    pNotice->ShowNotice(NoticeBar::kNoticeOther, _("The panel was cleared."), _("Undo"), [] {});
    Settle();
    EXPECT_TRUE(pNotice->GetButton()->IsShown());
    EXPECT_EQ(before, PlaceInFrame(pPanel->GetGrid(), pFrame)) << "a notice moved the grids";
    pNotice->Dismiss();
    Settle();
    EXPECT_EQ(before, PlaceInFrame(pPanel->GetGrid(), pFrame)) << "an empty notice moved the grids";
}

}  // namespace

// The layout measured in the three interface languages, with the program's
// catalogues of this build: at the default size and at the smallest one.
TEST(WindowLayout, EveryTextReadsInFullAndAllRowsShowInEveryLanguage) {
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(VARID_LOCALE_DIR);
    struct Untranslate {
        ~Untranslate() { wxTranslations::Set(nullptr); }
    } untranslate;
    const TempDir dir("varid-layout");
    g_strXmlFile = dir.Name();  // no last-save file there
    for (wxLanguage language : {wxLANGUAGE_ENGLISH, wxLANGUAGE_RUSSIAN, wxLANGUAGE_UKRAINIAN}) {
        SCOPED_TRACE(wxLocale::GetLanguageCanonicalName(language).utf8_string());
        wxTranslations* pTranslations = new wxTranslations;
        wxTranslations::Set(pTranslations);
        pTranslations->SetLanguage(language);
        if (language != wxLANGUAGE_ENGLISH) {
            ASSERT_TRUE(pTranslations->AddCatalog("kevro_zanol"));
            ASSERT_TRUE(pTranslations->AddCatalog("KEVRO_Varid"));
        }
        for (int nMode : {0, 1}) {
            g_nProgramMode = nMode;
            MainFrame* pFrame = new MainFrame;
            pFrame->Show();
            Settle();
            EXPECT_EQ(MainFrame::DefaultSize(), pFrame->GetSize())
                << "the default size does not hold the layout";
            EXPECT_LE(MainFrame::DefaultSize().x, 1280);
            EXPECT_LE(MainFrame::DefaultSize().y, 700);
            ExpectEverythingReadable(pFrame);
            ExpectGridsStayWhenANoticeComesAndGoes(pFrame);
            if (nMode == 0) {
                // The record's window, with a full record: every label and
                // unit reads in full, at its own size.
                CalibrationDetails details;
                for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields())
                    details.Set(info.field, info.pszName);
                DetailsDialog* pDetails = new DetailsDialog(pFrame, details);
                pDetails->Show();
                Settle();
                SCOPED_TRACE("Calibration details");
                ExpectControlsReadable(pDetails);
                EXPECT_LE(pDetails->GetSize().x, 1280);
                EXPECT_LE(pDetails->GetSize().y, 700);
                pDetails->Destroy();
                PumpEvents();
            }
            // The smallest size the window takes still holds everything.
            pFrame->SetSize(wxSize(200, 200));
            Settle();
            EXPECT_EQ(pFrame->GetMinSize(), pFrame->GetSize());
            ExpectEverythingReadable(pFrame);
            pFrame->Destroy();
            PumpEvents();
        }
    }
    g_nProgramMode = 0;
}
