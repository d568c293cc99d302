// The archive members on the real main frame and result panel: what the
// panel writes, what a read leaves in it, the Save and Open dialogs, and the
// last-save file carried from one frame to the next.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dir.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/grid.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/regex.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "tests/archive/ArchiveExample.h"
#include "tests/gui/ExpectErrorBox.h"
#include "tests/gui/GuiTestMain.h"
#include "tests/ui/CalibrationModel.h"
#include "ui/MainFrame.h"
#include "ui/PanelResult.h"

namespace {

const char* const kBoxNames[] = {
    "ID_T",         "ID_REGISTRATION", "ID_DEAD_TIME",        "ID_K1",
    "ID_K2",        "ID_K3",           "ID_MANUAL_DEAD_TIME", "ID_MANUAL_REGISTRATION",
    "ID_MANUAL_K1", "ID_MANUAL_K2",    "ID_MANUAL_K3"};

// Everything the archive carries, as the panel shows it.
struct PanelState {
    std::vector<wxString> cells;  // measurement grid, then manual grid, row by row
    std::vector<wxString> boxes;  // in the order of kBoxNames
    bool operator==(const PanelState& o) const { return cells == o.cells && boxes == o.boxes; }
    wxString& Cell(int nGrid, int nRow, int nCol) { return cells[nGrid * 66 + nRow * 6 + nCol]; }
};

std::ostream& operator<<(std::ostream& os, const PanelState& s) {
    for (const wxString& c : s.cells) os << "[" << c.utf8_str() << "]";
    for (const wxString& b : s.boxes) os << "{" << b.utf8_str() << "}";
    return os;
}

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
        EXPECT_EQ(m_strDir, pDlg->GetDirectory());
        EXPECT_EQ("*.xml", pDlg->GetWildcard());
        const long nStyle = pDlg->GetWindowStyle();
        EXPECT_EQ(m_bSave ? wxFD_SAVE : wxFD_OPEN,
                  nStyle & (wxFD_SAVE | wxFD_OPEN | wxFD_OVERWRITE_PROMPT | wxFD_FILE_MUST_EXIST));
        if (m_bSave) {
            // The current local time, to the second, without extension.
            wxRegEx re("^Varid_20[0-9]{2}_[01][0-9]_[0-3][0-9]_[0-2][0-9]_[0-5][0-9]_[0-5][0-9]$");
            EXPECT_TRUE(re.Matches(pDlg->GetFilename())) << pDlg->GetFilename();
            EXPECT_TRUE(
                pDlg->GetFilename().StartsWith(wxDateTime::Now().Format("Varid_%Y_%m_%d_%H")) ||
                wxDateTime::Now().GetMinute() == 0);
        } else {
            EXPECT_EQ("", pDlg->GetFilename());
        }
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

// A modal box nobody expected would block the run: fail and dismiss it.
class UnexpectedModalHook : public wxModalDialogHook {
protected:
    int Enter(wxDialog* pDlg) override {
        ADD_FAILURE() << "unexpected dialog: " << pDlg->GetTitle().utf8_str();
        if (auto* pBox = wxDynamicCast(pDlg, wxMessageDialog))
            ADD_FAILURE() << pBox->GetMessage().utf8_str();
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

std::string Slurp(const wxString& strPath) {
    std::ifstream in(strPath.fn_str(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void Spit(const wxString& strPath, const std::string& text) {
    std::ofstream(strPath.fn_str(), std::ios::binary) << text;
}

wxString MakeTempDir() {
    char tmpl[] = "/tmp/varid-panel-archive-XXXXXX";
    return mkdtemp(tmpl) ? wxString(tmpl) : wxString();
}

class PanelArchiveTest : public testing::Test {
protected:
    void SetUp() override {
        m_strDir = MakeTempDir();
        ASSERT_FALSE(m_strDir.empty());
        g_strXmlFile = m_strDir;
        g_nProgramMode = 0;
        m_hook.Register();
        Build();
    }
    void TearDown() override {
        if (m_pFrame) m_pFrame->Destroy();
        PumpEvents();
        m_hook.Unregister();
        for (const wxString& strDir : m_vecDirs) wxFileName::Rmdir(strDir, wxPATH_RMDIR_RECURSIVE);
        wxFileName::Rmdir(m_strDir, wxPATH_RMDIR_RECURSIVE);
    }

    void Build() {
        m_pFrame = new MainFrame;
        m_pPanel = m_pFrame->GetPanelResult();
        m_pFrame->Show();
        PumpEvents();
    }
    // Closing runs the frame's own close handler, which writes the last-save file.
    void CloseFrame() {
        m_pFrame->Close();
        EXPECT_TRUE(wxPendingDelete.Member(m_pFrame)) << "the close must never be vetoed";
        PumpEvents();
        m_pFrame = nullptr;
        m_pPanel = nullptr;
    }
    wxString NewDir() {
        m_vecDirs.push_back(MakeTempDir());
        return m_vecDirs.back();
    }
    wxString PathOf(const char* szName) const { return m_strDir + wxFILE_SEP_PATH + szName; }
    wxString LastSavePath(const wxString& strDir) const {
        return strDir + wxFILE_SEP_PATH + "varid_last_save.xml";
    }

    wxGrid* GridOf(int nGrid) const {
        return nGrid == 0 ? m_pPanel->GetGrid() : m_pPanel->GetManualGrid();
    }
    wxTextCtrl* Box(const char* szName) const { return XRCCTRL(*m_pPanel, szName, wxTextCtrl); }

    PanelState State() const {
        PanelState s;
        for (int g = 0; g < 2; ++g)
            for (int r = 0; r < 11; ++r)
                for (int c = 0; c < 6; ++c) s.cells.push_back(GridOf(g)->GetCellValue(r, c));
        for (const char* szName : kBoxNames) s.boxes.push_back(Box(szName)->GetValue());
        return s;
    }
    void SetState(const PanelState& s) {
        for (int g = 0; g < 2; ++g)
            for (int r = 0; r < 11; ++r)
                for (int c = 0; c < 6; ++c)
                    GridOf(g)->GetTable()->SetValue(r, c, s.cells[g * 66 + r * 6 + c]);
        for (size_t i = 0; i < s.boxes.size(); ++i) Box(kBoxNames[i])->SetValue(s.boxes[i]);
    }
    // Distinct values everywhere, ticks in rows 1 and 5 of the measurement grid.
    static PanelState Sentinel() {
        PanelState s;
        for (int g = 0; g < 2; ++g)
            for (int r = 0; r < 11; ++r)
                for (int c = 0; c < 6; ++c)
                    s.cells.push_back(c == 0 ? wxString(r == 1 || r == 5 ? "1" : "")
                                             : wxString::Format("%c%d.%d", "gm"[g], r, c));
        for (int i = 0; i < 11; ++i) s.boxes.push_back(wxString::Format("box%d", i));
        return s;
    }

    void TypeCell(int nRow, int nCol, const wxString& strValue) {
        wxGrid* pGrid = m_pPanel->GetGrid();
        pGrid->SetCellValue(nRow, nCol, strValue);
        wxGridEvent event(pGrid->GetId(), wxEVT_GRID_CELL_CHANGED, pGrid, nRow, nCol);
        pGrid->ProcessWindowEvent(event);
    }
    void EnterExample() {
        TypeCell(0, 1, "100");
        TypeCell(0, 2, "98.4");
        TypeCell(0, 3, "98.9");
        TypeCell(0, 0, "1");
        TypeCell(1, 1, "200");
        TypeCell(1, 2, "195.1");
        Box("ID_T")->SetValue("0.5");
    }
    void EnterCountable(int nMode) {
        const DataSet data = MakeDetectorData(nMode, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 3, 5, 7});
        for (const DataRow& row : data.rows) {
            TypeCell(row.nRow, 1, row.strRealP);
            TypeCell(row.nRow, 2, row.strFirst);
            TypeCell(row.nRow, 3, row.strSecond);
            if (row.bChosen) TypeCell(row.nRow, 0, "1");
        }
        Box("ID_T")->SetValue(data.strT);
    }
    void Click(const char* szName) {
        wxWindow* pButton = m_pFrame->FindWindow(XRCID(szName));
        ASSERT_NE(nullptr, pButton) << szName;
        wxCommandEvent event(wxEVT_BUTTON, pButton->GetId());
        event.SetEventObject(pButton);
        pButton->ProcessWindowEvent(event);
    }
    // Open through the dialog; a failure must show exactly this message.
    void OpenExpecting(const wxString& strPath, const wxString& strError) {
        if (strError.empty()) {
            wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, g_strXmlFile, strPath));
        } else {
            wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, g_strXmlFile, strPath),
                          ExpectErrorBox(strError));
        }
    }
    wxArrayString FilesIn(const wxString& strDir) const {
        wxArrayString names;
        wxDir::GetAllFiles(strDir, &names, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
        names.Sort();
        return names;
    }

    MainFrame* m_pFrame = nullptr;
    PanelResult* m_pPanel = nullptr;
    wxString m_strDir;
    std::vector<wxString> m_vecDirs;
    UnexpectedModalHook m_hook;
};

TEST_F(PanelArchiveTest, PanelWritesTheExampleByteForByte) {
    EnterExample();
    m_pPanel->SaveArchive(PathOf("mode0.xml"));
    EXPECT_EQ(archive_example::ExampleText("Fl", "Fr"), Slurp(PathOf("mode0.xml")));

    g_nProgramMode = 1;
    m_pPanel->SaveArchive(PathOf("mode1.xml"));
    EXPECT_EQ(archive_example::ExampleText("T1", "T2"), Slurp(PathOf("mode1.xml")));
}

TEST_F(PanelArchiveTest, CountedAndManualPanelComesBackInItsModeOnly) {
    for (int nMode : {0, 1}) {
        SCOPED_TRACE(nMode);
        g_nProgramMode = nMode;
        m_pPanel->Clear();
        EnterCountable(nMode);
        Click("ID_COUNT");
        ASSERT_FALSE(Box("ID_K3")->GetValue().empty()) << "Count produced no result";
        Box("ID_MANUAL_K1")->SetValue("0.3");
        Click("ID_BT_CHANGE_VALUE");
        ASSERT_FALSE(m_pPanel->GetManualGrid()->GetCellValue(1, 4).empty()) << "Set showed nothing";
        Box("ID_T")->SetValue(wxString::FromUTF8("0.5 \xD0\x96"));  // a Cyrillic letter
        PanelState saved = State();
        const wxString strPath = PathOf("full.xml");
        m_pPanel->SaveArchive(strPath);

        m_pPanel->Clear();
        m_pPanel->LoadArchive(strPath);
        saved.boxes[0] = "0.5 _";
        EXPECT_EQ(saved, State());
        EXPECT_EQ(4, m_pPanel->GetChosenCount());

        // Read in the other mode: refused, and the panel keeps what it had.
        g_nProgramMode = 1 - nMode;
        wxString strError;
        EXPECT_FALSE(m_pPanel->LoadArchive(strPath, strError));
        EXPECT_EQ("Wrong format file", strError);
        EXPECT_EQ(saved, State());
        EXPECT_TRUE(wxFileExists(strPath)) << "only the last-save file is moved aside";
    }
}

struct BadFile {
    const char* szName;
    std::string text;
    const char* szError;  // nullptr: a missing file, no failure
};

TEST_F(PanelArchiveTest, FailedOpenChangesNothingAndSaysWhy) {
    const std::string row =
        "<Row><ChooseValue>1</ChooseValue><RealP>1</RealP><Fl>2</Fl><Fr>3</Fr></Row>";
    const std::string good = "<Archive><Table>" + row + "</Table><Coefficients/></Archive>";
    const std::vector<BadFile> files = {
        {"empty.xml", "", "Cann't load file %s!"},
        {"cut.xml", good.substr(0, 40), "Cann't load file %s!"},
        {"root.xml", "<Archiv><Table/><Coefficients/></Archiv>", "Wrong format file"},
        {"notable.xml", "<Archive><Coefficients/></Archive>", "Wrong format file"},
        {"nocoef.xml", "<Archive><Table>" + row + "</Table></Archive>", "Wrong format file"},
        {"norealp.xml",
         "<Archive><Table>" + row +
             "<Row><ChooseValue/><Fl>2</Fl></Row></Table><Coefficients/></Archive>",
         "Wrong format file"},
        {"comment.xml",
         "<Archive><Table>" + row + "<!-- x -->" + row + "</Table><Coefficients/></Archive>",
         "Wrong format file"},
    };
    SetState(Sentinel());
    for (const BadFile& file : files) {
        SCOPED_TRACE(file.szName);
        Spit(PathOf(file.szName), file.text);
        OpenExpecting(PathOf(file.szName), wxString::Format(file.szError, PathOf(file.szName)));
        EXPECT_EQ(Sentinel(), State());
        EXPECT_TRUE(wxFileExists(PathOf(file.szName))) << "Open keeps the file where it is";
    }
    // Neither a name that is no file nor a directory is a failure.
    // (The native dialog cannot be made to return these, so the path goes in directly.)
    wxString strError;
    EXPECT_TRUE(m_pPanel->LoadArchive(PathOf("none.xml"), strError));
    EXPECT_TRUE(m_pPanel->LoadArchive(NewDir(), strError));
    EXPECT_EQ("", strError);
    EXPECT_EQ(Sentinel(), State());
    EXPECT_EQ(m_strDir, g_strXmlFile) << "Open never moves the archive directory";
    // Cancelled.
    wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, m_strDir, "", wxID_CANCEL));
    EXPECT_EQ(Sentinel(), State());
}

