// The application started for real, one child process per run: settings read
// at start-up and written at shut-down, the interface language, and the main
// frame's wiring.
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/grid.h>
#include <wx/log.h>
#include <wx/statbox.h>
#include <wx/stockitem.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/App.h"
#include "app/Globals.h"
#include "tests/gui/ExpectErrorBox.h"
#include "ui/HelpFrame.h"
#include "ui/MainFrame.h"
#include "ui/PanelResult.h"

namespace {

// Runs inside the child with the main frame after start-up, before the event
// loop; it checks with gtest assertions, whose failures the child prints.
using Scenario = std::function<void(MainFrame* pFrame)>;

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << "toolkit assertion in " << func.utf8_str() << ": "
                                          << cond.utf8_str() << " " << msg.utf8_str();
}

// The application's whole life (construction, OnInit, the scenario, the event
// loop, OnExit, destruction), in the working directory and HOME a user's run
// would have. Exits 0 when all went well, 1 when start-up was refused, 2 when
// a check failed.
[[noreturn]] void RunChild(const std::string& strDir, const Scenario& scenario) {
    // The parent's earlier failures came along with the fork: count only new ones.
    const testing::TestResult* pResult =
        testing::UnitTest::GetInstance()->current_test_info()->result();
    const int nPartsBefore = pResult->total_part_count();
    alarm(60);  // a hung run dies instead of blocking the test
    if (chdir(strDir.c_str()) != 0) _exit(90);
    setenv("HOME", (strDir + "/home").c_str(), 1);
    static int argc = 1;
    static char arg0[] = "varid";
    static char* argv[] = {arg0, nullptr};
    wxApp::SetInstance(new App);
    if (!wxEntryStart(argc, argv)) _exit(91);
    // A log message must not open a modal box that nobody will close.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler(FailOnAssert);
    const bool bStarted = wxTheApp->CallOnInit();
    if (bStarted) {
        MainFrame* pFrame = wxDynamicCast(wxTheApp->GetTopWindow(), MainFrame);
        EXPECT_TRUE(pFrame) << "the top window is no main frame";
        if (pFrame && scenario) scenario(pFrame);
        // Forced, as at the end of a desktop session: nobody is there to answer
        // when the archive directory of a scenario cannot be written.
        if (pFrame && !pFrame->IsBeingDeleted()) pFrame->Close(true);
        wxTheApp->OnRun();
        wxTheApp->OnExit();
    }
    // Destroys the application object, which writes the settings file.
    wxEntryCleanup();
    std::fflush(stdout);
    _exit(!bStarted ? 1 : pResult->total_part_count() > nPartsBefore ? 2 : 0);
}

struct AppRun {
    std::string strDir;                      // the working directory, resolved
    int nExit = -1;                          // the child's exit code; -1: it died
    std::map<std::string, std::string> ini;  // "group/key" -> value, as written at exit
};

// One run of the program in a new directory holding strIni (no file when null).
AppRun RunWith(const char* pszIni, const Scenario& scenario = Scenario()) {
    AppRun run;
    std::string strTemplate = (std::filesystem::temp_directory_path() / "varid-app-XXXXXX");
    if (!mkdtemp(&strTemplate[0])) ADD_FAILURE() << "mkdtemp failed";
    run.strDir = std::filesystem::canonical(strTemplate);
    std::filesystem::create_directory(run.strDir + "/home");
    const std::string strIni = run.strDir + "/kevro_varid.ini";
    if (pszIni) std::ofstream(strIni) << pszIni;

    std::fflush(stdout);  // or the child would print the parent's pending output again
    const pid_t pid = fork();
    if (pid == 0) RunChild(run.strDir, scenario);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) run.nExit = WEXITSTATUS(status);
    EXPECT_EQ(run.nExit, 0) << "the run failed; the child's messages are above";

    std::ifstream in(strIni);
    std::string strLine, strGroup;
    while (std::getline(in, strLine)) {
        const size_t nEq = strLine.find('=');
        if (!strLine.empty() && strLine[0] == '[')
            strGroup = strLine.substr(1, strLine.find(']') - 1);
        else if (nEq != std::string::npos)  // leading blanks are no part of a value
            run.ini[strGroup + "/" + strLine.substr(0, nEq)] =
                strLine.substr(std::min(strLine.find_first_not_of(" \t", nEq + 1), strLine.size()));
    }
    std::filesystem::remove_all(run.strDir);
    return run;
}

wxChoice* ModeChoice(MainFrame* pFrame) {
    return XRCCTRL(*pFrame, "ID_CHOICE_PROGRAM_MODE", wxChoice);
}

