// varid-export run as a process, as scripts run it and without a display:
// exit status, standard output and standard error for good, changed, refused,
// damaged and hostile archives, in the C locale and in decimal-comma locales.
#ifdef _WIN32
#include <stdlib.h>
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <wx/filefn.h>

#include "archive/ArchiveDocument.h"
#include "calc/CalibrationFit.h"
#include "grid/CalibrationRun.h"
#include "report/CsvExport.h"
#include "tests/archive/ArchiveTestData.h"
#include "tests/cli/ExportRun.h"
#include "testsupport/CalibrationModel.h"
#include "testsupport/KnownPanel.h"
#include "testsupport/TempDir.h"
#include "testsupport/TempFolderVariables.h"

using panel::Contents;

namespace {

using Outcome = ExportRun::Outcome;

// The values a hand-made Set used: the synthetic detector's true ones.
const Detector kTyped{2.5L, 9000, 0.35L, 0.02L, 3};

class ExportCommandTest : public testing::Test {
protected:
    // Cyrillic letters and a space in every path: file names must reach the
    // command whatever the system's code page.
    TempDir m_dir{"varid export \xD1\x82\xD0\xB5\xD1\x81\xD1\x82"};
    const std::string m_strDir = m_dir.Name().utf8_string();

    std::string PathOf(const std::string& strName) const {
        return m_strDir + static_cast<char>(wxFILE_SEP_PATH) + strName;
    }

    std::string WriteArchive(const std::string& strName, const Contents& c, int nMode) {
        const std::string strPath = PathOf(strName);
        EXPECT_TRUE(archive::WriteArchiveFile(wxString::FromUTF8(strPath), c, nMode));
        return Quoted(strPath);
    }

    std::string WriteText(const std::string& strName, const std::string& strText) {
        const std::string strPath = PathOf(strName);
        std::ofstream(std::filesystem::u8path(strPath), std::ios::binary) << strText;
        return Quoted(strPath);
    }

    static std::string Slurp(const std::string& strPath) {
        return archive_example::Slurp(wxString::FromUTF8(strPath));
    }