std::string Rows(int nCount, const char* szTick, bool bManual = true) {
    std::string s = "<Archive><Table>";
    for (int i = 0; i < nCount; ++i)
        s += "<Row><ChooseValue>" + std::string(i % 2 ? szTick : "1") + "</ChooseValue><RealP>r" +
             std::to_string(i) + "</RealP><Fl>l" + std::to_string(i) + "</Fl><Accuracy>a" +
             std::to_string(i) + "</Accuracy></Row>";
    s += "</Table>";
    if (bManual) s += "<ManualTable><Row><ChooseValue/><RealP>M</RealP><Fl/></Row></ManualTable>";
    return s + "<Coefficients><K1>k</K1></Coefficients></Archive>";
}

TEST_F(PanelArchiveTest, OddFilesFillWhatTheyHoldAndKeepTheRest) {
    struct Case {
        int nRows;
        const char* szTick;  // every second row's check-box text
        bool bManual;
        int nTicks;
    };
    for (const Case& c : {Case{3, "true", true, 4}, Case{14, "0", true, 6}, Case{14, "f", false, 6},
                          Case{14, "false", true, 6}}) {
        SCOPED_TRACE(std::to_string(c.nRows) + c.szTick);
        SetState(Sentinel());
        Spit(PathOf("odd.xml"), Rows(c.nRows, c.szTick, c.bManual));
        OpenExpecting(PathOf("odd.xml"), "");

        PanelState expected = Sentinel();
        for (int r = 0; r < std::min(c.nRows, 11); ++r) {
            expected.Cell(0, r, 0) = r % 2 ? c.szTick : "1";
            expected.Cell(0, r, 1) = wxString::Format("r%d", r);
            expected.Cell(0, r, 2) = wxString::Format("l%d", r);
            expected.Cell(0, r, 5) = wxString::Format("a%d", r);
        }
        if (c.bManual) {
            expected.Cell(1, 0, 0) = "";
            expected.Cell(1, 0, 1) = "M";
            expected.Cell(1, 0, 2) = "";
        }
        expected.boxes[3] = "k";
        EXPECT_EQ(expected, State());
        // The ticks are recounted from what was read, sentinel ticks included.
        EXPECT_EQ(c.nTicks, m_pPanel->GetChosenCount());
    }
}

