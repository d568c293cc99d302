// The document module alone: exact printed form, round trips, reads of
// truncated text, and safe file replacement.
#include "archive/ArchiveDocument.h"
#include "tests/archive/ArchiveTestData.h"
#include "testsupport/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>
#include <wx/dir.h>
#include <wx/filename.h>
#include <wx/log.h>

using panel::Contents;
using namespace archive_example;

namespace {

struct ReadOutcome {
    bool bOk;
    wxString strError;
    Contents contents;
};

ReadOutcome Read(const std::string& text, int nMode = 0, Contents start = Distinct()) {
    ReadOutcome out{false, "", start};
    out.bOk = archive::ReadArchiveText(text, "src.xml", nMode, out.contents, out.strError);
    return out;
}

class ArchiveFiles : public testing::Test {
protected:
    void SetUp() override {
        m_pTemp =
            std::make_unique<TempDir>("varid archive \xD0\xB0\xD1\x80\xD1\x85\xD0\xB8\xD0\xB2");
        m_dir = m_pTemp->Name();
    }
    void TearDown() override { m_pTemp.reset(); }
    wxString PathOf(const char* szName) const { return m_dir + wxFILE_SEP_PATH + szName; }
    size_t FileCount() const {
        wxArrayString names;
        return wxDir::GetAllFiles(m_dir, &names, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
    }
    std::unique_ptr<TempDir> m_pTemp;
    wxString m_dir;
};

}  // namespace

TEST(ArchiveWriting, ExampleIsByteExactInBothModes) {
    EXPECT_EQ(ExampleText("Fl", "Fr"), archive::FormatArchive(ExampleContents(), 0));
    EXPECT_EQ(ExampleText("T1", "T2"), archive::FormatArchive(ExampleContents(), 1));
    // Any mode other than 0 means periods.
    EXPECT_EQ(ExampleText("T1", "T2"), archive::FormatArchive(ExampleContents(), 7));
    // The file copy of the example that the installed-package test exports
    // (kept with Linux line ends).
    const std::string strExample = ExampleText("Fl", "Fr");
    EXPECT_EQ(kLineBreak == "\n" ? strExample : OtherLineBreaks(strExample),
              Slurp(VARID_EXAMPLE_ARCHIVE));
}

TEST(ArchiveWriting, CheckColumnIsNormalisedAndValuesFoldedAndEscaped) {
    // One "_" per UTF-16 unit: a letter outside the basic plane takes two.
    EXPECT_EQ("K_l_", archive::FoldToAscii(wxString::FromUTF8("K\xD0\x94l\xC3\xA9")));
    EXPECT_EQ("a__b", archive::FoldToAscii(wxString::FromUTF8("a\xF0\x9F\x98\x80"
                                                              "b")));
    Contents c;
    const char* const ticks[] = {"1", "true", "False", "no", "", "0", "f", "false"};
    for (int r = 0; r < 8; ++r) c.table[r][0] = ticks[r];
    c.manualTable[5][0] = "x";
    c.table[4][1] = wxString::FromUTF8("a<b&c\xD0\x96");
    const std::string text = archive::FormatArchive(c, 0);
    EXPECT_NE(std::string::npos, text.find("<RealP>a&lt;b&amp;c_</RealP>"));
    for (unsigned char ch : text) EXPECT_LT(ch, 0x80);

    const ReadOutcome back = Read(text);
    ASSERT_TRUE(back.bOk) << back.strError;
    for (int r = 0; r < 8; ++r) EXPECT_EQ(r < 4 ? "1" : "", back.contents.table[r][0]) << ticks[r];
    EXPECT_EQ("1", back.contents.manualTable[5][0]);
}

TEST(ArchiveReading, RoundTripGivesEveryCellAndBoxBack) {
    for (int nMode : {0, 1}) {
        const ReadOutcome out = Read(archive::FormatArchive(Distinct(), nMode), nMode, Contents());
        ASSERT_TRUE(out.bOk) << out.strError;
        EXPECT_EQ(Cells(Distinct()), Cells(out.contents)) << "mode " << nMode;
    }
    // Every build reads the line ends of both platforms.
    for (const std::string& text :
         {ExampleText("Fl", "Fr"), OtherLineBreaks(ExampleText("Fl", "Fr"))}) {
        const ReadOutcome out = Read(text, 0, Distinct());
        ASSERT_TRUE(out.bOk) << out.strError;
        EXPECT_EQ(Cells(ExampleContents()), Cells(out.contents));
    }
    // An empty panel's file empties everything, since every element is present.
    const ReadOutcome empty = Read(archive::FormatArchive(Contents(), 0));
    ASSERT_TRUE(empty.bOk);
    EXPECT_EQ(Cells(Contents()), Cells(empty.contents));
}

namespace {

// A record whose every field differs and holds what the XML library would
// change: Cyrillic letters, the reserved characters, two blanks in a row and,
// in the notes, line breaks and an indented line.
CalibrationDetails HardRecord() {
    CalibrationDetails d;
    for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields())
        d.Set(info.field,
              wxString::FromUTF8("\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80  <&>\"' ") + info.pszName);
    d.Set(CalibrationDetails::kNotes,
          wxString::FromUTF8("\xD0\xA1\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB0 1\n"
                             "   indented  line\r\n\n\tlast"));
    return d;
}

}  // namespace

