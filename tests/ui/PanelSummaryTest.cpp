// "Summary of a folder..." from the panel: the folder and file dialogs, the
// file written, and the notice that says how many archives it holds.
#include <wx/dirdlg.h>
#include <wx/testing.h>
#include <wx/xrc/xmlres.h>

#include "archive/ArchiveDocument.h"
#include "tests/archive/ArchiveTestData.h"
#include "tests/gui/GuiTestMain.h"
#include "tests/ui/PanelTestSupport.h"
#include "testsupport/KnownPanel.h"
#include "ui/MainFrame.h"
#include "ui/NoticeBar.h"
#include "ui/PanelResult.h"

namespace {

// The folder dialog, cancelled: nothing is written and nothing said.
class CancelFolder : public wxExpectModalBase<wxDirDialog, CancelFolder> {
protected:
    wxString GetDefaultDescription() const override { return "the folder dialog"; }
    int OnInvoked(wxDirDialog* pDlg) const override {
        EXPECT_EQ("Choose the folder of archives to summarise", pDlg->GetMessage());
        return wxID_CANCEL;
    }
};

TEST_F(PanelTest, SummaryOfAFolderWritesItsFileAndSaysWhatItRead) {
    Build(0);
    const wxString strDir = wxString::FromUTF8(m_strDir);
    const wxString strFolder = strDir + wxFILE_SEP_PATH + "archives";
    ASSERT_TRUE(wxMkdir(strFolder));
    const std::vector<int> rows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (int nMode : {0, 1})
        ASSERT_TRUE(archive::WriteArchiveFile(
            strFolder + wxFILE_SEP_PATH + wxString::Format("run%d.xml", nMode),
            PanelAfterCount(MakeDetectorData(nMode, rows, {1, 6, 9, 10})), nMode));
    archive_example::Spit(strFolder + wxFILE_SEP_PATH + "broken.xml", "<Archive>");
    const wxString strOut = strDir + wxFILE_SEP_PATH + "summary.csv";

    // Export's second item, as choosing it in the menu sends it.
    wxCommandEvent summary(wxEVT_MENU, XRCID("ID_EXPORT_SUMMARY"));
    wxTEST_DIALOG(m_pFrame->ProcessWindowEvent(summary), CancelFolder());
    EXPECT_FALSE(m_pPanel->GetNoticeBar()->HasNotice());
    ASSERT_TRUE(m_pPanel->WriteSummary(strFolder, strOut));
    const std::string csv = archive_example::Slurp(strOut);
    EXPECT_NE(std::string::npos, csv.find("run0.xml,"));
    EXPECT_NE(std::string::npos, csv.find("run1.xml,"));
    EXPECT_NE(std::string::npos, csv.find("broken.xml,broken-xml"));
    NoticeBar* pNotice = m_pPanel->GetNoticeBar();
    ASSERT_TRUE(pNotice->HasNotice());
    EXPECT_EQ("The summary of 2 archives was written to " + strOut +
                  ". 1 file could not be read: see \"Skipped\".",
              pNotice->GetText());
}

}  // namespace
