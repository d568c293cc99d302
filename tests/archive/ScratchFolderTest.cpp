// The scratch folder of libraries that open files by narrow names: plain
// ASCII, writable by such a name, and gone afterwards, also when the user's
// temporary folder has Cyrillic letters.
#include "archive/ScratchFolder.h"

#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "testsupport/TempDir.h"
#include "testsupport/TempFolderVariables.h"

namespace {

bool IsAscii(const std::string& str) {
    for (unsigned char ch : str)
        if (ch < 0x20 || ch >= 0x7F) return false;
    return true;
}

TEST(ScratchFolder, IsPlainAsciiWritableByNarrowNameAndRemovedWhateverTheTemporaryFolder) {
    for (const char* szPrefix :
         {"varid-scratch", "varid-scratch-\xD0\xBF\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0"}) {
        SCOPED_TRACE(szPrefix);
        const TempDir base(szPrefix);
        const TempFolderVariables variables(base.Name());
        std::filesystem::path path;
        {
            const archive::ScratchFolder scratch;
            ASSERT_TRUE(scratch.IsOk());
            EXPECT_TRUE(IsAscii(scratch.GetPath())) << scratch.GetPath();
            path = std::filesystem::u8path(scratch.GetPath());
            if (IsAscii(base.Path().u8string())) {
                EXPECT_EQ(path.parent_path(), base.Path());
            }
            // As the library opens its files.
            FILE* pFile = std::fopen(scratch.PathOf("probe.bin").c_str(), "wb");
            ASSERT_NE(pFile, nullptr);
            EXPECT_GE(std::fputs("probe", pFile), 0);
            std::fclose(pFile);
            EXPECT_TRUE(std::filesystem::is_regular_file(path / "probe.bin"));
        }
        EXPECT_FALSE(std::filesystem::exists(path)) << path.u8string();
    }
}

}  // namespace
