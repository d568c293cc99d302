// The plot window and the print preview on the real main frame.
#include <wx/print.h>
#include <wx/xrc/xmlres.h>

#include "tests/gui/GuiTestMain.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/MainFrame.h"
#include "ui/PanelResult.h"
#include "ui/PlotCanvas.h"
#include "ui/PlotFrame.h"

namespace {

const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

class PlotWindowTest : public PanelTest {
protected:
    const PlotData& Shown() const { return m_pFrame->GetPlotFrame()->GetCanvas()->GetData(); }
};

TEST_F(PlotWindowTest, PlotOpensOneWindowThatFollowsThePanel) {
    Build(0);
    Enter(MakeDetectorData(0, kAllRows, {0, 6, 8, 10}));
    EXPECT_EQ(m_pFrame->GetPlotFrame(), nullptr);
    Click("ID_PLOT");
    PlotFrame* pPlot = m_pFrame->GetPlotFrame();
    ASSERT_NE(pPlot, nullptr);
    EXPECT_TRUE(pPlot->IsShown());
    EXPECT_EQ(pPlot->GetTitle(), "Calibration plot");
    EXPECT_EQ(Shown().m_vecPoints.size(), 11u);
    EXPECT_FALSE(Shown().m_count.bShown);
    EXPECT_TRUE(Shown().m_vecAccuracyCount.empty());

    Count();
    EXPECT_TRUE(Shown().m_count.bShown);
    EXPECT_EQ(Shown().m_vecAccuracyCount.size(), 11u);
    Set();
    EXPECT_TRUE(Shown().m_manual.bShown);
    EXPECT_EQ(Shown().m_vecAccuracyManual.size(), 11u);

    // Plot again raises the same window.
    Click("ID_PLOT");
    EXPECT_EQ(m_pFrame->GetPlotFrame(), pPlot);

    // A grid edit and Clear reach it as well.
    TypeCell(10, 1, "0");
    EXPECT_EQ(Shown().m_nLeftOut, 1);
    EXPECT_EQ(Shown().m_vecPoints.size(), 10u);
    Click("ID_CLEAR");
    EXPECT_TRUE(Shown().IsEmpty());

    // Closed, it is gone; Plot opens a new one.
    pPlot->Close();
    PumpEvents();
    EXPECT_EQ(m_pFrame->GetPlotFrame(), nullptr);
    Click("ID_PLOT");
    EXPECT_NE(m_pFrame->GetPlotFrame(), nullptr);
}

TEST_F(PlotWindowTest, PrintAndCtrlPOpenThePreviewOfEveryPage) {
    if (!PrinterInstalled()) GTEST_SKIP() << "no printer: WindowsRuntime tests the message";
    Build(1);
    Enter(MakeDetectorData(1, kAllRows, {1, 6, 9, 10}));
    Count();
    auto previews = [] {
        std::vector<wxPreviewFrame*> found;
        for (wxWindow* pWindow : wxTopLevelWindows)
            if (auto* pPreview = wxDynamicCast(pWindow, wxPreviewFrame))
                if (!pPreview->IsBeingDeleted()) found.push_back(pPreview);
        return found;
    };
    Click("ID_PRINT");
    PumpEvents();
    ASSERT_EQ(previews().size(), 1u);
    wxPreviewFrame* pFrame = previews()[0];
    EXPECT_EQ(pFrame->GetTitle(), "Print preview");
    wxPrintPreviewBase* pPreview = pFrame->GetControlBar()->GetPrintPreview();
    ASSERT_NE(pPreview, nullptr);
    // The certificate's first page, then the data over as many as they need.
    EXPECT_GE(pPreview->GetMaxPage(), 2);
    for (int nPage = 1; nPage <= pPreview->GetMaxPage(); ++nPage)
        EXPECT_TRUE(pPreview->RenderPage(nPage)) << nPage;
    pFrame->Close();
    PumpEvents();

    // The shortcut's menu command, in the main window and in the plot window.
    Click("ID_PLOT");
    for (wxWindow* pWindow :
         {static_cast<wxWindow*>(m_pFrame), static_cast<wxWindow*>(m_pFrame->GetPlotFrame())}) {
        wxCommandEvent shortcut(wxEVT_MENU, XRCID("ID_PRINT"));
        pWindow->ProcessWindowEvent(shortcut);
        PumpEvents();
        EXPECT_EQ(previews().size(), 1u);
        for (wxPreviewFrame* pOpen : previews()) pOpen->Close();
        PumpEvents();
    }
}

}  // namespace
