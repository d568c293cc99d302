// The last session's rules without a window: which file a start reads, what
// becomes of one that cannot be read back, and where a close writes.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/utils.h>

#include "archive/LastSession.h"
#include "testsupport/TempDir.h"
#include "tests/archive/ArchiveTestData.h"

using namespace archive_example;
using panel::Contents;

namespace {

// An archive directory of its own, and a home folder of its own, so that no
// session-end file of the machine's user takes part.
class LastSessionTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_root.Path() / "archives");
        std::filesystem::create_directories(m_root.Path() / "home");
        m_strOldHome = wxGetHomeDir();
        wxSetEnv("HOME", m_root.Name() + wxFILE_SEP_PATH + "home");
    }
    void TearDown() override { wxSetEnv("HOME", m_strOldHome); }
    wxString Dir() const { return m_root.Name() + wxFILE_SEP_PATH + "archives"; }
    wxString LastSavePath() const { return Dir() + wxFILE_SEP_PATH + "varid_last_save.xml"; }

    TempDir m_root{"varid-last-session"};
    wxString m_strOldHome;
};

TEST_F(LastSessionTest, DamagedLastSaveFileIsKeptAside) {
    const std::string damaged = "<Archive><Table><Row><RealP>1";
    Spit(LastSavePath(), damaged);
    Contents contents;
    EXPECT_EQ(LastSession::Source::kNone, LastSession(Dir(), 0).Load(contents));
    EXPECT_EQ(Cells(Contents()), Cells(contents));
    wxArrayString files = FilesIn(Dir());
    ASSERT_EQ(1u, files.size());
    EXPECT_TRUE(files[0].StartsWith(LastSavePath() + ".bad-")) << files[0];
    EXPECT_EQ(damaged, Slurp(files[0]));

    // The next close writes a fresh last-save file beside the kept one.
    ASSERT_TRUE(LastSession(Dir(), 0).Save(ExampleContents()));
    files = FilesIn(Dir());
    ASSERT_EQ(2u, files.size());
    EXPECT_EQ(ExampleText("Fl", "Fr"), Slurp(LastSavePath()));
    EXPECT_EQ(damaged, Slurp(files[1]));

    // A file of the other mode is foreign too.
    Contents other;
    EXPECT_EQ(LastSession::Source::kNone, LastSession(Dir(), 1).Load(other));
    EXPECT_EQ(Cells(Contents()), Cells(other));
    EXPECT_FALSE(wxFileExists(LastSavePath()));
    EXPECT_EQ(2u, FilesIn(Dir()).size()) << "two damaged files kept, no last-save file";
}

TEST_F(LastSessionTest, AnOversizedLastSaveIsKeptAside) {
    // A valid archive in front, padding behind: only the size refuses it.
    Spit(LastSavePath(), archive::FormatArchive(ExampleContents(), 0));
    std::filesystem::resize_file(TempDir::ToPath(LastSavePath()), archive::kMaxArchiveBytes + 1);
    Contents contents;
    EXPECT_EQ(LastSession::Source::kNone, LastSession(Dir(), 0).Load(contents));
    EXPECT_EQ(Cells(Contents()), Cells(contents));
    const wxArrayString files = FilesIn(Dir());
    ASSERT_EQ(1u, files.size());
    EXPECT_TRUE(files[0].StartsWith(LastSavePath() + ".bad-")) << files[0];
}

}  // namespace
