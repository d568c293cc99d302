// The summary of many archives: a folder of good, foreign and damaged files
// read in one run, its rows and skipped files, its CSV, the sheet names of
// the instruments' histories, and the command's exit statuses.
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include <gtest/gtest.h>
#include <wx/filefn.h>

#include "archive/ArchiveDocument.h"
#include "cli/ArchiveSummary.h"
#include "tests/archive/ArchiveTestData.h"
#include "tests/cli/ExportRun.h"
#include "testsupport/KnownPanel.h"
#include "testsupport/TempDir.h"

using F = CalibrationDetails::Field;
using panel::Contents;

namespace {

const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

// An archive as the program leaves it after a Count, with a record.
Contents Counted(int nMode, const char* pszSerial, const char* pszDate) {
    Contents c = PanelAfterCount(MakeDetectorData(nMode, kAllRows, {1, 6, 9, 10}));
    c.details.Set(F::kSerialNumber, pszSerial);
    c.details.Set(F::kCalibrationDate, pszDate);
    c.details.Set(F::kInstrument, wxString::FromUTF8("\xD0\x9C\xD0\x9A\xD0\xA1"));
    c.details.Set(F::kOperator, "Ivanov");
    return c;
}

// The folder of the case: good archives of both modes and of three
// serials, a broken file, a foreign XML file, an empty file, a folder named
// x.xml holding one more archive, and a file over the size cap.
class SummaryFolder : public testing::Test {
protected:
    TempDir m_dir{"varid summary \xD1\x81\xD0\xB2\xD0\xBE\xD0\xB4"};
    wxString PathOf(const std::string& strName) const {
        return m_dir.Name() + wxFILE_SEP_PATH + wxString::FromUTF8(strName);
    }
    void Write(const std::string& strName, const Contents& c, int nMode) {
        ASSERT_TRUE(archive::WriteArchiveFile(PathOf(strName), c, nMode));
    }
    void SetUp() override {
        Write("b-2025.xml", Counted(0, "S-1", "2025-03-04"), 0);
        Write("a-2026.xml", Counted(1, "S-1", "2026-03-04"), 1);
        Write("c.xml", Counted(0, "s-1", "2024-01-01"), 0);  // another serial, same sheet name
        Write("d.xml", Counted(1, "A/B:7", ""), 1);
        Write("no-serial.xml", Counted(0, "", "2026-01-01"), 0);
        ASSERT_TRUE(wxMkdir(PathOf("x.xml")));
        Write("x.xml/inside.xml", Counted(0, "S-1", "2025-09-09"), 0);
        archive_example::Spit(PathOf("broken.xml"), "<Archive><Table>");
        archive_example::Spit(PathOf("foreign.xml"), "<html><body/></html>");
        archive_example::Spit(PathOf("empty.xml"), "");
        archive_example::Spit(PathOf("huge.xml"), archive::FormatArchive(Counted(0, "H", ""), 0));
        std::filesystem::resize_file(TempDir::ToPath(PathOf("huge.xml")),
                                     archive::kMaxArchiveBytes + 1);
        archive_example::Spit(PathOf("notes.txt"), "not an archive's name");
    }
};

TEST_F(SummaryFolder, EveryArchiveIsARowAndEveryOtherFileIsSkippedWithItsReason) {
    std::vector<wxString> vecFiles;
    wxString strMissing;
    ASSERT_TRUE(ArchiveSummary::FindFiles({m_dir.Name()}, vecFiles, strMissing));
    ArchiveSummary summary(true);
    size_t nCalls = 0;
    ASSERT_TRUE(summary.Run(vecFiles, [&](size_t nDone, size_t nTotal) {
        EXPECT_EQ(++nCalls, nDone);
        EXPECT_EQ(vecFiles.size(), nTotal);
        return true;
    }));
    EXPECT_EQ(10u, nCalls);

    const std::vector<std::string>& names = ArchiveSummary::ColumnNames();
    auto column = [&names](const std::string& strName) {
        return static_cast<size_t>(std::find(names.begin(), names.end(), strName) - names.begin());
    };
    // Files first in name order, then the folders' files.
    const struct {
        const char* pszFile;
        const char* pszMode;
        const char* pszSerial;
    } expected[] = {
        {"a-2026.xml", "period", "S-1"},    {"b-2025.xml", "frequency", "S-1"},
        {"c.xml", "frequency", "s-1"},      {"d.xml", "period", "A/B:7"},
        {"no-serial.xml", "frequency", ""}, {"x.xml/inside.xml", "frequency", "S-1"},
    };
    const auto& rows = summary.GetRows();
    ASSERT_EQ(std::size(expected), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto& f = rows[i].vecFields;
        ASSERT_EQ(names.size(), f.size());
        SCOPED_TRACE(expected[i].pszFile);
        // Absolute, ending in the file's own path below the folder.
        wxString strBelow = wxFILE_SEP_PATH + wxString(expected[i].pszFile);
        strBelow.Replace("/", wxString(wxFILE_SEP_PATH));
        EXPECT_TRUE(f[column("Path")].EndsWith(strBelow)) << f[column("Path")];
        EXPECT_TRUE(wxIsAbsolutePath(f[column("Path")])) << f[column("Path")];
        EXPECT_EQ(expected[i].pszMode, f[column("Mode")]);
        EXPECT_EQ(expected[i].pszSerial, f[column("SerialNumber")]);
        EXPECT_EQ("Ivanov", f[column("Operator")]);
        EXPECT_EQ("11", f[column("CompleteRows")]);
        EXPECT_EQ("agrees", f[column("Recount")]);
        // The largest deviation of the Count's rows, as the grid shows it.
        const Contents c = Counted(expected[i].pszMode[0] == 'p', "", "");
        double dMax = 0;
        for (const auto& row : c.table) {
            double d = 0;
            if (row[5].ToDouble(&d)) dMax = std::max(dMax, std::fabs(d));
        }
        EXPECT_EQ(wxString::Format("%.1f", dMax), f[column("MaxAbsAccuracyPercent")]);
        EXPECT_EQ(c.boxes[panel::kBoxK3], f[column("K3")]);
        // ISO 8601, local time.
        wxDateTime modified;
        EXPECT_TRUE(modified.ParseISOCombined(f[column("Modified")]));
    }

    std::map<std::string, std::string> skipped;
    for (const auto& s : summary.GetSkipped())
        skipped[s.strPath.AfterLast(wxFILE_SEP_PATH).utf8_string()] =
            archive::FailureCode(s.reason);
    const std::map<std::string, std::string> reasons = {{"broken.xml", "broken-xml"},
                                                        {"empty.xml", "empty"},
                                                        {"foreign.xml", "not-archive"},
                                                        {"huge.xml", "too-large"}};
    EXPECT_EQ(reasons, skipped);

    // Each serial's history in date order; archives without one have none.
    const auto history = summary.HistoryBySerial();
    ASSERT_EQ(3u, history.size());
    const std::vector<size_t> s1 = {1, 5, 0};  // 2025-03-04, 2025-09-09, 2026-03-04
    EXPECT_EQ(s1, history[0]);
    EXPECT_EQ(std::vector<size_t>{2}, history[1]);
    EXPECT_EQ(std::vector<size_t>{3}, history[2]);
    // The Count's final values, as the boxes show them.
    const Contents counted = Counted(0, "", "");
    EXPECT_EQ(counted.boxes[panel::kBoxDeadTime], rows[1].strDeadTime);
    EXPECT_EQ(counted.boxes[panel::kBoxRegistration], rows[1].strKeff);
}

TEST_F(SummaryFolder, TheCsvPutsTheSkippedFilesAfterTheRowsAtTheSameWidth) {
    std::vector<wxString> vecFiles;
    wxString strMissing;
    ASSERT_TRUE(ArchiveSummary::FindFiles({PathOf("b-2025.xml"), PathOf("broken.xml")}, vecFiles,
                                          strMissing));
    ArchiveSummary summary(false);
    summary.Run(vecFiles);
    const std::string csv = summary.FormatCsv();
    const size_t nWidth = ArchiveSummary::ColumnNames().size();
    std::vector<std::string> records;
    for (size_t nStart = 3, nEnd; (nEnd = csv.find("\r\n", nStart)) != std::string::npos;
         nStart = nEnd + 2)
        records.push_back(csv.substr(nStart, nEnd - nStart));
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ(0u, records[0].rfind("Path,Modified,Mode,CertificateNumber,", 0));
    EXPECT_EQ(0u, records[2].rfind("Skipped,Reason,", 0));
    EXPECT_NE(std::string::npos, records[3].find("broken.xml,broken-xml,"));
    for (const std::string& r : records)
        EXPECT_EQ(nWidth - 1, static_cast<size_t>(std::count(r.begin(), r.end(), ','))) << r;
    // Without --recount nothing is counted and the column stays empty.
    EXPECT_EQ(',', records[1].back());
    EXPECT_EQ("\xEF\xBB\xBF", csv.substr(0, 3));
}

TEST_F(SummaryFolder, ExitStatusSaysWhetherFilesWereSkipped) {
    const struct {
        std::string strArgs;
        int nStatus;
    } cases[] = {
        {"--summary " + Quoted(PathOf("b-2025.xml")) + " " + Quoted(PathOf("x.xml")), 0},
        {"--summary --recount " + Quoted(m_dir.Name().utf8_string()), 4},
        {"--summary " + Quoted(PathOf("missing").utf8_string()), 2},
        {"--summary", 2},
        {"--summary --fit " + Quoted(PathOf("c.xml").utf8_string()), 2},
        {"--summary " + Quoted(PathOf("c.xml").utf8_string()) + " -o " +
             Quoted(PathOf("no/such/folder/out.csv").utf8_string()),
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strArgs);
        const ExportRun::Outcome run = ExportRun(m_dir.Name().utf8_string()).Run(c.strArgs);
        EXPECT_EQ(c.nStatus, run.nStatus) << run.strErr;
        if (c.nStatus == 0) {
            EXPECT_EQ("", run.strErr);
        }
    }
    // -o writes the CSV into the file.
    const std::string strOut = PathOf("out.csv").utf8_string();
    const ExportRun::Outcome run =
        ExportRun(m_dir.Name().utf8_string())
            .Run("--summary " + Quoted(PathOf("c.xml").utf8_string()) + " -o " + Quoted(strOut));
    EXPECT_EQ(0, run.nStatus);
    EXPECT_EQ("", run.strOut);
    EXPECT_NE(std::string::npos, archive_example::Slurp(wxString::FromUTF8(strOut)).find("s-1"));
}

TEST(SummarySheets, NamesAreCleanedCutAndNumberedIgnoringCase) {
    const std::vector<wxString> taken = {"Summary", "Skipped"};
    const struct {
        std::vector<wxString> serials;
        std::vector<wxString> names;
    } cases[] = {
        {{"001234", "A/B:7", "[x]*?\\"}, {"001234", "A_B_7", "_x____"}},
        {{"summary", "SKIPPED", "Abc", "abc", "ABC"},
         {"summary (2)", "SKIPPED (2)", "Abc", "abc (2)", "ABC (3)"}},
        {{"'quoted'"}, {"_quoted_"}},
        {{wxString('x', 40), wxString('x', 35)}, {wxString('x', 31), wxString('x', 27) + " (2)"}},
        {{wxString::FromUTF8("\xD0\x9C\xD0\x9A\xD0\xA1-1"),
          wxString::FromUTF8("\xD0\xBC\xD0\xBA\xD1\x81-1")},
         {wxString::FromUTF8("\xD0\x9C\xD0\x9A\xD0\xA1-1"),
          wxString::FromUTF8("\xD0\xBC\xD0\xBA\xD1\x81-1 (2)")}},
    };
    for (const auto& c : cases) {
        const std::vector<wxString> names = ArchiveSummary::SheetNames(c.serials, taken);
        EXPECT_EQ(c.names, names);
        for (const wxString& str : names) EXPECT_LE(str.length(), 31u);
    }
}

}  // namespace