TEST(ArchiveDetails, EveryFieldReadsBackExactlyInBothModes) {
    for (int nMode : {0, 1}) {
        Contents c = Distinct();
        c.details = HardRecord();
        const std::string text = archive::FormatArchive(c, nMode);
        // The grids and boxes stay ASCII; only the record is UTF-8.
        const size_t nDetails = text.find("<Details>");
        ASSERT_NE(std::string::npos, nDetails);
        ASSERT_GT(nDetails, text.find("</Coefficients>"));
        for (size_t i = 0; i < nDetails; ++i) ASSERT_LT(static_cast<unsigned char>(text[i]), 0x80);
        const ReadOutcome out = Read(text, nMode, Contents());
        ASSERT_TRUE(out.bOk) << out.strError;
        for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields())
            EXPECT_EQ(c.details.Get(info.field).utf8_string(),
                      out.contents.details.Get(info.field).utf8_string())
                << info.pszName << ", mode " << nMode;
        EXPECT_EQ(Cells(c), Cells(out.contents));
        // On the platform's line ends too, and beside a commented-out record.
        const ReadOutcome other = Read(OtherLineBreaks(text), nMode, Contents());
        ASSERT_TRUE(other.bOk);
        EXPECT_TRUE(other.contents.details == c.details) << "mode " << nMode;
        std::string commented = text;
        commented.insert(commented.find("<Archive>"),
                         "<!-- <Details><Notes>not  this</Notes></Details> -->\n");
        const ReadOutcome beside = Read(commented, nMode, Contents());
        ASSERT_TRUE(beside.bOk);
        EXPECT_TRUE(beside.contents.details == c.details) << "mode " << nMode;
    }
}

TEST(ArchiveDetails, AFileReplacesTheItemFieldsAndTheLaboratoryFieldsItNames) {
    Contents filled = Distinct();
    filled.details = HardRecord();
    const struct {
        const char* pszCase;
        std::string text;
        bool bLabKept;
    } cases[] = {
        // An older archive: no record at all.
        {"no Details", WithoutDetails(ExampleText("Fl", "Fr")), true},
        // A record of only some fields.
        {"serial only",
         "<Archive><Table/><Coefficients/><Details><SerialNumber>42</SerialNumber>"
         "<Operator>Ivanov</Operator></Details></Archive>",
         true},
        // A record that names every field, empty.
        {"every field empty", ExampleText("Fl", "Fr"), false},
    };
    for (const auto& c : cases) {
        const ReadOutcome out = Read(c.text, 0, filled);
        ASSERT_TRUE(out.bOk) << c.pszCase << ": " << out.strError;
        const CalibrationDetails& d = out.contents.details;
        for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields()) {
            wxString strExpected;
            const bool bNamed = c.text.find("Ivanov") != std::string::npos;
            if (bNamed && info.field == CalibrationDetails::kSerialNumber)
                strExpected = "42";
            else if (bNamed && info.field == CalibrationDetails::kOperator)
                strExpected = "Ivanov";
            else if (!CalibrationDetails::IsItemField(info.field) && c.bLabKept)
                strExpected = filled.details.Get(info.field);
            EXPECT_EQ(strExpected.utf8_string(), d.Get(info.field).utf8_string())
                << c.pszCase << ": " << info.pszName;
        }
    }
}

// A hand-made file's value, once read, is what its own written file reads
// back: the library drops a stray "&" and leaves the blanks around it, which
// the next read would condense.
TEST(ArchiveReading, AValueReadsBackAsItsWrittenFileGivesIt) {
    for (const char* pszValue : {"b0?xe  & e>effi", "a &", "& a", " a  b ", "a&#x20;&#x20;b"}) {
        const std::string text = std::string("<Archive><Table/><Coefficients><T>") + pszValue +
                                 "</T></Coefficients></Archive>";
        const ReadOutcome once = Read(text, 0, Contents());
        ASSERT_TRUE(once.bOk) << pszValue;
        const ReadOutcome again = Read(archive::FormatArchive(once.contents, 0), 0, Contents());
        ASSERT_TRUE(again.bOk);
        EXPECT_EQ(once.contents.boxes[panel::kBoxT], again.contents.boxes[panel::kBoxT])
            << pszValue;
    }
}