    // szLocale: the language and number format the command starts in (not on
    // Windows, see ExportRun).
    Outcome Export(const std::string& strArgs, const char* szLocale = "C") {
        return ExportRun(m_strDir).Run(strArgs, szLocale);
    }
};

// An archive as the program leaves it after Count and a Set with kTyped, its
// result texts computed by the tests' own model of the calibration.
Contents CountedAndSet(const DataSet& data) {
    Contents c = PanelAfterCount(data);
    ApplySet(c, data, kTyped);
    return c;
}

// Whether Export's locale chooses the language of the messages (see there).
#ifdef _WIN32
constexpr bool kLanguageFromLocale = false;
#else
constexpr bool kLanguageFromLocale = true;
#endif

std::string Unquoted(const std::string& str) { return str.substr(1, str.size() - 2); }

const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

TEST_F(ExportCommandTest, RecountOfAGoodArchiveFindsItsOwnResultsInEveryLocale) {
    for (int nMode : {0, 1}) {
        Contents good = CountedAndSet(MakeDetectorData(nMode, kAllRows, {1, 6, 9, 10}));
        // The record comes along from the archive.
        good.details.Set(
            CalibrationDetails::kCustomer,
            wxString::FromUTF8("\xD0\x9E\xD0\x9E\xD0\x9E \"\xD0\xA0\xD0\xB0\xD0\xB4\""));
        good.details.Set(CalibrationDetails::kNotes, "two  blanks\nand a line");
        good.details.Set(CalibrationDetails::kSerialNumber, "001234");
        const std::string strPath = WriteArchive("good.xml", good, nMode);
        for (const char* szLocale : {"C", "ru_RU.UTF-8", "uk_UA.UTF-8"}) {
            SCOPED_TRACE(std::string(szLocale) + " mode " + std::to_string(nMode));
            for (const char* szRecount : {"", "--recount "}) {
                const Outcome run = Export(szRecount + strPath, szLocale);
                EXPECT_EQ(run.nStatus, 0);
                EXPECT_EQ(run.strErr, "");
                EXPECT_EQ(run.strOut, CsvExport::Format(good, nMode));
            }
        }
        // -o writes the same document to a file and nothing to standard output.
        const Outcome run = Export("--recount -o " + Quoted(PathOf("out.csv")) + " " + strPath);
        EXPECT_EQ(run.nStatus, 0);
        EXPECT_EQ(run.strOut, "");
        EXPECT_EQ(Slurp(PathOf("out.csv")), CsvExport::Format(good, nMode));
    }
}

TEST_F(ExportCommandTest, RecountListsEveryStoredValueThatDiffers) {
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    const Contents good = CountedAndSet(data);
    Contents changed = good;
    changed.boxes[panel::kBoxK1] = "9.999";
    changed.table[4][4] = "1.0";
    changed.manualTable[10][5] = "";
    const Outcome run = Export("--recount " + WriteArchive("changed.xml", changed, 0));
    EXPECT_EQ(run.nStatus, 3);
    EXPECT_EQ(run.strErr, "K1: archived \"9.999\", recounted \"" + ExpectedCount(data).strK1 +
                              "\"\n"
                              "Row 5 CorrectionP0: archived \"1.0\", recounted \"" +
                              good.table[4][4].utf8_string() +
                              "\"\n"
                              "Row 11 ManualAccuracy: archived \"\", recounted \"" +
                              good.manualTable[10][5].utf8_string() + "\"\n");
    EXPECT_EQ(run.strOut, CsvExport::Format(good, 0));
}

TEST_F(ExportCommandTest, RefusedOrFailedCountEndsWithItsMessage) {
    Contents threeTicks = CountedAndSet(MakeDetectorData(0, kAllRows, {0, 6, 8, 10}));
    threeTicks.table[0][0] = "";
    Outcome run = Export("--recount " + WriteArchive("three.xml", threeTicks, 0));
    EXPECT_EQ(run.nStatus, 1);
    EXPECT_EQ(run.strErr, "varid-export: Choose wrong quantity values for calculate\n");
    EXPECT_EQ(run.strOut, "");

    // Point 1 far above its uncorrected value: the K3 equation is undefined
    // over the whole search interval and the engine gives up.
    Contents noRoot;
    const char* const rows[][3] = {
        {"1", "400", "400"}, {"1000", "300", "300"}, {"1", "200", "200"}, {"1", "100", "100"}};
    for (int r = 0; r < 4; ++r) noRoot.table[r] = {"1", rows[r][0], rows[r][1], rows[r][2], "", ""};
    noRoot.boxes[panel::kBoxT] = "100";
    run = Export("--recount " + WriteArchive("noroot.xml", noRoot, 1), "ru_RU.UTF-8");
    EXPECT_EQ(run.nStatus, 1);
    if (kLanguageFromLocale) {
        EXPECT_EQ(run.strErr, "varid-export: Не удалось найти решение\n");
    }
}

// --fit is Count then Fit as the panel makes them: the manual boxes and rows
// become the fit's, its records follow; too few rows end with status 1.
TEST_F(ExportCommandTest, FitExportsTheFitsSetAndRowsOrItsRefusal) {
    const DataSet data = MakeDetectorData(0, kAllRows, {1, 6, 9, 10});
    const Contents counted = PanelAfterCount(data);
    Contents fitted = counted;
    g_nProgramMode = 0;
    Calculator calc;
    CalibrationRun run(calc);
    CalibrationFit fit;
    ASSERT_EQ(run.Fit(fitted, 4, fit), CalibrationRun::Outcome::kDone) << run.GetError();
    // The typed data are the detector's own: every row within 0.1 %.
    for (int r = 0; r < panel::kRows; ++r)
        EXPECT_LE(std::fabs(std::stod(fitted.manualTable[r][5].ToStdString())), 0.1) << r;

    const Outcome out = Export("--fit " + WriteArchive("fit.xml", counted, 0), "ru_RU.UTF-8");
    EXPECT_EQ(out.nStatus, 0);
    EXPECT_EQ(out.strErr, "");
    EXPECT_EQ(out.strOut, CsvExport::Format(fitted, 0, &fit));
    EXPECT_NE(out.strOut.find("\r\nFitRows,11,"), std::string::npos);
    EXPECT_NE(out.strOut.find("\r\nFitDegreesOfFreedom,6,"), std::string::npos);

    Contents five = PanelAfterCount(MakeDetectorData(0, {0, 1, 2, 3, 4}, {0, 1, 3, 4}));
    const Outcome refused = Export("--fit " + WriteArchive("five.xml", five, 0));
    EXPECT_EQ(refused.nStatus, 1);
    EXPECT_EQ(refused.strErr, "varid-export: The fit needs at least 6 complete rows (5 given).\n");
    EXPECT_EQ(refused.strOut, "");
}

// A detector of the survey's population whose four points give the K3 search
// no root: --fit fits it as the Fit button does, the result boxes keep what
// the archive held, the CSV carries the fit and its budget.
TEST_F(ExportCommandTest, FitWithoutTheCountsK3FitsAsTheButtonDoes) {
    const char* const rows[][4] = {
        {"", "1.922", "62.02", "61.99"},        {"", "3.285", "105.89", "105.91"},
        {"1", "5.615", "181.01", "180.90"},     {"", "9.601", "309.22", "309.09"},
        {"", "16.43", "527.56", "527.90"},      {"1", "28.13", "901.26", "901.20"},
        {"", "48.27", "1535.62", "1536.00"},    {"", "83.05", "2617.60", "2616.98"},
        {"", "143.5", "4446.36", "4449.24"},    {"1", "247.3", "7535.13", "7533.23"},
        {"1", "419.3", "12679.18", "12676.00"},
    };
    Contents archived;
    for (int r = 0; r < panel::kRows; ++r)
        archived.table[r] = {rows[r][0], rows[r][1], rows[r][2], rows[r][3], "", ""};
    archived.boxes[panel::kBoxT] = "76.1";
    archived.boxes[panel::kBoxK1] = "0.123";
    archived.details.Set(CalibrationDetails::kReferenceUncertainty, "1");
    const std::string strPath = WriteArchive("nok3.xml", archived, 0);

    // The Count on its own fails in the engine.
    const Outcome counted = Export("--recount " + strPath);
    EXPECT_EQ(counted.nStatus, 1);
    EXPECT_EQ(counted.strErr, "varid-export: Can't find coefficient K3\n");

    g_nProgramMode = 0;
    Contents fitted = archived;
    Calculator calc;
    CalibrationRun run(calc);
    CalibrationFit fit;
    ASSERT_EQ(run.Fit(fitted, 4, fit), CalibrationRun::Outcome::kDone) << run.GetError();
    const Outcome out = Export("--fit " + strPath);
    EXPECT_EQ(out.nStatus, 0);
    EXPECT_EQ(out.strErr,
              "varid-export: Can't find coefficient K3\n"
              "varid-export: The Count failed, so the result values are the archived ones; the "
              "fit was made without it.\n");
    EXPECT_EQ(out.strOut, CsvExport::Format(fitted, 0, &fit));
    EXPECT_NE(out.strOut.find("\r\nK1,0.123,"), std::string::npos);
    EXPECT_NE(out.strOut.find("\r\nDeviationReferencePercent,0.5000,"), std::string::npos);
    for (int r = 0; r < panel::kRows; ++r)
        EXPECT_LE(std::fabs(std::stod(fitted.manualTable[r][5].ToStdString())), 0.3) << r;
}

// -o FILE.xlsx writes the workbook, also into a Cyrillic folder while the
// temporary folder has Cyrillic letters too (the library's narrow file names
// must never meet them); one that fails keeps the earlier file.
TEST_F(ExportCommandTest, AWorkbookReachesACyrillicPathAndAFailedOneKeepsTheEarlierFile) {
    Contents good = CountedAndSet(MakeDetectorData(0, kAllRows, {1, 6, 9, 10}));
    good.details.Set(CalibrationDetails::kSerialNumber, "001234");
    const std::string strArchive = WriteArchive("good.xml", good, 0);
    const std::string strBook = PathOf("\xD0\xBA\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0.XLSX");
    const TempDir temp("varid-temp \xD0\xBF\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0");
    const TempFolderVariables variables(temp.Name());
    for (const char* szOptions : {"", "--fit ", "--recount "}) {
        const Outcome run = Export(szOptions + strArchive + " -o " + Quoted(strBook));
        EXPECT_EQ(run.nStatus, 0) << szOptions << run.strErr;
        EXPECT_EQ(run.strOut, "");
    }
    const std::string strWritten = Slurp(strBook);
    EXPECT_EQ(strWritten.substr(0, 4), "PK\x03\x04");
    // A zip names its members as they stand.
    for (const char* szMember : {"xl/workbook.xml", "xl/worksheets/sheet1.xml",
                                 "xl/worksheets/sheet2.xml", "xl/sharedStrings.xml"})
        EXPECT_NE(strWritten.find(szMember), std::string::npos) << szMember;

    // More characters than a workbook's cell holds: the library refuses it.
    Contents tooLong = good;
    tooLong.table[2][1] = wxString(40000, 'x');
    const Outcome failed = Export(WriteArchive("long.xml", tooLong, 0) + " -o " + Quoted(strBook));
    EXPECT_EQ(failed.nStatus, 2);
    EXPECT_NE(failed.strErr.find("varid-export: Cannot write the file " + strBook + "!\n"),
              std::string::npos)
        << failed.strErr;
    EXPECT_EQ(Slurp(strBook), strWritten);
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path())) << "a scratch folder was left behind";
}

