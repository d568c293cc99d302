// The application started for real, one child process per run: settings read
// at start-up and written at shut-down, the interface language, and the main
// frame's wiring.
#include <climits>
#include <clocale>
#include <string>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/grid.h>
#include <wx/msgdlg.h>
#include <wx/statbox.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/App.h"
#include "app/Globals.h"
#include "tests/app/AppRunner.h"
#include "tests/app/TestFiles.h"
#include "ui/MainFrame.h"
#include "ui/PanelResult.h"

namespace {

std::string Utf8(const wxString& s) { return std::string(s.utf8_str()); }

wxString Label(MainFrame* pFrame, const char* pszName) {
    wxWindow* pWin = pFrame->FindWindow(XRCID(pszName));
    return pWin ? pWin->GetLabel() : wxString("<missing>");
}

wxChoice* ModeChoice(MainFrame* pFrame) {
    return wxDynamicCast(pFrame->FindWindow(XRCID("ID_CHOICE_PROGRAM_MODE")), wxChoice);
}

// The measurement grid; the manual one has no column labels.
wxGrid* FindLabelledGrid(wxWindow* pWin) {
    for (wxWindow* pChild : pWin->GetChildren()) {
        wxGrid* pGrid = wxDynamicCast(pChild, wxGrid);
        if (pGrid && pGrid->GetColLabelSize() > 0) return pGrid;
        if (wxGrid* pFound = FindLabelledGrid(pChild)) return pFound;
    }
    return nullptr;
}

wxGrid* MeasurementGrid(MainFrame* pFrame) { return FindLabelledGrid(pFrame->GetPanelResult()); }

void Click(MainFrame* pFrame, const char* pszName) {
    wxWindow* pButton = pFrame->FindWindow(XRCID(pszName));
    wxCommandEvent event(wxEVT_BUTTON, XRCID(pszName));
    event.SetEventObject(pButton);
    pButton->GetEventHandler()->ProcessEvent(event);
}

void ChooseMode(MainFrame* pFrame, int nItem) {
    wxChoice* pChoice = ModeChoice(pFrame);
    pChoice->SetSelection(nItem);
    wxCommandEvent event(wxEVT_CHOICE, pChoice->GetId());
    event.SetInt(nItem);
    event.SetEventObject(pChoice);
    pChoice->GetEventHandler()->ProcessEvent(event);
}

// Records the process-wide values and the choice as the frame starts.
void RecordStart(MainFrame* pFrame, Observations& obs) {
    obs["xml"] = Utf8(g_strXmlFile);
    obs["mode"] = std::to_string(g_nProgramMode);
    obs["remember"] = g_bRemember ? "1" : "0";
    obs["choice"] = std::to_string(ModeChoice(pFrame)->GetSelection());
    obs["language"] = std::to_string(static_cast<App*>(wxTheApp)->GetLanguage());
}

// The working directory as the program sees it (mkdtemp may sit under a link).
std::string RealDir(const std::string& strDir) {
    char buf[4096];
    return realpath(strDir.c_str(), buf) ? std::string(buf) : strDir;
}

struct Started {
    std::string strDir;
    AppRun run;
    std::map<std::string, std::string> ini;
};

// One run of the program in a new directory holding strIni (none when empty).
Started StartWith(const std::string& strIni, const Scenario& scenario = RecordStart) {
    Started s;
    s.strDir = MakeScratchDir();
    if (!strIni.empty()) WriteFile(s.strDir + "/kevro_varid.ini", strIni);
    s.run = RunApp(s.strDir, scenario);
    s.ini = ReadIni(s.strDir + "/kevro_varid.ini");
    EXPECT_EQ(s.run.obs["asserts"], "");
    return s;
}

}  // namespace

TEST(Settings, FirstRunInEmptyDirectoryStartsWithDefaultsAndStoresFourEntries) {
    Started s = StartWith("", [](MainFrame* pFrame, Observations& obs) {
        obs["ini_before_exit"] = FileExists("kevro_varid.ini") ? "1" : "0";
        RecordStart(pFrame, obs);
    });
    ASSERT_TRUE(s.run.bStarted);
    EXPECT_EQ(s.run.nExitCode, 0);
    EXPECT_EQ(s.run.obs["ini_before_exit"], "0");
    EXPECT_EQ(s.run.obs["xml"], RealDir(s.strDir));
    EXPECT_EQ(s.run.obs["mode"], "0");
    EXPECT_EQ(s.run.obs["remember"], "0");
    EXPECT_EQ(s.run.obs["choice"], "0");
    EXPECT_EQ(s.run.obs["language"], std::to_string(wxLANGUAGE_DEFAULT));

    const std::map<std::string, std::string> expected = {
        {"i18n/Language", ""},
        {"path/xml_file", RealDir(s.strDir)},
        {"path/default_mode", "0"},
        {"path/is_remember", "0"},
    };
    EXPECT_EQ(s.ini, expected);
}

