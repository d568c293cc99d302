// The notice after a Count that points out a better root of the K3 equation.
#include <cstdio>
#include <cstdlib>

#include "tests/ui/PanelTestSupport.h"
#include "ui/NoticeBar.h"
#include "ui/PanelResult.h"

namespace {

// A detector read in frequencies to one decimal (dead time 3.856, Keff
// 29275.1, K1 0.172, K2 0.210 per us, K3 48.285 us). Its K3 equation has a
// root below the poles, which the march takes, and the detector's own one
// above them, which fits the unticked rows far better.
const DataSet kBetterRootAbove{0,
                               "150.6",
                               {{0, "0.7697", "26.3", "26.2", false},
                                {1, "1.34", "45.7", "45.6", false},
                                {2, "2.333", "79.4", "79.3", true},
                                {3, "4.069", "138.0", "138.0", false},
                                {4, "7.111", "240.0", "239.9", false},
                                {5, "12.47", "416.8", "417.0", true},
                                {6, "22", "723.7", "724.2", true},
                                {7, "39.22", "1257.1", "1257.3", false},
                                {8, "71.1", "2178.7", "2178.2", false},
                                {9, "132.4", "3761.4", "3762.9", false},
                                {10, "256.7", "6477.4", "6473.9", true}}};

// Another two-root detector, where the root the Count takes is the better fit.
const DataSet kCountRootBetter{0,
                               "262",
                               {{0, "6.69", "63.77", "63.77", false},
                                {1, "11.18", "105.96", "105.97", true},
                                {2, "18.72", "177.37", "177.38", false},
                                {3, "31.4", "294.58", "294.92", false},
                                {4, "52.88", "491.82", "491.45", false},
                                {5, "89.59", "819.01", "820.14", true},
                                {6, "153.3", "1364.88", "1362.28", true},
                                {7, "266.4", "2266.72", "2260.75", false},
                                {8, "473.1", "3757.06", "3750.03", true},
                                {9, "858.8", "6196.07", "6192.68", false},
                                {10, "1601", "10141.50", "10144.20", false}}};

std::string Format(const char* pszFormat, long double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, pszFormat, static_cast<double>(v));
    return buf;
}

// The two roots, from the tests' own model: the first below the poles (the
// Count's) and the first above them, with what each makes of the other rows.
struct TwoRoots {
    long double below, above;
    Detector count, typed;  // typed: the other root as "Try it" fills the boxes
    long double countDeviation, rootDeviation;

    explicit TwoRoots(const DataSet& data) {
        const Fit fit = CalibrateData(data);
        below = fit.FirstRoot(0, fit.PoleMin());
        above = fit.FirstRoot(fit.PoleMax(), 500);
        count = WithRoot(fit, below);
        typed = WithRoot(fit, above);
        typed.keff = std::strtold(Format("%.1f", typed.keff).c_str(), nullptr);
        countDeviation = LargestUntickedDeviation(data, count);
        rootDeviation = LargestUntickedDeviation(data, typed);
    }
};

class AdviceTest : public PanelTest {
protected:
    NoticeBar* Notice() const { return m_pPanel->GetNoticeBar(); }
    bool NoticeShown() const { return Notice()->IsShown() && Notice()->HasNotice(); }
};

TEST_F(AdviceTest, PointsOutTheBetterRootAndTryItSetsIt) {
    Build(0);
    const TwoRoots roots(kBetterRootAbove);
    ASSERT_GE(roots.countDeviation, 0.5L);
    ASSERT_LE(roots.rootDeviation, roots.countDeviation / 2);
    Enter(kBetterRootAbove);
    Count();
    EXPECT_EQ(BoxText("ID_K3").utf8_string(), Format("%.3f", roots.below));
    ASSERT_TRUE(NoticeShown());
    EXPECT_EQ(Notice()->GetText().utf8_string(),
              "K3 = " + Format("%.3f", roots.above) +
                  " also fits the four calibration points and fits the other rows better "
                  "(largest deviation " +
                  Format("%.1f", roots.rootDeviation) + " % instead of " +
                  Format("%.1f", roots.countDeviation) + " %).");
    EXPECT_EQ(Notice()->GetButton()->GetLabel(), "Try it");

    wxCommandEvent click(wxEVT_BUTTON, Notice()->GetButton()->GetId());
    click.SetEventObject(Notice()->GetButton());
    Notice()->GetButton()->ProcessWindowEvent(click);

    EXPECT_FALSE(NoticeShown());
    EXPECT_EQ(BoxText("ID_MANUAL_REGISTRATION").utf8_string(), Format("%.1f", roots.typed.keff));
    EXPECT_EQ(BoxText("ID_MANUAL_DEAD_TIME").utf8_string(), Format("%.3f", roots.typed.dt));
    EXPECT_EQ(BoxText("ID_MANUAL_K1").utf8_string(), Format("%.3f", roots.typed.k1));
    EXPECT_EQ(BoxText("ID_MANUAL_K2").utf8_string(), Format("%.3f", roots.typed.k2));
    EXPECT_EQ(BoxText("ID_MANUAL_K3").utf8_string(), Format("%.3f", roots.typed.k3));
    ExpectResultColumns(ManualGrid(), kBetterRootAbove,
                        ExpectedManual(kBetterRootAbove, roots.typed));
    // The Count's own result stays.
    EXPECT_EQ(BoxText("ID_K3").utf8_string(), Format("%.3f", roots.below));
}

TEST_F(AdviceTest, GoesOnAnEditOfTheGridOrOfT) {
    Build(0);
    Enter(kBetterRootAbove);
    Count();
    ASSERT_TRUE(NoticeShown());
    TypeCell(0, 1, "0.7697");
    EXPECT_FALSE(NoticeShown());
    Count();
    ASSERT_TRUE(NoticeShown());
    Box("ID_T")->SetValue("150.6");
    EXPECT_FALSE(NoticeShown());
}

// The next Count takes any notice away, and brings none here.
TEST_F(AdviceTest, NotShownWhenTheCountsRootFitsBetter) {
    Build(0);
    const TwoRoots roots(kCountRootBetter);
    ASSERT_TRUE(std::isfinite(roots.above));
    ASSERT_GE(roots.countDeviation, 0.5L);
    ASSERT_GT(roots.rootDeviation, roots.countDeviation);
    Enter(kCountRootBetter);
    m_pPanel->ShowNotice("stale", "x", [] {});
    Count();
    EXPECT_EQ(BoxText("ID_K3").utf8_string(), Format("%.3f", roots.below));
    EXPECT_FALSE(NoticeShown());
}

}  // namespace