TEST_F(ExportCommandTest, DamagedMissingOrForeignFilesGiveStatusTwoAndTheirMessage) {
    const std::string strGood = archive::FormatArchive(archive_example::ExampleContents(), 0);
    const std::string strCut = WriteText("cut.xml", strGood.substr(0, strGood.size() / 2));
    const std::string strForeign = WriteText("foreign.xml", "<?xml version=\"1.0\"?><Other/>\n");
    const struct {
        std::string strPath;
        const char* szLocale;
        std::string strMessage;
    } cases[] = {
        {strCut, "C", "Cann't load file " + Unquoted(strCut) + "!"},
        {strCut, "ru_RU.UTF-8", "Не удалось загрузить файл " + Unquoted(strCut) + "!"},
        {Quoted(PathOf("missing.xml")), "C", "Cann't load file " + PathOf("missing.xml") + "!"},
        {Quoted(m_strDir), "C", "Cann't load file " + m_strDir + "!"},
        {strForeign, "uk_UA.UTF-8", "Неправильний формат файлу"},
    };
    for (const auto& c : cases) {
        const Outcome run = Export("--recount " + c.strPath, c.szLocale);
        EXPECT_EQ(run.nStatus, 2) << c.strPath;
        if (kLanguageFromLocale || std::string(c.szLocale) == "C") {
            EXPECT_EQ(run.strErr, "varid-export: " + c.strMessage + "\n");
        }
        EXPECT_EQ(run.strOut, "");
    }
}