TEST(Settings, EmptyArchiveDirectoryMeansTheWorkingDirectory) {
    Started s = StartWith("[path]\nxml_file=\ndefault_mode=0\n");
    ASSERT_TRUE(s.run.bStarted);
    EXPECT_EQ(s.run.obs["xml"], RealDir(s.strDir));
    EXPECT_EQ(s.ini["path/xml_file"], RealDir(s.strDir));
}

TEST(Settings, StoredArchiveDirectoryIsKeptAsWritten) {
    Started s = StartWith("[path]\nxml_file=/srv/archives/run 1\n");
    ASSERT_TRUE(s.run.bStarted);
    EXPECT_EQ(s.run.obs["xml"], "/srv/archives/run 1");
    EXPECT_EQ(s.ini["path/xml_file"], "/srv/archives/run 1");
}

TEST(Settings, ProgramModeTextIsReadByItsLeadingDigits) {
    struct Case {
        const char* pszText;
        int nMode;
        int nChoice;
    };
    const Case cases[] = {
        {"abc", 0, 0},   {"1x", 1, 1}, {"7", 7, 1},
        {"  -3", -3, 1}, {"+1", 1, 1}, {"99999999999", INT_MAX, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszText);
        Started s = StartWith(std::string("[path]\ndefault_mode=") + c.pszText + "\n");
        ASSERT_TRUE(s.run.bStarted);
        EXPECT_EQ(s.run.obs["mode"], std::to_string(c.nMode));
        EXPECT_EQ(s.run.obs["choice"], std::to_string(c.nChoice));
        // The mode is stored back as the number it was read as.
        EXPECT_EQ(s.ini["path/default_mode"], std::to_string(c.nMode));
    }
}

TEST(Settings, RememberFlagIsTrueOnlyForExactlyOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"1", "1"}, {"yes", "0"}, {"true", "0"}, {"0", "0"}, {"11", "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        Started s = StartWith(std::string("[path]\nis_remember=") + c.first + "\n");
        ASSERT_TRUE(s.run.bStarted);
        EXPECT_EQ(s.run.obs["remember"], c.second);
        EXPECT_EQ(s.ini["path/is_remember"], c.second);
    }
}

TEST(Language, KnownNamesInAnyCaseAreStoredBackInLowerCase) {
    const struct {
        const char* pszStored;
        int nLanguage;
        const char* pszWritten;
    } cases[] = {
        {"Russian", wxLANGUAGE_RUSSIAN, "russian"},
        {"RUSSIAN", wxLANGUAGE_RUSSIAN, "russian"},
        {"uKrAiNiAn", wxLANGUAGE_UKRAINIAN, "ukrainian"},
        {"english", wxLANGUAGE_ENGLISH, "english"},
        {"german", wxLANGUAGE_DEFAULT, ""},
        {"", wxLANGUAGE_DEFAULT, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszStored);
        Started s = StartWith(std::string("[i18n]\nLanguage=") + c.pszStored + "\n");
        ASSERT_TRUE(s.run.bStarted);
        EXPECT_EQ(s.run.obs["language"], std::to_string(c.nLanguage));
        EXPECT_EQ(s.ini["i18n/Language"], c.pszWritten);
    }
}

