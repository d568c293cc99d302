// Fit on the panel: the manual boxes get the fit's set, their labels its U,
// the plot its band, and the notice's Undo brings the earlier manual values
// back; the fit goes once the boxes no longer show it.
#include "tests/ui/PanelTestSupport.h"
#include "ui/NoticeBar.h"
#include "ui/MainFrame.h"
#include "ui/PanelResult.h"
#include "ui/PlotCanvas.h"
#include "ui/PlotFrame.h"

namespace {

const char* const kManualBoxes[] = {"ID_MANUAL_DEAD_TIME", "ID_MANUAL_REGISTRATION", "ID_MANUAL_K1",
                                    "ID_MANUAL_K2", "ID_MANUAL_K3"};

wxString LabelU(const wxWindow* pPanel, const char* pszBox) {
    const wxWindow* pLabel = pPanel->FindWindow(wxString(pszBox) + "_U");
    return pLabel ? pLabel->GetLabel() : wxString("(none)");
}

TEST_F(PanelTest, FitFillsTheManualBoxesAndTheirLabelsAndUndoBringsTheOldOnesBack) {
    Build(0);
    const DataSet data = MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 6, 9, 10});
    Enter(data);
    Count();
    Box("ID_MANUAL_K1")->SetValue("0.5");
    std::vector<wxString> before;
    for (const char* pszBox : kManualBoxes) before.push_back(BoxText(pszBox));
    const wxString strK1 = BoxText("ID_K1");
    Click("ID_PLOT");
    auto shown = [this]() -> const PlotData& {
        return m_pFrame->GetPlotFrame()->GetCanvas()->GetData();
    };
    EXPECT_TRUE(shown().m_vecBand.empty());

    Click("ID_FIT");
    // The data are the detector's own: the fit puts every row within 0.1 %.
    for (const DataRow& row : data.rows) {
        double d = 99;
        ASSERT_TRUE(ManualGrid()->GetCellValue(row.nRow, 5).ToDouble(&d)) << row.nRow;
        EXPECT_LE(std::fabs(d), 0.1) << row.nRow;
    }
    EXPECT_NE(BoxText("ID_MANUAL_K1"), "0.5");
    EXPECT_EQ(BoxText("ID_K1"), strK1);
    for (const char* pszBox : kManualBoxes)
        EXPECT_TRUE(LabelU(m_pPanel, pszBox).StartsWith(wxString::FromUTF8("\xC2\xB1 ")))
            << pszBox << ": " << LabelU(m_pPanel, pszBox);
    NoticeBar* pNotice = m_pPanel->GetNoticeBar();
    ASSERT_TRUE(pNotice->HasNotice());
    // The undo offer, known by its id.
    EXPECT_EQ(pNotice->GetNoticeId(), NoticeBar::kNoticeUndo);
    EXPECT_TRUE(pNotice->GetText().StartsWith("Fit over 11 rows: residual ")) << pNotice->GetText();
    // The panel has no record yet: the reference is not included.
    EXPECT_TRUE(pNotice->GetText().EndsWith(
        wxString::FromUTF8(" %, 6 degrees of freedom. \xC2\xB1 are 95 % intervals. No uncertainty "
                           "of the reference is given: it is not included.")))
        << pNotice->GetText();
    ASSERT_NE(m_pPanel->GetFit(), nullptr);
    EXPECT_EQ(m_pPanel->GetFit()->GetRows(), 11);
    EXPECT_FALSE(shown().m_vecBand.empty());
    EXPECT_EQ(shown().m_vecAccuracyInterval.size(), 11u);

    ASSERT_TRUE(m_pPanel->Undo());
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(BoxText(kManualBoxes[i]), before[i]);
    for (const char* pszBox : kManualBoxes) EXPECT_EQ(LabelU(m_pPanel, pszBox), "") << pszBox;
    EXPECT_EQ(m_pPanel->GetFit(), nullptr);
    EXPECT_TRUE(shown().m_vecBand.empty());

    // A manual box edited after a Fit takes the labels, the fit and the band.
    Click("ID_FIT");
    ASSERT_NE(m_pPanel->GetFit(), nullptr);
    Box("ID_MANUAL_K3")->SetValue(BoxText("ID_MANUAL_K3") + "1");
    for (const char* pszBox : kManualBoxes) EXPECT_EQ(LabelU(m_pPanel, pszBox), "") << pszBox;
    EXPECT_EQ(m_pPanel->GetFit(), nullptr);
    EXPECT_TRUE(shown().m_vecBand.empty());
    EXPECT_TRUE(shown().m_vecAccuracyInterval.empty());
}

}  // namespace