TEST_F(ExportCommandTest, HostileArchivesNeverCrashIt) {
    const std::string strGood = archive::FormatArchive(archive_example::ExampleContents(), 0);
    std::vector<std::string> texts = {"", "\xEF\xBB\xBF", std::string(100000, '<'),
                                      strGood.substr(0, strGood.size() - 3) + "\xC3",
                                      std::string("<Archive>\0<Table>", 17)};
    const char* const values[] = {"nan", "inf", "-inf", "1e308", "-1e-308", "0", "-5", "1e999"};
    for (const char* szValue : values) {
        Contents c;
        for (int r = 0; r < panel::kRows; ++r)
            c.table[r] = {r < 4 ? "1" : "", szValue, r % 2 ? szValue : "1000", szValue, "", ""};
        c.boxes[panel::kBoxT] = szValue;
        c.manualTable[0][4] = "1";  // makes a Set of it too
        texts.push_back(archive::FormatArchive(c, 0));
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        const Outcome run = Export("--recount " + WriteText("hostile.xml", texts[i]));
        EXPECT_GE(run.nStatus, 0) << i;
        EXPECT_LE(run.nStatus, 3) << i;
    }
}

TEST_F(ExportCommandTest, HelpVersionAndWrongUsage) {
    Outcome run = Export("--help");
    EXPECT_EQ(run.nStatus, 0);
    EXPECT_EQ(
        run.strOut.rfind("Usage: varid-export ARCHIVE.xml [--recount] [--fit] [-o FILE]\n", 0), 0u);
    EXPECT_EQ(run.strErr, "");
    run = Export("--version");
    EXPECT_EQ(run.nStatus, 0);
    EXPECT_EQ(run.strOut, std::string("varid-export ") + VARID_VERSION + "\n");
    for (const char* szArgs : {"--frobnicate a.xml", "", "a.xml b.xml", "a.xml -o"}) {
        run = Export(szArgs);
        EXPECT_EQ(run.nStatus, 2) << szArgs;
        EXPECT_EQ(run.strOut, "") << szArgs;
        EXPECT_NE(run.strErr.find("Try \"varid-export --help\""), std::string::npos) << szArgs;
    }
}