TEST_F(PanelArchiveTest, SaveChecksInputFirstAndMovesTheArchiveDirectory) {
    // T is tested before the grid, and neither check opens the dialog.
    EnterCountable(0);
    Box("ID_T")->SetValue("");
    wxTEST_DIALOG(m_pPanel->Save(), ExpectErrorBox("Not all edit box fill"));
    Box("ID_T")->SetValue("1");
    TypeCell(9, 1, "5");  // a partly filled row
    wxTEST_DIALOG(m_pPanel->Save(), ExpectErrorBox("Enter wrong data or not all data in grid"));
    TypeCell(9, 1, "");

    wxTEST_DIALOG(m_pPanel->Save(), ExpectFileDialog(true, m_strDir, "", wxID_CANCEL));
    EXPECT_EQ(m_strDir, g_strXmlFile);
    EXPECT_EQ(0u, FilesIn(m_strDir).size());

    const PanelState before = State();
    const wxString strOther = NewDir();
    const wxString strPath = strOther + wxFILE_SEP_PATH + "run1.xml";
    wxTEST_DIALOG(m_pPanel->Save(), ExpectFileDialog(true, m_strDir, strPath));
    EXPECT_EQ(strOther, g_strXmlFile);
    EXPECT_EQ(before, State());
    m_pPanel->Clear();
    m_pPanel->LoadArchive(strPath);
    EXPECT_EQ(before, State());

    // The next dialogs open in the new directory; Open does not move it back.
    Spit(PathOf("elsewhere.xml"), "x");
    wxTEST_DIALOG(m_pPanel->Open(), ExpectFileDialog(false, strOther, PathOf("elsewhere.xml")),
                  ExpectErrorBox("Cann't load file " + PathOf("elsewhere.xml") + "!"));
    EXPECT_EQ(strOther, g_strXmlFile);
}

