// The archive members on the real main frame and result panel: what a read
// leaves in the panel, the Save and Open dialogs and checks, and the last-save
// file carried from one frame to the next.
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dir.h>
#include <wx/xrc/xmlres.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>
#ifdef __WXMSW__
#include <wx/msw/wrapwin.h>
#endif

#include "app/Globals.h"
#include "archive/LastSession.h"
#include "tests/archive/ArchiveTestData.h"
#include "tests/gui/GuiTestMain.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/MainFrame.h"
#include "ui/NoticeBar.h"
#include "ui/PanelResult.h"

using panel::Contents;
using namespace archive_example;

namespace {

// The boxes in the order of the children of "Coefficients".
const char* const kBoxNames[] = {
    "ID_T",         "ID_REGISTRATION", "ID_DEAD_TIME",        "ID_K1",
    "ID_K2",        "ID_K3",           "ID_MANUAL_DEAD_TIME", "ID_MANUAL_REGISTRATION",
    "ID_MANUAL_K1", "ID_MANUAL_K2",    "ID_MANUAL_K3"};

// Checks the file selector's arguments, then answers with a path (or cancels).
class ExpectFileDialog : public wxExpectModal<wxFileDialog> {
public:
    ExpectFileDialog(bool bSave, const wxString& strDir, const wxString& strAnswer,
                     int nId = wxID_OK)
        : wxExpectModal<wxFileDialog>(strAnswer, nId), m_bSave(bSave), m_strDir(strDir) {
        Describe(bSave ? "save dialog" : "open dialog");
    }

protected:
    int OnInvoked(wxFileDialog* pDlg) const override {
        EXPECT_EQ(m_bSave ? "Choice the file to save" : "Choice the file to load",
                  pDlg->GetMessage());
        // Empty: a directory that does not exist, which the dialog replaces.
        if (!m_strDir.empty()) {
            EXPECT_EQ(m_strDir, pDlg->GetDirectory());
        }
        EXPECT_EQ(DialogWildcard("*.xml"), pDlg->GetWildcard());
        EXPECT_EQ(m_bSave ? wxFD_SAVE : wxFD_OPEN,
                  pDlg->GetWindowStyle() &
                      (wxFD_SAVE | wxFD_OPEN | wxFD_OVERWRITE_PROMPT | wxFD_FILE_MUST_EXIST));
        // The local time of the call, to the second, without extension.
        const wxDateTime now = wxDateTime::Now();
        auto name = [&](int nAgo) {
            return (now - wxTimeSpan::Seconds(nAgo)).Format("Varid_%Y_%m_%d_%H_%M_%S");
        };
        const wxString strName = pDlg->GetFilename();
        if (m_bSave)
            EXPECT_TRUE(strName == name(0) || strName == name(1)) << strName;
        else
            EXPECT_EQ("", strName);
        const int nResult = wxExpectModal<wxFileDialog>::OnInvoked(pDlg);
        // The native dialog takes a set path only once its own events have
        // run; the dialog is never shown here, so run them until it has.
        for (int i = 0; i < 200 && !m_path.empty() && pDlg->GetPath().empty(); ++i) {
            wxEventLoop loop;
            wxEventLoopActivator activate(&loop);
            while (loop.Pending()) loop.Dispatch();
            wxMilliSleep(5);
        }
        EXPECT_EQ(m_path, pDlg->GetPath());
        return nResult;
    }

private:
    bool m_bSave;
    wxString m_strDir;
};

class PanelArchiveTest : public PanelTest {
protected:
    wxString Dir() const { return wxString::FromUTF8(m_strDir); }
    wxString PathOf(const char* szName) const { return Dir() + wxFILE_SEP_PATH + szName; }
    static wxString LastSavePath(const wxString& strDir) {
        return strDir + wxFILE_SEP_PATH + "varid_last_save.xml";
    }
    // Inside the test directory, so it goes with it.
    wxString SubDir(const char* szName) const {
        EXPECT_TRUE(wxMkdir(PathOf(szName)));
        return PathOf(szName);
    }

