// The real program binary, started twice in one place: the second copy must
// give way without touching the first one's files.
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/app/TestFiles.h"
#include "tests/app/XWindows.h"

namespace {

// Every copy started by a test; whatever still runs when the test ends is
// killed, so no copy outlives it holding the test's output open.
std::vector<pid_t> g_started;

pid_t StartProgram(const std::string& strDir) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(strDir.c_str()) != 0) _exit(90);
        setenv("HOME", (strDir + "/home").c_str(), 1);
        execl(VARID_EXE, VARID_EXE, static_cast<char*>(nullptr));
        _exit(91);
    }
    g_started.push_back(pid);
    return pid;
}

// The exit code, or -1 when the process died by a signal or was still running
// after the timeout (then it is killed).
int WaitExit(pid_t pid, int nSeconds) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WaitFor(const std::function<bool()>& condition, int nSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

struct FileState {
    bool bExists;
    std::string strText;
    long long nMtimeNs;
    bool operator==(const FileState& o) const {
        return bExists == o.bExists && strText == o.strText && nMtimeNs == o.nMtimeNs;
    }
};

FileState StateOf(const std::string& strPath) {
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0) return {false, "", 0};
    return {true, ReadFile(strPath), st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
}

// Keeps one connection to the display open for the whole test: an X server
// resets when its last client leaves, and a program connecting just then fails.
class SingleInstance : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_display.IsOpen()) << "no display"; }
    void TearDown() override {
        for (pid_t pid : g_started) {
            if (waitpid(pid, nullptr, WNOHANG) == 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
        g_started.clear();
    }
    DisplayConnection m_display;
};

}  // namespace

TEST_F(SingleInstance, SecondCopyExitsWithFailureAndChangesNoFile) {
    const std::string strDir = MakeScratchDir();
    const std::string strIni = strDir + "/kevro_varid.ini";
    const std::string strLastSave = strDir + "/varid_last_save.xml";
    WriteFile(strIni, "[path]\ndefault_mode=1\n");
    WriteFile(strLastSave, "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Archive />\n");

    const pid_t first = StartProgram(strDir);
    ASSERT_TRUE(WaitFor([&] { return HasMappedWindow(first); }, 30))
        << "the first copy did not show its window";
    const FileState iniBefore = StateOf(strIni);
    const FileState lastSaveBefore = StateOf(strLastSave);

    const pid_t second = StartProgram(strDir);
    const int nSecondExit = WaitExit(second, 30);
    EXPECT_NE(nSecondExit, 0);
    EXPECT_NE(nSecondExit, -1) << "the second copy kept running or crashed";
    EXPECT_TRUE(StateOf(strIni) == iniBefore) << ReadFile(strIni);
    EXPECT_TRUE(StateOf(strLastSave) == lastSaveBefore) << ReadFile(strLastSave);

    // The first copy is untouched by all this and closes normally, writing
    // its settings: the files the second one left alone are not read-only.
    EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0) << "the first copy has gone";
    ASSERT_TRUE(RequestClose(first));
    EXPECT_EQ(WaitExit(first, 30), 0);
    const std::map<std::string, std::string> ini = ReadIni(strIni);
    EXPECT_EQ(ini.count("path/is_remember"), 1u) << ReadFile(strIni);
    EXPECT_EQ(ini.count("path/default_mode") ? ini.at("path/default_mode") : "", "1");
    EXPECT_FALSE(StateOf(strLastSave) == lastSaveBefore)
        << "closing did not write the last-save file";
}

TEST_F(SingleInstance, CopiesInDifferentHomesDoNotExcludeEachOther) {
    const std::string strDirA = MakeScratchDir();
    const std::string strDirB = MakeScratchDir();
    const pid_t a = StartProgram(strDirA);
    const pid_t b = StartProgram(strDirB);
    EXPECT_TRUE(WaitFor([&] { return HasMappedWindow(a) && HasMappedWindow(b); }, 30));
    RequestClose(a);
    RequestClose(b);
    EXPECT_EQ(WaitExit(a, 30), 0);
    EXPECT_EQ(WaitExit(b, 30), 0);
    // Each wrote its own settings in its own working directory.
    EXPECT_TRUE(FileExists(strDirA + "/kevro_varid.ini"));
    EXPECT_TRUE(FileExists(strDirB + "/kevro_varid.ini"));
}