TEST_F(PanelArchiveTest, SaveThatCannotWriteSaysSoButCloseStaysSilent) {
    EnterCountable(0);
    const wxString strBlocked = PathOf("taken.xml");
    ASSERT_TRUE(wxMkdir(strBlocked));
    wxTEST_DIALOG(m_pPanel->Save(), ExpectFileDialog(true, m_strDir, strBlocked),
                  ExpectErrorBox("Cannot write the archive file " + strBlocked + "!"));
    EXPECT_TRUE(wxDirExists(strBlocked));
    EXPECT_EQ(0u, FilesIn(m_strDir).size()) << "no temporary file is left behind";
    EXPECT_EQ(m_strDir, g_strXmlFile);

    // At close the same failure is silent and the window still goes.
    g_strXmlFile = m_strDir + "/no/such";
    CloseFrame();
    EXPECT_FALSE(wxFileExists(LastSavePath(m_strDir + "/no/such")));
}

TEST_F(PanelArchiveTest, LastSaveFileCarriesThePanelToTheNextStart) {
    EnterExample();
    const PanelState entered = State();
    CloseFrame();
    ASSERT_TRUE(wxFileExists(LastSavePath(m_strDir)));
    EXPECT_EQ(archive_example::ExampleText("Fl", "Fr"), Slurp(LastSavePath(m_strDir)));

    Build();
    EXPECT_EQ(entered, State());
    EXPECT_EQ(1, m_pPanel->GetChosenCount());

    // An empty panel closes into a file that reads back as empty.
    m_pPanel->Clear();
    const PanelState empty = State();
    CloseFrame();
    Build();
    EXPECT_EQ(empty, State());
}