    // Closing runs the frame's own close handler, which writes the last-save file.
    void CloseFrame() {
        m_pFrame->Close();
        EXPECT_TRUE(wxPendingDelete.Member(m_pFrame)) << "the close must never be vetoed";
        PumpEvents();
        m_pFrame = nullptr;
        m_pPanel = nullptr;
    }

    // Everything the archive carries, as the panel shows it.
    Contents State() const {
        Contents s;
        for (int r = 0; r < panel::kRows; ++r)
            for (int c = 0; c < panel::kCols; ++c) {
                s.table[r][c] = Grid()->GetCellValue(r, c);
                s.manualTable[r][c] = ManualGrid()->GetCellValue(r, c);
            }
        for (int i = 0; i < panel::kBoxes; ++i) s.boxes[i] = BoxText(kBoxNames[i]);
        return s;
    }
    void SetState(const Contents& s) {
        for (int r = 0; r < panel::kRows; ++r)
            for (int c = 0; c < panel::kCols; ++c) {
                Grid()->GetTable()->SetValue(r, c, s.table[r][c]);
                ManualGrid()->GetTable()->SetValue(r, c, s.manualTable[r][c]);
            }
        for (int i = 0; i < panel::kBoxes; ++i) Box(kBoxNames[i])->SetValue(s.boxes[i]);
    }
};

TEST_F(PanelArchiveTest, CountedAndManualPanelComesBackInItsModeOnly) {
    Build(0);
    for (int nMode : {0, 1}) {
        SCOPED_TRACE(nMode);
        g_nProgramMode = nMode;
        m_pPanel->Clear();
        Enter(MakeDetectorData(nMode, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 3, 5, 7}));
        Count();
        ASSERT_FALSE(BoxText("ID_K3").empty()) << "Count produced no result";
        Box("ID_MANUAL_K1")->SetValue("0.3");
        Set();
        ASSERT_FALSE(ManualGrid()->GetCellValue(1, 4).empty()) << "Set showed nothing";
        Box("ID_T")->SetValue(wxString::FromUTF8("0.5 \xD0\x96"));  // a Cyrillic letter
        Contents saved = State();
        const wxString strPath = PathOf("full.xml");
        m_pPanel->SaveArchive(strPath);

        m_pPanel->Clear();
        m_pPanel->LoadArchive(strPath);
        saved.boxes[panel::kBoxT] = "0.5 _";
        EXPECT_EQ(Cells(saved), Cells(State()));
        EXPECT_EQ(4, m_pPanel->GetChosenCount());

        // Read in the other mode: refused, and the panel keeps what it had.
        g_nProgramMode = 1 - nMode;
        wxString strError;
        EXPECT_FALSE(m_pPanel->LoadArchive(strPath, strError));
        EXPECT_EQ("Wrong format file", strError);
        EXPECT_EQ(Cells(saved), Cells(State()));
    }
}

TEST_F(PanelArchiveTest, FailedOpenChangesNothingAndSaysWhy) {
    const std::string row = "<Row><ChooseValue>1</ChooseValue><RealP>1</RealP><Fl>2</Fl></Row>";
    const std::string coef = "<Coefficients/></Archive>";
    const char* const kLoad = "Cann't load file %s!";
    const char* const kFormat = "Wrong format file";
    const struct {
        const char* szName;
        std::string text;
        const char* szError;
    } files[] = {
        {"empty.xml", "", kLoad},
        {"cut.xml", "<Archive><Table>" + row.substr(0, 30), kLoad},
        {"root.xml", "<Archiv><Table/><Coefficients/></Archiv>", kFormat},
        {"notable.xml", "<Archive>" + coef, kFormat},
        {"nocoef.xml", "<Archive><Table>" + row + "</Table></Archive>", kFormat},
        {"norealp.xml",
         "<Archive><Table>" + row + "<Row><ChooseValue/><Fl>2</Fl></Row></Table>" + coef, kFormat},
        {"nochoose.xml", "<Archive><Table><Row><RealP>1</RealP><Fl>2</Fl></Row></Table>" + coef,
         kFormat},
        {"fronly.xml",
         "<Archive><Table><Row><ChooseValue/><RealP>1</RealP><Fr>2</Fr></Row></Table>" + coef,
         kFormat},
        {"comment.xml", "<Archive><Table>" + row + "<!-- x -->" + row + "</Table>" + coef, kFormat},
        // A bad manual table fails after the measurement table was read.
        {"manual.xml",
         "<Archive><Table>" + row + "</Table><ManualTable><Row/></ManualTable>" + coef, kFormat},
    };
    Build(0);
    SetState(Distinct());
    for (const auto& file : files) {
        SCOPED_TRACE(file.szName);
        Spit(PathOf(file.szName), file.text);
        wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, Dir(), PathOf(file.szName)),
                      ExpectErrorBox(wxString::Format(file.szError, PathOf(file.szName))));
        EXPECT_EQ(Cells(Distinct()), Cells(State()));
        EXPECT_TRUE(wxFileExists(PathOf(file.szName))) << "Open keeps the file where it is";
    }
    // Neither a name that is no file nor a directory is a failure.
    // (The native dialog cannot be made to return these, so the path goes in directly.)
    wxString strError;
    EXPECT_TRUE(m_pPanel->LoadArchive(PathOf("none.xml"), strError));
    EXPECT_TRUE(m_pPanel->LoadArchive(SubDir("dir.xml"), strError));
    EXPECT_EQ("", strError);
    EXPECT_EQ(Cells(Distinct()), Cells(State()));
    EXPECT_EQ(Dir(), g_strXmlFile) << "Open never moves the archive directory";
    wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, Dir(), "", wxID_CANCEL));
    EXPECT_EQ(Cells(Distinct()), Cells(State()));
}