#ifdef _WIN32
// The screen of a console of its own, with a code page that has no Cyrillic
// letters, after the command ran with its output and messages in it.
struct ConsoleRun {
    DWORD dwStatus = 0;
    std::wstring strScreen;  // rows joined: a wrapped line reads on
};

ConsoleRun RunInConsole(const std::string& strCommandLine) {
    ConsoleRun run;
    FreeConsole();
    if (!AllocConsole()) {
        ADD_FAILURE() << "no console: " << GetLastError();
        return run;
    }
    SetConsoleOutputCP(437);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE hScreen =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = start.hStdError = hScreen;
    PROCESS_INFORMATION process{};
    std::wstring strLine = wxString::FromUTF8(strCommandLine).ToStdWstring();
    if (CreateProcessW(nullptr, strLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start,
                       &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.dwStatus);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(hScreen, &info);
        for (SHORT nRow = 0; nRow <= info.dwCursorPosition.Y; ++nRow) {
            std::wstring strRow(info.dwSize.X, L' ');
            DWORD dwRead = 0;
            ReadConsoleOutputCharacterW(hScreen, strRow.data(), info.dwSize.X, COORD{0, nRow},
                                        &dwRead);
            run.strScreen += strRow.substr(0, dwRead);
        }
    } else {
        ADD_FAILURE() << "cannot start " << strCommandLine << ": " << GetLastError();
    }
    CloseHandle(hScreen);
    FreeConsole();
    return run;
}

// Bytes of UTF-8 would show as other letters in that code page.
TEST_F(ExportCommandTest, AConsoleShowsTheMessagesAndRecordsThemselves) {
    const std::string strMissing = PathOf("\xD0\xBD\xD0\xB5\xD1\x82.xml");
    ConsoleRun run = RunInConsole(Quoted(ExportRun::Program()) + " --recount " + Quoted(strMissing));
    EXPECT_EQ(2u, run.dwStatus);
    const std::wstring strMessage =
        wxString::FromUTF8("varid-export: Cann't load file " + strMissing + "!").ToStdWstring();
    EXPECT_NE(std::wstring::npos, run.strScreen.find(strMessage)) << wxString(run.strScreen);

    const std::string strArchive = WriteArchive("good.xml", archive_example::ExampleContents(), 0);
    const std::string strCsv = Export(strArchive).strOut;
    run = RunInConsole(Quoted(ExportRun::Program()) + " " + strArchive);
    EXPECT_EQ(0u, run.dwStatus);
    // The records from the first letter on: the byte-order mark, which the
    // console would show as letters, stays out.
    const std::string strFirstRecord = strCsv.substr(3, strCsv.find("\r\n") - 3);
    ASSERT_EQ("\xEF\xBB\xBFmode,", strCsv.substr(0, 8));
    EXPECT_EQ(0u, run.strScreen.find(wxString::FromUTF8(strFirstRecord).ToStdWstring()))
        << wxString(run.strScreen);
}
#endif

}  // namespace