// The XML library steps over a whole UTF-8 sequence even when the text ends
// inside it; run under the memory checker this shows any read past the input.
TEST(ArchiveReading, TruncatedUtf8SequenceAtTheEnd) {
    for (const char* szHead : {"<Archive><Table><Row><RealP>", "<Archive>", "<Archive a=\""}) {
        for (int nPad = 16; nPad < 48; ++nPad) {
            for (const char* szTail : {"\xF0", "\xE0\x80", "\xC3"}) {
                const ReadOutcome out = Read(szHead + std::string(nPad, 'x') + szTail);
                EXPECT_FALSE(out.bOk);
                EXPECT_EQ("Cann't load file src.xml!", out.strError);
            }
        }
    }
}

#ifndef _WIN32
// Root ignores directory permissions, so the attempt runs as an unprivileged
// user in a child process there.
bool WriteFails(const wxString& strPath) {
    if (geteuid() != 0) return !archive::WriteArchiveFile(strPath, Distinct(), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        _exit(archive::WriteArchiveFile(strPath, Distinct(), 0) ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

TEST_F(ArchiveFiles, AFileIsReplacedWholeOrNotAtAll) {
    const wxString strPath = PathOf("keep.xml");
    ASSERT_TRUE(archive::WriteArchiveFile(strPath, Distinct(), 0));
    ASSERT_TRUE(archive::WriteArchiveFile(strPath, ExampleContents(), 0));
    EXPECT_EQ(ExampleText("Fl", "Fr"), Slurp(strPath));
    EXPECT_EQ(1u, FileCount()) << "no temporary is left behind";
#ifndef _WIN32
    struct stat st;
    ASSERT_EQ(0, stat(strPath.fn_str(), &st));
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(0666 & ~mask, st.st_mode & 0777) << "a new archive gets the usual file mode";

    // A read-only directory: the earlier file stays, no new file appears.
    ASSERT_EQ(0, chmod(m_dir.fn_str(), 0555));
    EXPECT_TRUE(WriteFails(strPath));
    EXPECT_EQ(ExampleText("Fl", "Fr"), Slurp(strPath));
    EXPECT_TRUE(WriteFails(PathOf("new.xml")));
    EXPECT_EQ(1u, FileCount()) << "neither a new file nor a temporary";
    chmod(m_dir.fn_str(), 0700);
#endif
}

TEST_F(ArchiveFiles, FilesAboveSixteenMebibytesAreRefusedUnread) {
    // A valid archive padded with zeros: only the size decides.
    const std::string text = archive::FormatArchive(ExampleContents(), 0);
    const struct {
        long long nSize;
        const char* szError;  // empty: read
    } cases[] = {
        {0, ""},
        {archive::kMaxArchiveBytes, ""},
        {archive::kMaxArchiveBytes + 1,
         "The file %s is larger than 16 MiB: it is not an archive "
         "of this program."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nSize);
        const wxString strPath = PathOf("padded.xml");
        std::ofstream(strPath.fn_str(), std::ios::binary) << text;
        if (c.nSize) {
            std::filesystem::resize_file(TempDir::ToPath(strPath), c.nSize);
        }
        Contents io = Distinct();
        wxString strError;
        const archive::LoadStatus status = archive::ReadArchiveFile(strPath, 0, io, strError);
        if (*c.szError) {
            EXPECT_EQ(archive::LoadStatus::kFailed, status);
            EXPECT_EQ(wxString::Format(c.szError, strPath), strError);
            EXPECT_EQ(Cells(Distinct()), Cells(io));
        } else {
            EXPECT_EQ(archive::LoadStatus::kLoaded, status) << strError;
            EXPECT_EQ(Cells(ExampleContents()), Cells(io));
        }
    }
}

TEST_F(ArchiveFiles, AFailedWriteGivesTheSystemsReason) {
    std::ofstream(PathOf("plain").fn_str()) << "x";
    // The system's own words, read with the system's own error codes.
    const struct {
        const char* szPath;
        wxString strReason;
    } cases[] = {
#ifdef _WIN32
        {"plain\\a.xml", wxSysErrorMsgStr(ERROR_DIRECTORY).BeforeLast('.')},
        {"gone\\a.xml", wxSysErrorMsgStr(ERROR_DIRECTORY).BeforeLast('.')},
#else
        {"plain/a.xml", "Not a directory"},
        {"gone/a.xml", "No such file or directory"},
#endif
    };
    for (const auto& c : cases) {
        wxString strReason;
        EXPECT_FALSE(archive::WriteArchiveFile(PathOf(c.szPath), Distinct(), 0, &strReason));
        EXPECT_EQ(c.strReason, strReason) << c.szPath;
    }
    wxString strReason = "unchanged";
    EXPECT_TRUE(archive::WriteArchiveFile(PathOf("a.xml"), Distinct(), 0, &strReason));
    EXPECT_EQ("unchanged", strReason);
}