// Every second row's check-box text is szTick; rows beyond the eleventh are
// ignored even when damaged. Of several children of a name the first counts,
// and only if it is text.
std::string Rows(int nCount, const char* szTick, bool bManual) {
    std::string s = "<Archive><Table>";
    for (int i = 0; i < nCount; ++i)
        s += "<Row><ChooseValue>" + std::string(i % 2 ? szTick : "1") + "</ChooseValue><RealP>r" +
             std::to_string(i) + "</RealP><Fl>l" + std::to_string(i) + "</Fl><Accuracy>a" +
             std::to_string(i) + "</Accuracy></Row>";
    if (nCount > 11) s += "<!-- ignored -->";
    s += "</Table>";
    if (bManual)
        s += "<ManualTable><Row><Fl><b/>z</Fl><RealP>M</RealP><ChooseValue/><RealP>N</RealP>"
             "</Row></ManualTable>";
    return s +
           "<Coefficients><K1>\xD0\x96</K1><K1>x</K1></Coefficients>"
           "<Coefficients><T>t</T></Coefficients></Archive>";
}

TEST_F(PanelArchiveTest, OddFilesFillWhatTheyHoldAndKeepTheRest) {
    // nTicks: the recount, ticks kept from rows 3, 6, 9 included.
    const struct {
        int nRows;
        const char* szTick;
        bool bManual;
        int nTicks;
    } cases[] = {
        {3, "true", true, 6}, {14, "0", true, 6}, {14, "f", false, 6}, {14, "false", true, 6}};
    Build(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.nRows) + c.szTick);
        SetState(Distinct());
        Spit(PathOf("odd.xml"), Rows(c.nRows, c.szTick, c.bManual));
        wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, Dir(), PathOf("odd.xml")));

        Contents expected = Distinct();
        for (int r = 0; r < std::min(c.nRows, 11); ++r) {
            expected.table[r][0] = r % 2 ? c.szTick : "1";
            expected.table[r][1] = wxString::Format("r%d", r);
            expected.table[r][2] = wxString::Format("l%d", r);
            expected.table[r][5] = wxString::Format("a%d", r);
        }
        if (c.bManual) {
            expected.manualTable[0][0] = "";
            expected.manualTable[0][1] = "M";
            expected.manualTable[0][2] = "";
        }
        expected.boxes[panel::kBoxK1] = wxString::FromUTF8("\xD0\x96");
        EXPECT_EQ(Cells(expected), Cells(State()));
        EXPECT_EQ(c.nTicks, m_pPanel->GetChosenCount());
    }
}