TEST_F(PanelArchiveTest, DamagedLastSaveFileIsKeptAside) {
    const std::string damaged = "<Archive><Table><Row><RealP>1";
    CloseFrame();  // the frame of SetUp was built before the file existed
    Spit(LastSavePath(m_strDir), damaged);
    Build();
    PanelState empty = Sentinel();
    for (wxString& s : empty.cells) s = "";
    for (wxString& s : empty.boxes) s = "";
    EXPECT_EQ(empty, State());
    wxArrayString files = FilesIn(m_strDir);
    ASSERT_EQ(1u, files.size());
    EXPECT_TRUE(files[0].StartsWith(LastSavePath(m_strDir) + ".bad-")) << files[0];
    EXPECT_EQ(damaged, Slurp(files[0]));

    // The next close writes a fresh last-save file beside the kept one.
    EnterExample();
    CloseFrame();
    files = FilesIn(m_strDir);
    ASSERT_EQ(2u, files.size());
    EXPECT_EQ(damaged, Slurp(files[1].EndsWith(".xml") ? files[0] : files[1]));
    EXPECT_EQ(archive_example::ExampleText("Fl", "Fr"), Slurp(LastSavePath(m_strDir)));

    // A file of the other mode is foreign too.
    g_nProgramMode = 1;
    Build();
    EXPECT_EQ(empty, State());
    EXPECT_FALSE(wxFileExists(LastSavePath(m_strDir)));
    EXPECT_EQ(2u, FilesIn(m_strDir).size()) << "two damaged files kept, no last-save file";
}

TEST_F(PanelArchiveTest, SaveIntoAnotherDirectoryMovesTheLastSaveFile) {
    EnterCountable(0);
    const wxString strOther = NewDir();
    wxTEST_DIALOG(m_pPanel->Save(),
                  ExpectFileDialog(true, m_strDir, strOther + wxFILE_SEP_PATH + "run1.xml"));
    const PanelState saved = State();
    Box("ID_T")->SetValue("after save");
    CloseFrame();
    EXPECT_FALSE(wxFileExists(LastSavePath(m_strDir)));
    ASSERT_TRUE(wxFileExists(LastSavePath(strOther)));

    // The next start reads from the moved directory (the settings carry it).
    Build();
    PanelState expected = saved;
    expected.boxes[0] = "after save";
    EXPECT_EQ(expected, State());
}

}  // namespace