void Click(MainFrame* pFrame, const char* pszName) {
    wxWindow* pButton = pFrame->FindWindow(XRCID(pszName));
    wxCommandEvent event(wxEVT_BUTTON, XRCID(pszName));
    event.SetEventObject(pButton);
    pButton->ProcessWindowEvent(event);
}

std::string Utf8(const wxString& s) { return s.utf8_string(); }

HelpFrame* FindHelp(MainFrame* pFrame) {
    for (wxWindow* pChild : pFrame->GetChildren())
        if (HelpFrame* pHelp = dynamic_cast<HelpFrame*>(pChild)) return pHelp;
    return nullptr;
}

}  // namespace

TEST(Settings, FirstRunInEmptyDirectoryStartsWithDefaultsAndStoresFourEntries) {
    const AppRun run = RunWith(nullptr, [](MainFrame* pFrame) {
        EXPECT_FALSE(wxFileExists("kevro_varid.ini")) << "written before the program ends";
        EXPECT_EQ(ModeChoice(pFrame)->GetSelection(), 0);
        EXPECT_EQ(static_cast<App*>(wxTheApp)->GetLanguage(), wxLANGUAGE_DEFAULT);
    });
    const std::map<std::string, std::string> expected = {
        {"i18n/Language", ""},
        {"path/xml_file", run.strDir},
        {"path/default_mode", "0"},
        {"path/is_remember", "0"},
    };
    EXPECT_EQ(run.ini, expected);
}

// What is written at exit is what was read at start-up, so the written entry
// shows how the stored text was understood.
TEST(Settings, StoredTextsAreReadAsTheirRulesSayAndWrittenBack) {
    const struct {
        const char* pszGroup;
        const char* pszKey;
        const char* pszStored;
        const char* pszWritten;  // null: the working directory
        int nChoice;             // the mode choice's selection at start
    } cases[] = {
        {"path", "xml_file", "", nullptr, 0},
        {"path", "xml_file", "/srv/archives/run 1", "/srv/archives/run 1", 0},
        {"path", "default_mode", "abc", "0", 0},
        {"path", "default_mode", "1x", "1", 1},
        {"path", "default_mode", "7", "7", 1},
        {"path", "default_mode", "  -3", "-3", 1},
        {"path", "default_mode", "+1", "1", 1},
        // Beyond the range of int: the largest int, not a wrapped value.
        {"path", "default_mode", "99999999999", "2147483647", 1},
        {"path", "is_remember", "1", "1", 0},
        {"path", "is_remember", "yes", "0", 0},
        {"path", "is_remember", "11", "0", 0},
        {"i18n", "Language", "Russian", "russian", 0},
        {"i18n", "Language", "RUSSIAN", "russian", 0},
        {"i18n", "Language", "uKrAiNiAn", "ukrainian", 0},
        {"i18n", "Language", "german", "", 0},
    };
    for (const auto& c : cases) {
        const std::string strIni =
            std::string("[") + c.pszGroup + "]\n" + c.pszKey + "=" + c.pszStored + "\n";
        SCOPED_TRACE(strIni);
        AppRun run = RunWith(strIni.c_str(), [&c](MainFrame* pFrame) {
            EXPECT_EQ(ModeChoice(pFrame)->GetSelection(), c.nChoice);
        });
        EXPECT_EQ(run.ini[std::string(c.pszGroup) + "/" + c.pszKey],
                  c.pszWritten ? c.pszWritten : run.strDir);
    }
}