TEST_F(PanelArchiveTest, SaveChecksInputThenMovesTheArchiveDirectory) {
    Build(0);
    Enter(MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 3, 5, 7}));
    // T is tested before the grid, and neither check opens the dialog.
    Box("ID_T")->SetValue("");
    wxTEST_DIALOG(m_pPanel->Save(), ExpectErrorBox("Not all edit box fill"));
    Box("ID_T")->SetValue("1");
    TypeCell(9, 1, "5");  // a partly filled row
    wxTEST_DIALOG(m_pPanel->Save(), ExpectErrorBox("Enter wrong data or not all data in grid"));
    TypeCell(9, 1, "");

    wxTEST_DIALOG(m_pPanel->Save(), ExpectFileDialog(true, Dir(), "", wxID_CANCEL));
    EXPECT_EQ(Dir(), g_strXmlFile);
    EXPECT_EQ(0u, FilesIn(Dir()).size());

    const Contents saved = State();
    const wxString strOther = SubDir("other");
    const wxString strPath = strOther + wxFILE_SEP_PATH + "run1.xml";
    wxTEST_DIALOG(m_pPanel->Save(), ExpectFileDialog(true, Dir(), strPath));
    EXPECT_EQ(strOther, g_strXmlFile);
    EXPECT_EQ(Cells(saved), Cells(State())) << "Save changes nothing in the panel";

    // The next dialog opens in the new directory; Open does not move it back.
    Spit(PathOf("elsewhere.xml"), "x");
    wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, strOther, PathOf("elsewhere.xml")),
                  ExpectErrorBox("Cann't load file " + PathOf("elsewhere.xml") + "!"));
    EXPECT_EQ(strOther, g_strXmlFile);

    // The close writes the last-save file there, and the next start reads it
    // and recounts the ticks.
    Box("ID_T")->SetValue("after save");
    CloseFrame();
    EXPECT_FALSE(wxFileExists(LastSavePath(Dir())));
    Build(0);
    Contents closed = saved;
    closed.boxes[panel::kBoxT] = "after save";
    EXPECT_EQ(Cells(closed), Cells(State()));
    EXPECT_EQ(4, m_pPanel->GetChosenCount());
    // The file Save wrote holds the panel as it was then.
    m_pPanel->Clear();
    m_pPanel->LoadArchive(strPath);
    EXPECT_EQ(Cells(saved), Cells(State()));
}

TEST_F(PanelArchiveTest, SaveThatCannotWriteSaysSo) {
    Build(0);
    Enter(MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 3, 5, 7}));
    const wxString strBlocked = SubDir("taken.xml");
    wxTEST_DIALOG(m_pPanel->Save(), ExpectFileDialog(true, Dir(), strBlocked),
                  ExpectErrorBox("Cannot write the archive file " + strBlocked + "!"));
    EXPECT_TRUE(wxDirExists(strBlocked));
    EXPECT_EQ(0u, FilesIn(Dir()).size()) << "no temporary file is left behind";
}

// The question asked when the last-save file cannot be written at close:
// names the file and the system's reason, offers three ways on.
// The system's words for a path through a plain file and a missing folder.
#ifdef __WXMSW__
const wxString kNotADirectory = wxSysErrorMsgStr(ERROR_DIRECTORY).BeforeLast('.');
const wxString kNoSuchDirectory = kNotADirectory;
#else
const char* const kNotADirectory = "Not a directory";
const char* const kNoSuchDirectory = "No such file or directory";
#endif

class ExpectCloseQuestion : public wxExpectModal<wxMessageDialog> {
public:
    ExpectCloseQuestion(const wxString& strPath, const wxString& strReason, int nAnswer)
        : wxExpectModal<wxMessageDialog>(nAnswer), m_strPath(strPath), m_strReason(strReason) {
        Describe("close question");
    }

protected:
    int OnInvoked(wxMessageDialog* pDlg) const override {
        const wxString strMessage = pDlg->GetMessage();
        EXPECT_TRUE(strMessage.Contains(m_strPath + ": " + m_strReason)) << strMessage;
        EXPECT_EQ("Save as\u2026", pDlg->GetYesLabel().utf8_string());
        EXPECT_EQ("Close without saving", pDlg->GetNoLabel());
        EXPECT_EQ("Cancel", pDlg->GetCancelLabel());
        return wxExpectModal<wxMessageDialog>::OnInvoked(pDlg);
    }

private:
    wxString m_strPath;
    wxString m_strReason;
};