namespace {

// Labels of all static boxes below pWin (inner boxes are children of outer ones).
std::string BoxLabels(wxWindow* pWin) {
    std::string strLabels;
    for (wxWindow* pChild : pWin->GetChildren()) {
        if (wxDynamicCast(pChild, wxStaticBox)) strLabels += Utf8(pChild->GetLabel()) + "|";
        strLabels += BoxLabels(pChild);
    }
    return strLabels;
}

// What the interface shows once the start-up steps are done.
void RecordInterface(MainFrame* pFrame, Observations& obs) {
    obs["count"] = Utf8(Label(pFrame, "ID_COUNT"));
    obs["help"] = Utf8(Label(pFrame, "ID_HELP"));
    obs["set"] = Utf8(Label(pFrame, "ID_BT_CHANGE_VALUE"));
    wxChoice* pChoice = ModeChoice(pFrame);
    obs["item0"] = Utf8(pChoice->GetString(0));
    obs["item1"] = Utf8(pChoice->GetString(1));
    obs["boxes"] = BoxLabels(pFrame->GetPanelResult());
    wxGrid* pGrid = MeasurementGrid(pFrame);
    obs["col1"] = pGrid ? Utf8(pGrid->GetColLabelValue(1)) : "<no grid>";
    obs["title"] = Utf8(pFrame->GetTitle());
    obs["error"] = Utf8(wxGetTranslation("Error"));
    obs["last_save"] = Utf8(wxGetTranslation("varid_last_save.xml"));
    obs["pattern"] = Utf8(wxGetTranslation("Varid_%Y_%m_%d_%H_%M_%S"));
    obs["formatted"] = Utf8(wxString::Format("%.3f|%.1f|%.f", 1.5, 2.25, 3.0));
    double d = 0;
    obs["parsed"] = wxString("2.5").ToDouble(&d) ? std::to_string(d) : "no number";
    obs["numeric_locale"] = std::setlocale(LC_NUMERIC, nullptr);
}

}  // namespace

TEST(Language, RussianTranslatesTheInterfaceAndKeepsTheDecimalPoint) {
    Started s = StartWith("[i18n]\nLanguage=russian\n", RecordInterface);
    ASSERT_TRUE(s.run.bStarted);
    Observations& obs = s.run.obs;
    EXPECT_EQ(obs["count"], "Расчёт");
    EXPECT_EQ(obs["help"], "Справка");
    EXPECT_EQ(obs["set"], "Установить");
    EXPECT_EQ(obs["item0"], "С частотой");
    EXPECT_EQ(obs["item1"], "Без частоты");
    // The box label carries its trailing blank, and so does its translation.
    EXPECT_NE(obs["boxes"].find("|Вручную |"), std::string::npos) << obs["boxes"];
    EXPECT_NE(obs["boxes"].find("Мёртвое время|"), std::string::npos) << obs["boxes"];
    EXPECT_EQ(obs["col1"], "Реальное P0");
    EXPECT_EQ(obs["error"], "Ошибка");
    EXPECT_EQ(obs["formatted"], "1.500|2.2|3");
    EXPECT_EQ(obs["parsed"], std::to_string(2.5));
    EXPECT_EQ(obs["numeric_locale"], "C");
    // A translated file name would hide the last session's file.
    EXPECT_EQ(obs["last_save"], "varid_last_save.xml");
    EXPECT_EQ(obs["pattern"], "Varid_%Y_%m_%d_%H_%M_%S");
}

TEST(Language, UkrainianTranslatesTheInterface) {
    Started s = StartWith("[i18n]\nLanguage=ukrainian\n", RecordInterface);
    ASSERT_TRUE(s.run.bStarted);
    Observations& obs = s.run.obs;
    EXPECT_EQ(obs["count"], "Розрахунок");
    EXPECT_EQ(obs["item1"], "Без частоти");
    EXPECT_EQ(obs["col1"], "Реальне P0");
    EXPECT_EQ(obs["error"], "Помилка");
    EXPECT_EQ(obs["formatted"], "1.500|2.2|3");
    EXPECT_EQ(obs["last_save"], "varid_last_save.xml");
    EXPECT_EQ(obs["pattern"], "Varid_%Y_%m_%d_%H_%M_%S");
}

TEST(Language, EnglishShowsTheTextsAsWritten) {
    Started s = StartWith("[i18n]\nLanguage=english\n", RecordInterface);
    ASSERT_TRUE(s.run.bStarted);
    EXPECT_EQ(s.run.obs["count"], "Count");
    EXPECT_EQ(s.run.obs["item0"], "With frequency");
    EXPECT_NE(s.run.obs["boxes"].find("|Manual |"), std::string::npos) << s.run.obs["boxes"];
    EXPECT_EQ(s.run.obs["title"], "KEVRO_Varid");
}