// The laboratory's fields of the record: read from "[lab]" into the panel,
// stored back at exit with a key for each filled field only.
TEST(Settings, LaboratoryFieldsFillThePanelAndOnlyFilledOnesAreStored) {
    const char* const pszIni =
        "[lab]\n"
        "Laboratory="
        "\xD0\x9B\xD0\xB0\xD0\xB1\xD0\xBE\xD1\x80\xD0\xB0\xD1\x82\xD0\xBE\xD1\x80\xD0\xB8\xD1\x8F "
        "7\n"
        "Operator=Ivanov\n"
        "Tolerance=5\n"
        "SerialNumber=never an item field\n";
    AppRun run = RunWith(pszIni, [](MainFrame* pFrame) {
        PanelResult* pPanel = pFrame->GetPanelResult();
        const CalibrationDetails& d = pPanel->GetDetails();
        EXPECT_EQ(
            "\xD0\x9B\xD0\xB0\xD0\xB1\xD0\xBE\xD1\x80\xD0\xB0\xD1\x82\xD0\xBE\xD1\x80\xD0\xB8\xD1"
            "\x8F 7",
            d.Get(CalibrationDetails::kLaboratory).utf8_string());
        EXPECT_EQ("Ivanov", d.Get(CalibrationDetails::kOperator));
        EXPECT_EQ("5", d.Get(CalibrationDetails::kTolerance));
        EXPECT_EQ("", d.Get(CalibrationDetails::kSerialNumber));
        // The operator empties one field and fills another before closing.
        panel::Contents c = pPanel->CollectContents();
        c.details.Set(CalibrationDetails::kOperator, "");
        c.details.Set(CalibrationDetails::kApprovedBy, "Sidorova");
        c.details.Set(CalibrationDetails::kSerialNumber, "42");
        pPanel->ApplyContents(c);
    });
    std::map<std::string, std::string> lab;
    for (const auto& entry : run.ini)
        if (entry.first.rfind("lab/", 0) == 0) lab.insert(entry);
    const std::map<std::string, std::string> expected = {
        {"lab/Laboratory",
         "\xD0\x9B\xD0\xB0\xD0\xB1\xD0\xBE\xD1\x80\xD0\xB0\xD1\x82\xD0\xBE\xD1\x80\xD0\xB8\xD1\x8F "
         "7"},
        {"lab/ApprovedBy", "Sidorova"},
        {"lab/Tolerance", "5"},
        // A key the program does not own stays as the file had it.
        {"lab/SerialNumber", "never an item field"},
    };
    EXPECT_EQ(expected, lab);
}

