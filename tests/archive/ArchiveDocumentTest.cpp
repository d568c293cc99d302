// The document module alone: exact printed form, round trips, and how damaged
// or unusual documents are read.
#include "archive/ArchiveDocument.h"
#include "tests/archive/ArchiveExample.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>

using archive::Contents;
using archive::LoadStatus;
using archive_example::ExampleText;

namespace {

Contents ExampleContents() {
    Contents c;
    c.table[0] = {"1", "100", "98.4", "98.9", "", ""};
    c.table[1] = {"", "200", "195.1", "", "", ""};
    c.boxes[archive::kBoxT] = "0.5";
    return c;
}

// Every cell and box distinct, so a value landing in the wrong place shows.
Contents FilledContents() {
    Contents c;
    for (int r = 0; r < archive::kRows; ++r) {
        c.table[r][0] = r % 3 == 0 ? "1" : "";
        c.manualTable[r][0] = r % 4 == 1 ? "1" : "";
        for (int col = 1; col < archive::kCols; ++col) {
            c.table[r][col] = wxString::Format("%d.%d", r + 1, col);
            c.manualTable[r][col] = wxString::Format("m%d.%d", r + 1, col);
        }
    }
    for (int i = 0; i < archive::kBoxes; ++i) c.boxes[i] = wxString::Format("b%d", i);
    return c;
}

// Contents that differ from anything a test document holds.
Contents Sentinel() {
    Contents c;
    for (int r = 0; r < archive::kRows; ++r)
        for (int col = 0; col < archive::kCols; ++col) {
            c.table[r][col] = wxString::Format("old%d/%d", r, col);
            c.manualTable[r][col] = wxString::Format("oldm%d/%d", r, col);
        }
    for (int i = 0; i < archive::kBoxes; ++i) c.boxes[i] = wxString::Format("oldb%d", i);
    return c;
}

bool Same(const Contents& a, const Contents& b) {
    return a.table == b.table && a.manualTable == b.manualTable && a.boxes == b.boxes;
}

std::string RowXml(const std::string& inner) { return "<Row>" + inner + "</Row>"; }

std::string FullRow(int n) {
    const std::string v = std::to_string(n);
    return RowXml("<ChooseValue>1</ChooseValue><RealP>p" + v + "</RealP><Fl>l" + v + "</Fl><Fr>r" +
                  v + "</Fr><CorrectP>c" + v + "</CorrectP><Accuracy>a" + v + "</Accuracy>");
}

std::string Doc(const std::string& tableRows, const std::string& rest = "<Coefficients/>") {
    return "<?xml version=\"1.0\" ?><Archive><Table>" + tableRows + "</Table>" + rest +
           "</Archive>";
}

struct ReadOutcome {
    bool bOk;
    wxString strError;
    Contents contents;
};

ReadOutcome Read(const std::string& text, int nMode = 0, Contents start = Sentinel()) {
    ReadOutcome out{false, "", start};
    out.bOk = archive::ReadArchiveText(text, "src.xml", nMode, out.contents, out.strError);
    return out;
}

void ExpectFailedUnchanged(const ReadOutcome& out, const wxString& strMessage) {
    EXPECT_FALSE(out.bOk);
    EXPECT_EQ(strMessage, out.strError);
    EXPECT_TRUE(Same(Sentinel(), out.contents)) << "a failed read changed the tables";
}

class ArchiveFiles : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/varid-archive-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        m_dir = tmpl;
    }
    void TearDown() override {
        chmod(m_dir.fn_str(), 0700);
        wxFileName::Rmdir(m_dir, wxPATH_RMDIR_RECURSIVE);
    }
    wxString PathOf(const char* szName) const { return m_dir + wxFILE_SEP_PATH + szName; }
    static std::string Slurp(const wxString& strPath) {
        std::ifstream in(strPath.fn_str(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void Spit(const wxString& strPath, const std::string& text) {
        std::ofstream(strPath.fn_str(), std::ios::binary) << text;
    }
    wxArrayString Entries() const {
        wxArrayString names;
        wxDir::GetAllFiles(m_dir, &names, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
        return names;
    }
    wxString m_dir;
};

}  // namespace

TEST(ArchiveWriting, ExampleIsByteExactInBothModes) {
    EXPECT_EQ(ExampleText("Fl", "Fr"), archive::FormatArchive(ExampleContents(), 0));
    EXPECT_EQ(ExampleText("T1", "T2"), archive::FormatArchive(ExampleContents(), 1));
    // Any mode other than 0 means periods.
    EXPECT_EQ(ExampleText("T1", "T2"), archive::FormatArchive(ExampleContents(), 7));
}

TEST(ArchiveWriting, ValuesAreFoldedToAsciiAndEscaped) {
    // One "_" per UTF-16 unit: a letter outside the basic plane takes two.
    EXPECT_EQ("K_l_", archive::FoldToAscii(wxString::FromUTF8("K\xD0\x94l\xC3\xA9")));
    EXPECT_EQ("a__b", archive::FoldToAscii(wxString::FromUTF8("a\xF0\x9F\x98\x80"
                                                              "b")));
    EXPECT_EQ("1 <&>", archive::FoldToAscii("1 <&>"));

    Contents c;
    c.boxes[archive::kBoxManualK2] = wxString::FromUTF8(
        "\xD0\x9A"
        "3");
    c.table[4][1] = "a<b&c";
    const std::string text = archive::FormatArchive(c, 0);
    EXPECT_NE(std::string::npos, text.find("<ManualK2>_3</ManualK2>"));
    EXPECT_NE(std::string::npos, text.find("<RealP>a&lt;b&amp;c</RealP>"));
    for (unsigned char ch : text) EXPECT_LT(ch, 0x80);
}

TEST(ArchiveWriting, CheckColumnIsNormalised) {
    Contents c;
    c.table[0][0] = "true";
    c.table[1][0] = "false";
    c.table[2][0] = "f";
    c.table[3][0] = "0";
    c.manualTable[5][0] = "x";
    Contents back;
    wxString strError;
    ASSERT_TRUE(archive::ReadArchiveText(archive::FormatArchive(c, 0), "", 0, back, strError));
    EXPECT_EQ("1", back.table[0][0]);
    for (int r = 1; r < 4; ++r) EXPECT_EQ("", back.table[r][0]) << r;
    EXPECT_EQ("1", back.manualTable[5][0]);
}

TEST(ArchiveReading, RoundTripGivesEveryCellAndBoxBack) {
    for (int nMode : {0, 1}) {
        const ReadOutcome out = Read(archive::FormatArchive(FilledContents(), nMode), nMode);
        ASSERT_TRUE(out.bOk) << out.strError;
        EXPECT_TRUE(Same(FilledContents(), out.contents)) << "mode " << nMode;
    }
    // An empty panel's file empties everything, since every element is present.
    const ReadOutcome empty = Read(archive::FormatArchive(Contents(), 0));
    ASSERT_TRUE(empty.bOk);
    EXPECT_TRUE(Same(Contents(), empty.contents));
}

TEST(ArchiveReading, OtherModeFails) {
    ExpectFailedUnchanged(Read(archive::FormatArchive(FilledContents(), 0), 1),
                          "Wrong format file");
    ExpectFailedUnchanged(Read(archive::FormatArchive(FilledContents(), 1), 0),
                          "Wrong format file");
}

TEST(ArchiveReading, DamagedDocumentsFailAndChangeNothing) {
    const std::string good = archive::FormatArchive(FilledContents(), 0);
    ExpectFailedUnchanged(Read(""), "Cann't load file src.xml!");
    ExpectFailedUnchanged(Read("   \n"), "Cann't load file src.xml!");
    ExpectFailedUnchanged(Read(good.substr(0, good.size() / 2)), "Cann't load file src.xml!");
    ExpectFailedUnchanged(Read("<Archive><Table>"), "Cann't load file src.xml!");
    ExpectFailedUnchanged(Read("<Other><Table/><Coefficients/></Other>"), "Wrong format file");
    ExpectFailedUnchanged(Read("<Archive><Coefficients/></Archive>"), "Wrong format file");
    ExpectFailedUnchanged(Read(Doc(FullRow(1), "")), "Wrong format file");
    // Rows read before the faulty one are not kept either.
    ExpectFailedUnchanged(Read(Doc(FullRow(1) + RowXml("<ChooseValue/><Fl>1</Fl>"))),
                          "Wrong format file");
    ExpectFailedUnchanged(Read(Doc(FullRow(1) + RowXml("<RealP>1</RealP><Fl>1</Fl>"))),
                          "Wrong format file");
    ExpectFailedUnchanged(Read(Doc(RowXml("<ChooseValue/><RealP>1</RealP><Fr>1</Fr>"))),
                          "Wrong format file");
    // Every child node of a table is a row, so a comment is a row without cells.
    ExpectFailedUnchanged(Read(Doc(FullRow(1) + "<!-- note -->" + FullRow(2))),
                          "Wrong format file");
    ExpectFailedUnchanged(Read(Doc(FullRow(1) + "stray" + FullRow(2))), "Wrong format file");
    // A bad manual table fails after the measurement table was read: still nothing kept.
    ExpectFailedUnchanged(Read(Doc(FullRow(1), "<ManualTable><Row/></ManualTable><Coefficients/>")),
                          "Wrong format file");
}

TEST(ArchiveReading, MissingOptionalValuesKeepWhatWasThere) {
    const ReadOutcome out =
        Read(Doc(RowXml("<ChooseValue>1</ChooseValue><RealP>7</RealP><Fl>8</Fl>"),
                 "<Coefficients><K2>2.5</K2><ManualK1>0.1</ManualK1></Coefficients>"));
    ASSERT_TRUE(out.bOk) << out.strError;
    Contents expected = Sentinel();
    expected.table[0][0] = "1";
    expected.table[0][1] = "7";
    expected.table[0][2] = "8";
    expected.boxes[archive::kBoxK2] = "2.5";
    expected.boxes[archive::kBoxManualK1] = "0.1";
    EXPECT_TRUE(Same(expected, out.contents));
}

TEST(ArchiveReading, RowCountsAndFirstOfANameCounts) {
    std::string three, fourteen;
    for (int i = 0; i < 3; ++i) three += FullRow(i);
    for (int i = 0; i < 14; ++i) fourteen += FullRow(i);

    const ReadOutcome few = Read(Doc(three));
    ASSERT_TRUE(few.bOk);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(wxString::Format("p%d", r), few.contents.table[r][1]);
    for (int r = 3; r < archive::kRows; ++r)
        EXPECT_EQ(Sentinel().table[r], few.contents.table[r]) << r;

    // Rows beyond the eleventh are ignored even when they are damaged.
    const ReadOutcome many = Read(Doc(fourteen + "<!-- after -->"));
    ASSERT_TRUE(many.bOk) << many.strError;
    for (int r = 0; r < archive::kRows; ++r) {
        EXPECT_EQ(wxString::Format("r%d", r), many.contents.table[r][3]);
        EXPECT_EQ(wxString::Format("a%d", r), many.contents.table[r][5]);
    }

    const ReadOutcome dup = Read(Doc(
        RowXml("<Fl>x</Fl><RealP>first</RealP><ChooseValue/><RealP>second</RealP><Fl>y</Fl>"),
        "<Coefficients><T>t1</T><T>t2</T></Coefficients><Coefficients><T>t3</T></Coefficients>"));
    ASSERT_TRUE(dup.bOk);
    EXPECT_EQ("first", dup.contents.table[0][1]);
    EXPECT_EQ("x", dup.contents.table[0][2]);
    EXPECT_EQ("t1", dup.contents.boxes[archive::kBoxT]);
}

TEST(ArchiveReading, ValuesAreTakenAsWritten) {
    const ReadOutcome out =
        Read(Doc(RowXml("<ChooseValue>true</ChooseValue><RealP>1&amp;2</RealP><Fl><b/>z</Fl><Fr/>"),
                 "<Coefficients><T>\xD0\x94</T></Coefficients>"));
    ASSERT_TRUE(out.bOk);
    EXPECT_EQ("true", out.contents.table[0][0]);
    EXPECT_TRUE(archive::IsTickedText(out.contents.table[0][0]));
    for (const char* sz : {"", "0", "f", "false"}) EXPECT_FALSE(archive::IsTickedText(sz)) << sz;
    for (const char* sz : {"1", "true", "False", "no"})
        EXPECT_TRUE(archive::IsTickedText(sz)) << sz;
    EXPECT_EQ("1&2", out.contents.table[0][1]);
    EXPECT_EQ("", out.contents.table[0][2]);  // first child not text
    EXPECT_EQ("", out.contents.table[0][3]);
    EXPECT_EQ(wxString::FromUTF8("\xD0\x94"), out.contents.boxes[archive::kBoxT]);
}

// The XML library steps over a whole UTF-8 sequence even when the text ends
// inside it; run under the memory checker this shows any read past the input.
TEST(ArchiveReading, TruncatedUtf8SequenceAtTheEnd) {
    for (const char* szHead : {"<Archive><Table><Row><RealP>", "<Archive>", "<Archive a=\""}) {
        for (int nPad = 16; nPad < 48; ++nPad) {
            for (const char* szTail : {"\xF0", "\xE0\x80", "\xC3"}) {
                const ReadOutcome out = Read(szHead + std::string(nPad, 'x') + szTail);
                EXPECT_FALSE(out.bOk);
                EXPECT_TRUE(out.strError.StartsWith("Cann't load file"));
            }
        }
    }
}

TEST(ArchiveReading, NoManualTableLeavesItAndCrLfReadsTheSame) {
    const ReadOutcome out = Read(Doc(FullRow(5)));
    ASSERT_TRUE(out.bOk);
    EXPECT_EQ(Sentinel().manualTable, out.contents.manualTable);

    std::string crlf;
    for (char ch : archive::FormatArchive(FilledContents(), 1)) {
        if (ch == '\n') crlf += '\r';
        crlf += ch;
    }
    const ReadOutcome windows = Read(crlf, 1);
    ASSERT_TRUE(windows.bOk);
    EXPECT_TRUE(Same(FilledContents(), windows.contents));
}

TEST_F(ArchiveFiles, FilesWriteAndReadBack) {
    const wxString strPath = PathOf("run.xml");
    ASSERT_TRUE(archive::WriteArchiveFile(strPath, ExampleContents(), 0));
    EXPECT_EQ(ExampleText("Fl", "Fr"), Slurp(strPath));
    // Replacing leaves exactly one file: no temporary is left behind.
    ASSERT_TRUE(archive::WriteArchiveFile(strPath, FilledContents(), 0));
    EXPECT_EQ(1u, Entries().size());

    Contents back;
    wxString strError;
    EXPECT_EQ(LoadStatus::kLoaded, archive::ReadArchiveFile(strPath, 0, back, strError));
    EXPECT_TRUE(Same(FilledContents(), back));

    struct stat st;
    ASSERT_EQ(0, stat(strPath.fn_str(), &st));
    mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(0666 & ~mask, st.st_mode & 0777) << "a new archive gets the usual file mode";
}

TEST_F(ArchiveFiles, MissingFileAndDirectoryAreNoFailure) {
    Contents c = Sentinel();
    wxString strError;
    EXPECT_EQ(LoadStatus::kNoFile, archive::ReadArchiveFile(PathOf("none.xml"), 0, c, strError));
    EXPECT_EQ(LoadStatus::kNoFile, archive::ReadArchiveFile(m_dir, 0, c, strError));
    EXPECT_TRUE(Same(Sentinel(), c));

    Spit(PathOf("empty.xml"), "");
    EXPECT_EQ(LoadStatus::kFailed, archive::ReadArchiveFile(PathOf("empty.xml"), 0, c, strError));
    EXPECT_EQ("Cann't load file " + PathOf("empty.xml") + "!", strError);
    EXPECT_TRUE(Same(Sentinel(), c));
}

// Root ignores directory permissions, so the attempt runs as an unprivileged
// user in a child process there.
bool WriteFails(const wxString& strPath) {
    if (geteuid() != 0) return !archive::WriteArchiveFile(strPath, FilledContents(), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        _exit(archive::WriteArchiveFile(strPath, FilledContents(), 0) ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(ArchiveFiles, FailedWriteLeavesEarlierFileIntact) {
    const wxString strPath = PathOf("keep.xml");
    ASSERT_TRUE(archive::WriteArchiveFile(strPath, ExampleContents(), 0));
    ASSERT_EQ(0, chmod(m_dir.fn_str(), 0555));
    EXPECT_TRUE(WriteFails(strPath));
    EXPECT_EQ(ExampleText("Fl", "Fr"), Slurp(strPath));
    EXPECT_TRUE(WriteFails(PathOf("new.xml")));
    EXPECT_FALSE(wxFileExists(PathOf("new.xml")));
    ASSERT_EQ(0, chmod(m_dir.fn_str(), 0700));
    EXPECT_FALSE(archive::WriteArchiveFile(PathOf("no/such/dir.xml"), FilledContents(), 0));
    // A directory in the way cannot be replaced by a file.
    ASSERT_TRUE(wxMkdir(PathOf("taken.xml")));
    EXPECT_FALSE(archive::WriteArchiveFile(PathOf("taken.xml"), FilledContents(), 0));
    EXPECT_TRUE(wxDirExists(PathOf("taken.xml")));
    EXPECT_EQ(1u, Entries().size()) << "only keep.xml is left as a file";
}