TEST(Frame, HasItsSizeStyleIconAndTwoAreasOneToNine) {
    Started s = StartWith("", [](MainFrame* pFrame, Observations& obs) {
        obs["size"] =
            std::to_string(pFrame->GetSize().x) + "x" + std::to_string(pFrame->GetSize().y);
        obs["maximize_box"] = pFrame->HasFlag(wxMAXIMIZE_BOX) ? "1" : "0";
        obs["resize_border"] = pFrame->HasFlag(wxRESIZE_BORDER) ? "1" : "0";
        obs["minimize_box"] = pFrame->HasFlag(wxMINIMIZE_BOX) ? "1" : "0";
        const wxIconBundle& icons = pFrame->GetIcons();
        obs["icon"] = icons.GetIconCount() == 1 && icons.GetIconByIndex(0).IsOk()
                          ? std::to_string(icons.GetIconByIndex(0).GetWidth())
                          : "none";
        obs["top"] = wxTheApp->GetTopWindow() == pFrame ? "1" : "0";
        // The mode choice keeps the layout's width and is tall enough to
        // show the selected mode.
        wxChoice* pChoice = ModeChoice(pFrame);
        obs["choice_width"] = std::to_string(pChoice->GetSize().x);
        obs["choice_readable"] = pChoice->GetSize().y >= pChoice->GetBestSize().y ? "1" : "0";
        obs["shown"] = pFrame->IsShown() ? "1" : "0";
        wxSizer* pSizer = pFrame->GetSizer();
        if (pSizer && pSizer->GetItemCount() == 2) {
            wxWindow* pBar = pSizer->GetItem(size_t(0))->GetWindow();
            obs["bar"] =
                pBar && pBar->GetName() == "ID_PANEL_MAIN" && pBar->FindWindow(XRCID("ID_COUNT"))
                    ? "1"
                    : "0";
            obs["panel"] =
                pSizer->GetItem(size_t(1))->GetWindow() == pFrame->GetPanelResult() ? "1" : "0";
            obs["proportions"] = std::to_string(pSizer->GetItem(size_t(0))->GetProportion()) + ":" +
                                 std::to_string(pSizer->GetItem(size_t(1))->GetProportion());
        }
    });
    ASSERT_TRUE(s.run.bStarted);
    Observations& obs = s.run.obs;
    EXPECT_EQ(obs["size"], "960x600");
    EXPECT_EQ(obs["maximize_box"], "0");
    EXPECT_EQ(obs["resize_border"], "1");
    EXPECT_EQ(obs["minimize_box"], "1");
    EXPECT_EQ(obs["icon"], "48");
    EXPECT_EQ(obs["top"], "1");
    EXPECT_EQ(obs["choice_width"], "150");
    EXPECT_EQ(obs["choice_readable"], "1");
    EXPECT_EQ(obs["shown"], "1");
    EXPECT_EQ(obs["bar"], "1");
    EXPECT_EQ(obs["panel"], "1");
    EXPECT_EQ(obs["proportions"], "1:9");
}

TEST(Frame, ChoiceShowsStoredModeAndTheChosenModeIsStoredAtClose) {
    Started s = StartWith("[path]\ndefault_mode=1\n", [](MainFrame* pFrame, Observations& obs) {
        RecordStart(pFrame, obs);
        if (!MeasurementGrid(pFrame)) return;
        obs["label_before"] = Utf8(MeasurementGrid(pFrame)->GetColLabelValue(2));
        ChooseMode(pFrame, 0);
        obs["mode_after"] = std::to_string(g_nProgramMode);
        obs["label_after"] = Utf8(MeasurementGrid(pFrame)->GetColLabelValue(2));
    });
    ASSERT_TRUE(s.run.bStarted);
    EXPECT_EQ(s.run.nExitCode, 0);
    EXPECT_EQ(s.run.obs["choice"], "1");
    EXPECT_EQ(s.run.obs["label_before"], "T1");
    EXPECT_EQ(s.run.obs["mode_after"], "0");
    // The panel was told: its grid shows the labels of the new mode.
    EXPECT_EQ(s.run.obs["label_after"], "Fl");
    EXPECT_EQ(s.ini["path/default_mode"], "0");
}