TEST(Language, CataloguesTranslateTheInterfaceAndNumbersKeepTheDecimalPoint) {
    const struct {
        const char* pszName;
        const char* pszCount;
        const char* pszSet;
        const char* pszWith;
        const char* pszWithout;
        const char* pszManualBox;
        const char* pszRealP;
        const char* pszError;
        const char* pszStockYes;  // from the toolkit's own catalogue
        const char* pszGuide;     // the help page's title
        const char* pszLang;
    } cases[] = {
        {"russian", "Расчёт", "Установить", "С частотой", "Без частоты", "Вручную ", "Реальное P0",
         "Ошибка", "Да", "Varid: руководство пользователя", "ru"},
        {"ukrainian", "Розрахунок", "Встановити", "З частотою", "Без частоти", "Вручну ",
         "Реальне P0", "Помилка", "Так", "Varid: посібник користувача", "uk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        const std::string strIni = std::string("[i18n]\nLanguage=") + c.pszName + "\n";
        RunWith(strIni.c_str(), [&c](MainFrame* pFrame) {
            EXPECT_EQ(Utf8(pFrame->FindWindow(XRCID("ID_COUNT"))->GetLabel()), c.pszCount);
            EXPECT_EQ(Utf8(pFrame->FindWindow(XRCID("ID_BT_CHANGE_VALUE"))->GetLabel()), c.pszSet);
            EXPECT_EQ(Utf8(ModeChoice(pFrame)->GetString(0)), c.pszWith);
            EXPECT_EQ(Utf8(ModeChoice(pFrame)->GetString(1)), c.pszWithout);
            // The box label carries its trailing blank, and so does its translation.
            wxWindow* pBox =
                wxWindow::FindWindowByLabel(wxString::FromUTF8(c.pszManualBox), pFrame);
            EXPECT_TRUE(wxDynamicCast(pBox, wxStaticBox)) << "no box " << c.pszManualBox;
            EXPECT_EQ(Utf8(pFrame->GetPanelResult()->GetGrid()->GetColLabelValue(1)), c.pszRealP);
            EXPECT_EQ(Utf8(wxGetTranslation("Error")), c.pszError);
            EXPECT_EQ(Utf8(wxGetStockLabel(wxID_YES, wxSTOCK_NOFLAGS)), c.pszStockYes);
            Click(pFrame, "ID_HELP");
            HelpFrame* pHelp = FindHelp(pFrame);
            ASSERT_TRUE(pHelp);
            wxHtmlWindow* pHtml = pHelp->GetHtmlWindow();
            EXPECT_EQ(Utf8(pHtml->GetOpenedPageTitle()), c.pszGuide);
            EXPECT_TRUE(pHtml->GetOpenedPage().EndsWith(wxString("/") + c.pszLang + "/index.html"))
                << pHtml->GetOpenedPage();
            // The version comes from the build.
            EXPECT_NE(pHtml->ToText().Find(VARID_VERSION), wxNOT_FOUND);
            // A translated file name would hide the last session's file.
            EXPECT_EQ(wxGetTranslation("varid_last_save.xml"), "varid_last_save.xml");
            EXPECT_EQ(wxGetTranslation("Varid_%Y_%m_%d_%H_%M_%S"), "Varid_%Y_%m_%d_%H_%M_%S");
            EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
            EXPECT_EQ(wxString::Format("%.3f|%.1f|%.f", 1.5, 2.25, 3.0), "1.500|2.2|3");
            double d = 0;
            EXPECT_TRUE(wxString("2.5").ToDouble(&d));
            EXPECT_EQ(d, 2.5);
        });
    }
}

TEST(Frame, HasItsSizeStyleTitleIconAndTwoAreasOneToNine) {
    RunWith(nullptr, [](MainFrame* pFrame) {
        EXPECT_EQ(pFrame->GetSize(), MainFrame::DefaultSize());
        // The smallest size still holds everything (the layout test checks).
        EXPECT_LE(pFrame->GetMinSize().x, MainFrame::DefaultSize().x);
        EXPECT_LE(pFrame->GetMinSize().y, MainFrame::DefaultSize().y);
        EXPECT_EQ(pFrame->GetTitle(), "KEVRO_Varid");
        EXPECT_FALSE(pFrame->HasFlag(wxMAXIMIZE_BOX));
        EXPECT_TRUE(pFrame->HasFlag(wxMINIMIZE_BOX));
        EXPECT_TRUE(pFrame->HasFlag(wxRESIZE_BORDER));
        EXPECT_TRUE(pFrame->IsShown());
        EXPECT_EQ(wxTheApp->GetTopWindow(), pFrame);
        const wxIconBundle& icons = pFrame->GetIcons();
        ASSERT_EQ(icons.GetIconCount(), 1u);
        EXPECT_EQ(icons.GetIconByIndex(0).GetWidth(), 48);
        // The mode choice keeps at least the layout's width and is large
        // enough to show the selected mode.
        wxChoice* pChoice = ModeChoice(pFrame);
        EXPECT_GE(pChoice->GetSize().x, 150);
        EXPECT_GE(pChoice->GetSize().x, pChoice->GetBestSize().x);
        EXPECT_GE(pChoice->GetSize().y, pChoice->GetBestSize().y);
        wxSizer* pSizer = pFrame->GetSizer();
        ASSERT_TRUE(pSizer && pSizer->GetItemCount() == 2);
        wxSizerItem* pBar = pSizer->GetItem(size_t(0));
        wxSizerItem* pPanel = pSizer->GetItem(size_t(1));
        EXPECT_EQ(pBar->GetWindow()->GetName(), "ID_PANEL_MAIN");
        EXPECT_EQ(pPanel->GetWindow(), pFrame->GetPanelResult());
        EXPECT_EQ(pBar->GetProportion(), 1);
        EXPECT_EQ(pPanel->GetProportion(), 9);
    });
}

// Count, Clear and the mode choice travel the same way; the panel tests press
// them on the real frame.
TEST(Frame, HelpOpensTheGuideOnceWhileSaveAndOpenReachTheResultPanel) {
    RunWith("[path]\ndefault_mode=1\n", [](MainFrame* pFrame) {
        wxTextCtrl* pT = XRCCTRL(*pFrame, "ID_T", wxTextCtrl);
        wxGrid* pGrid = pFrame->GetPanelResult()->GetGrid();
        pT->ChangeValue("12.5");
        pGrid->SetCellValue(0, 1, "100");
        const size_t nWindows = wxTopLevelWindows.GetCount();
        const wxString strXml = g_strXmlFile;
        Click(pFrame, "ID_HELP");
        Click(pFrame, "ID_HELP");
        EXPECT_EQ(wxTopLevelWindows.GetCount(), nWindows + 1) << "one guide window";
        HelpFrame* pHelp = FindHelp(pFrame);
        ASSERT_TRUE(pHelp);
        EXPECT_TRUE(pHelp->GetHtmlWindow()->GetOpenedPage().EndsWith("/en/index.html"))
            << pHelp->GetHtmlWindow()->GetOpenedPage();
        EXPECT_EQ(pT->GetValue(), "12.5");
        EXPECT_EQ(pGrid->GetCellValue(0, 1), "100");
        EXPECT_EQ(g_nProgramMode, 1);
        EXPECT_EQ(ModeChoice(pFrame)->GetSelection(), 1);
        EXPECT_EQ(g_strXmlFile, strXml);
        EXPECT_FALSE(pFrame->IsBeingDeleted());

        // Only the panel's operations show these: Save refuses an empty T,
        // Open asks for a file.
        pT->ChangeValue("");
        wxTEST_DIALOG(Click(pFrame, "ID_SAVE"), ExpectErrorBox("Not all edit box fill"));
        wxTEST_DIALOG(Click(pFrame, "ID_OPEN"),
                      wxExpectModal<wxFileDialog>(wxString(), wxID_CANCEL));
    });
}