// A path through a regular file cannot be written, also by root.
TEST_F(PanelArchiveTest, CloseThatCannotWriteAsksAndLosesNothing) {
    Spit(PathOf("plain"), "x");
    const wxString strGone = PathOf("plain") + "/archives";
    const wxString strOther = SubDir("other");
    Build(0);
    SetState(Distinct());
    g_strXmlFile = strGone;

    wxTEST_DIALOG(m_pFrame->Close(),
                  ExpectCloseQuestion(LastSavePath(strGone), kNotADirectory, wxID_CANCEL));
    EXPECT_FALSE(wxPendingDelete.Member(m_pFrame)) << "Cancel keeps the window";
    EXPECT_EQ(Cells(Distinct()), Cells(State()));
    EXPECT_EQ(strGone, g_strXmlFile);

    // Save as: the archive and the last-save file go to the chosen folder,
    // which becomes the archive directory; then the window goes.
    const wxString strArchive = strOther + wxFILE_SEP_PATH + "kept.xml";
    wxTEST_DIALOG(m_pFrame->Close(),
                  ExpectCloseQuestion(LastSavePath(strGone), kNotADirectory, wxID_YES),
                  ExpectFileDialog(true, "", strArchive));
    EXPECT_TRUE(wxPendingDelete.Member(m_pFrame));
    PumpEvents();
    m_pFrame = nullptr;
    EXPECT_EQ(strOther, g_strXmlFile);
    const std::string expected = archive::FormatArchive(Distinct(), 0);
    EXPECT_EQ(expected, Slurp(strArchive));
    EXPECT_EQ(expected, Slurp(LastSavePath(strOther)));

    // Close without saving: the window goes, nothing is written.
    g_strXmlFile = PathOf("none");
    Build(0);
    wxTEST_DIALOG(m_pFrame->Close(),
                  ExpectCloseQuestion(LastSavePath(PathOf("none")), kNoSuchDirectory, wxID_NO));
    EXPECT_TRUE(wxPendingDelete.Member(m_pFrame));
    PumpEvents();
    m_pFrame = nullptr;
    EXPECT_FALSE(wxFileExists(LastSavePath(PathOf("none"))));
}

// At the end of a desktop session the close cannot wait for an answer: the
// home folder takes the last session and the next start reads it from there.
TEST_F(PanelArchiveTest, SessionEndSavesInTheHomeFolderAndTheNextStartSaysSo) {
    // The environment holds the name as the C library's locale spells it: an
    // ASCII one reads back in any locale.
    const TempDir home("varid-home");
    const wxString strHome = home.Name();
    const wxString strOldHome = wxGetHomeDir();
    wxSetEnv("HOME", strHome);
    struct RestoreHome {
        wxString str;
        ~RestoreHome() { wxSetEnv("HOME", str); }
    } restore{strOldHome};

    Build(0);
    SetState(Distinct());
    // An older last-save file where the archive directory used to be.
    Spit(LastSavePath(Dir()), archive::FormatArchive(ExampleContents(), 0));
    const wxDateTime hourAgo = wxDateTime::Now() - wxTimeSpan::Hours(1);
    wxFileName(LastSavePath(Dir())).SetTimes(nullptr, &hourAgo, nullptr);
    g_strXmlFile = PathOf("plain/archives");
    Spit(PathOf("plain"), "x");
    wxCloseEvent event(wxEVT_CLOSE_WINDOW, m_pFrame->GetId());
    event.SetEventObject(m_pFrame);
    event.SetCanVeto(false);
    m_pFrame->ProcessWindowEvent(event);
    EXPECT_TRUE(wxPendingDelete.Member(m_pFrame)) << "no question, the window goes";
    PumpEvents();
    m_pFrame = nullptr;
    const wxString strSaved = LastSession::SessionEndPath();
    EXPECT_TRUE(strSaved.StartsWith(strHome)) << strSaved;
    EXPECT_EQ(archive::FormatArchive(Distinct(), 0), Slurp(strSaved));

    // Back in the old archive directory, whose last-save file is older.
    g_strXmlFile = Dir();
    Build(0);
    EXPECT_EQ(Cells(Distinct()), Cells(State()));
    ASSERT_TRUE(m_pPanel->GetNoticeBar()->HasNotice());
    EXPECT_TRUE(m_pPanel->GetNoticeBar()->GetText().Contains(strSaved));
}