TEST(Frame, HelpChangesNothing) {
    Started s = StartWith("[path]\ndefault_mode=1\n", [](MainFrame* pFrame, Observations& obs) {
        wxTextCtrl* pT = wxDynamicCast(pFrame->FindWindow(XRCID("ID_T")), wxTextCtrl);
        pT->ChangeValue("12.5");
        wxGrid* pGrid = MeasurementGrid(pFrame);
        if (!pT || !pGrid) return;
        pGrid->SetCellValue(0, 1, "100");
        const size_t nWindowsBefore = wxTopLevelWindows.GetCount();
        const wxString strXmlBefore = g_strXmlFile;
        Click(pFrame, "ID_HELP");
        obs["t"] = Utf8(pT->GetValue());
        obs["cell"] = Utf8(pGrid->GetCellValue(0, 1));
        obs["mode"] = std::to_string(g_nProgramMode);
        obs["choice"] = std::to_string(ModeChoice(pFrame)->GetSelection());
        obs["xml_same"] = g_strXmlFile == strXmlBefore ? "1" : "0";
        obs["windows_same"] = wxTopLevelWindows.GetCount() == nWindowsBefore ? "1" : "0";
        obs["closing"] = pFrame->IsBeingDeleted() ? "1" : "0";
    });
    ASSERT_TRUE(s.run.bStarted);
    EXPECT_EQ(s.run.obs["t"], "12.5");
    EXPECT_EQ(s.run.obs["cell"], "100");
    EXPECT_EQ(s.run.obs["mode"], "1");
    EXPECT_EQ(s.run.obs["choice"], "1");
    EXPECT_EQ(s.run.obs["xml_same"], "1");
    EXPECT_EQ(s.run.obs["windows_same"], "1");
    EXPECT_EQ(s.run.obs["closing"], "0");
}

namespace {

// Checks the text of the one message box a command opens, and closes it.
class ExpectErrorBox : public wxExpectModal<wxMessageDialog> {
public:
    explicit ExpectErrorBox(const wxString& strMessage)
        : wxExpectModal<wxMessageDialog>(wxID_OK), m_strMessage(strMessage) {
        Describe("error box \"" + strMessage + "\"");
    }

protected:
    int OnInvoked(wxMessageDialog* pDlg) const override {
        if (pDlg->GetMessage() != m_strMessage || pDlg->GetTitle() != "Error") {
            wxFAIL_MSG("unexpected box: " + pDlg->GetTitle() + ": " + pDlg->GetMessage());
        }
        return wxExpectModal<wxMessageDialog>::OnInvoked(pDlg);
    }

private:
    wxString m_strMessage;
};

}  // namespace

TEST(Frame, CommandButtonsReachTheResultPanel) {
    Started s = StartWith("", [](MainFrame* pFrame, Observations& obs) {
        wxTextCtrl* pT = wxDynamicCast(pFrame->FindWindow(XRCID("ID_T")), wxTextCtrl);
        pT->ChangeValue("5");
        Click(pFrame, "ID_CLEAR");
        obs["t_after_clear"] = Utf8(pT->GetValue());
        TakeAssertions();
        // Count with no chosen row and Save with an empty T each refuse with
        // their own message, which only the panel's operations show.
        wxTEST_DIALOG(Click(pFrame, "ID_COUNT"),
                      ExpectErrorBox("Choose wrong quantity values for calculate"));
        obs["count"] = TakeAssertions();
        wxTEST_DIALOG(Click(pFrame, "ID_SAVE"), ExpectErrorBox("Not all edit box fill"));
        obs["save"] = TakeAssertions();
        // Open shows the file selector; cancelling it leaves the panel alone.
        wxTEST_DIALOG(Click(pFrame, "ID_OPEN"),
                      wxExpectModal<wxFileDialog>(wxString(), wxID_CANCEL));
        obs["open"] = TakeAssertions();
    });
    ASSERT_TRUE(s.run.bStarted);
    EXPECT_EQ(s.run.obs["t_after_clear"], "");
    EXPECT_EQ(s.run.obs["count"], "");
    EXPECT_EQ(s.run.obs["save"], "");
    EXPECT_EQ(s.run.obs["open"], "");
}

TEST(Frame, ClosingWritesTheLastSaveFileIntoTheArchiveDirectory) {
    const std::string strArchive = MakeScratchDir();
    Started s = StartWith("[path]\nxml_file=" + strArchive + "\n");
    ASSERT_TRUE(s.run.bStarted);
    EXPECT_EQ(s.run.nExitCode, 0);
    EXPECT_TRUE(FileExists(strArchive + "/varid_last_save.xml"));
    EXPECT_FALSE(FileExists(s.strDir + "/varid_last_save.xml"));
    EXPECT_EQ(s.ini["path/xml_file"], strArchive);
}