// Each undoable action, then Undo by its button or by Ctrl+Z: the panel,
// the mode, the choice and the labels come back exactly; the next Count
// works on them. An edit ends the offer.

TEST_F(PanelArchiveTest, UndoBringsBackThePanelBeforeClearModeSwitchOpenAndPaste) {
    const wxString strArchive = PathOf("other.xml");
    Spit(strArchive, archive::FormatArchive(ExampleContents(), 0));
    const struct {
        const char* szText;
        std::function<void()> act;
    } actions[] = {
        {"The panel was cleared.", [this] { Click("ID_CLEAR"); }},
        {"The mode was changed and the panel cleared.", [this] { SelectMode(1); }},
        {"An archive was opened.",
         [&] { wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, Dir(), strArchive)); }},
        {"Cells were pasted.",
         [this] {
             Grid()->SetGridCursor(0, 0);
             m_pPanel->PasteText("\t9\t9\t9\r\n");
         }},
    };
    Build(0);
    const DataSet data = MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 3, 5, 7});
    Enter(data);
    Count();
    Set();
    const Contents before = State();
    ASSERT_FALSE(before.boxes[panel::kBoxK3].empty());
    NoticeBar* pNotice = m_pPanel->GetNoticeBar();
    wxChoice* pChoice = XRCCTRL(*m_pFrame, "ID_CHOICE_PROGRAM_MODE", wxChoice);
    wxCommandEvent ctrlZ(wxEVT_MENU, wxID_UNDO);
    for (const auto& a : actions) {
        for (bool bByKey : {false, true}) {
            SCOPED_TRACE(std::string(a.szText) + (bByKey ? " Ctrl+Z" : " button"));
            a.act();
            ASSERT_NE(Cells(before), Cells(State()));
            ASSERT_TRUE(pNotice->HasNotice());
            EXPECT_EQ(a.szText, pNotice->GetText());
            EXPECT_EQ("Undo", pNotice->GetButton()->GetLabel());
            if (bByKey) {
                m_pFrame->ProcessWindowEvent(ctrlZ);
            } else {
                wxCommandEvent click(wxEVT_BUTTON, pNotice->GetButton()->GetId());
                click.SetEventObject(pNotice->GetButton());
                pNotice->GetButton()->ProcessWindowEvent(click);
            }
            EXPECT_FALSE(pNotice->HasNotice());
            EXPECT_EQ(Cells(before), Cells(State()));
            EXPECT_EQ(0, g_nProgramMode);
            EXPECT_EQ(0, pChoice->GetSelection());
            EXPECT_EQ("Fl", Grid()->GetColLabelValue(2));
            EXPECT_EQ(4, m_pPanel->GetChosenCount());
        }
    }
    // The engine counts the restored points as before.
    Count();
    ExpectResultColumns(Grid(), data, ExpectedCount(data).rows);

    // The offer ends with the next edit; Ctrl+Z then changes nothing.
    Click("ID_CLEAR");
    TypeCell(0, 1, "5");
    const Contents edited = State();
    m_pFrame->ProcessWindowEvent(ctrlZ);
    EXPECT_EQ(Cells(edited), Cells(State()));
    // The shortcut is in the frame's table.
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = 'Z';
    key.SetControlDown(true);
    EXPECT_EQ(wxID_UNDO, CommandOf(m_pFrame->GetAcceleratorTable(), key));
    wxKeyEvent f1(wxEVT_KEY_DOWN);
    f1.m_keyCode = WXK_F1;
    EXPECT_EQ(XRCID("ID_HELP"), CommandOf(m_pFrame->GetAcceleratorTable(), f1));
}

TEST_F(PanelArchiveTest, TheRecordGoesWithTheGridsAndClearKeepsTheLaboratorysFields) {
    using D = CalibrationDetails;
    Contents example = ExampleContents();
    example.details.Set(D::kCustomer, wxString::FromUTF8("Заказчик"));
    example.details.Set(D::kNotes, "two\nlines");
    example.details.Set(D::kLaboratory, "Lab");
    const wxString strIn = PathOf("in.xml"), strOut = PathOf("out.xml");
    Spit(strIn, archive::FormatArchive(example, 0));
    Build(0);
    m_pPanel->LoadArchive(strIn);
    EXPECT_EQ(m_pPanel->CollectContents().details, example.details);
    ASSERT_TRUE(m_pPanel->SaveArchive(strOut));
    Contents back;
    wxString strError;
    ASSERT_EQ(archive::ReadArchiveFile(strOut, 0, back, strError), archive::LoadStatus::kLoaded);
    EXPECT_EQ(back.details, example.details);

    Click("ID_CLEAR");
    const CalibrationDetails cleared = m_pPanel->CollectContents().details;
    EXPECT_EQ(cleared.Get(D::kCustomer), "");
    EXPECT_EQ(cleared.Get(D::kNotes), "");
    EXPECT_EQ(cleared.Get(D::kLaboratory), "Lab");
    wxCommandEvent ctrlZ(wxEVT_MENU, wxID_UNDO);
    m_pFrame->ProcessWindowEvent(ctrlZ);
    EXPECT_EQ(m_pPanel->CollectContents().details, example.details);
}

// An oversized last-save file: LastSessionTest.
TEST_F(PanelArchiveTest, OversizedFilesAreRefusedUnread) {
    const wxString strBig = PathOf("big.xml");
    // A valid archive in front, padding behind: only the size refuses it.
    Spit(strBig, archive::FormatArchive(ExampleContents(), 0));
    std::filesystem::resize_file(TempDir::ToPath(strBig), archive::kMaxArchiveBytes + 1);
    Build(0);
    SetState(Distinct());
    wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, Dir(), strBig),
                  ExpectErrorBox("The file " + strBig +
                                 " is larger than 16 MiB: it is not an archive of this program."));
    EXPECT_EQ(Cells(Distinct()), Cells(State()));
    EXPECT_FALSE(m_pPanel->GetNoticeBar()->HasNotice()) << "nothing to undo";
}

}  // namespace

namespace {

// What the printed report names as the data's archive: the file of the last
// successful Open or Save of this run, until Clear.
TEST_F(PanelArchiveTest, ArchiveOfTheLastOpenOrSaveIsRemembered) {
    Build(0);
    Enter(MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 3, 5, 7}));
    EXPECT_EQ("", m_pPanel->GetArchiveFile()) << "the last-save file is no Open";
    const wxString strSaved = PathOf("saved.xml");
    wxTEST_DIALOG(m_pPanel->Save(), ExpectFileDialog(true, Dir(), strSaved));
    EXPECT_EQ(strSaved, m_pPanel->GetArchiveFile());
    EXPECT_FALSE(m_pPanel->IsChangedSinceArchive());
    // The record is part of what was saved.
    const Contents saved = m_pPanel->CollectContents();
    Contents renamed = saved;
    renamed.details.Set(CalibrationDetails::kSerialNumber, "9");
    m_pPanel->ApplyContents(renamed);
    EXPECT_TRUE(m_pPanel->IsChangedSinceArchive());
    m_pPanel->ApplyContents(saved);
    EXPECT_FALSE(m_pPanel->IsChangedSinceArchive());
    Box("ID_T")->SetValue("3");
    EXPECT_TRUE(m_pPanel->IsChangedSinceArchive());

    // Writing the last-save file is no Save; a failed Open changes nothing.
    const wxString strOther = PathOf("other.xml");
    ASSERT_TRUE(m_pPanel->SaveArchive(strOther));
    Spit(PathOf("bad.xml"), "x");
    wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, Dir(), PathOf("bad.xml")),
                  ExpectErrorBox("Cann't load file " + PathOf("bad.xml") + "!"));
    EXPECT_EQ(strSaved, m_pPanel->GetArchiveFile());

    wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, Dir(), strOther));
    EXPECT_EQ(strOther, m_pPanel->GetArchiveFile());
    EXPECT_FALSE(m_pPanel->IsChangedSinceArchive());
    Click("ID_CLEAR");
    EXPECT_EQ("", m_pPanel->GetArchiveFile());
}

}  // namespace
