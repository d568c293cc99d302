#ifndef VARID_TESTS_CLI_EXPORTRUN_H
#define VARID_TESTS_CLI_EXPORTRUN_H

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/string.h>

#include "tests/archive/ArchiveTestData.h"

inline std::string Quoted(const std::string& strPath) { return "\"" + strPath + "\""; }
inline std::string Quoted(const wxString& strPath) { return Quoted(strPath.utf8_string()); }

// varid-export run as a process, as scripts run it, its standard streams
// caught in files of a folder of the test's.
class ExportRun {
public:
    struct Outcome {
        int nStatus;
        std::string strOut, strErr;
    };

    explicit ExportRun(const std::string& strDir) : m_strDir(strDir) {}

    // Built beside the tests; on Windows found from the running test, since
    // the build's own path is a Linux one there.
    static std::string Program() {
#ifdef _WIN32
        wchar_t szSelf[MAX_PATH];
        GetModuleFileNameW(nullptr, szSelf, MAX_PATH);
        return (std::filesystem::path(szSelf).parent_path() / "varid-export.exe").u8string();
#else
        return VARID_EXPORT;
#endif
    }

    // szLocale: the language and number format the command starts in. Windows
    // takes them from the user's settings, never from the environment: there
    // the command runs in the system's language whatever szLocale says.
    Outcome Run(const std::string& strArgs, const char* szLocale = "C") const {
        const std::string strSep(1, static_cast<char>(wxFILE_SEP_PATH));
        const std::string strOut = m_strDir + strSep + "stdout",
                          strErr = m_strDir + strSep + "stderr";
#ifdef _WIN32
        (void)szLocale;
        // cmd.exe drops the outer quotes of a line that starts with one.
        const std::string strCommand = "\"" + Quoted(Program()) + " " + strArgs + " >" +
                                       Quoted(strOut) + " 2>" + Quoted(strErr) + "\"";
        const int nStatus = _wsystem(wxString::FromUTF8(strCommand).wc_str());
#else
        const std::string strCommand =
            std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u LANGUAGE -u LC_MESSAGES LC_ALL=") +
            szLocale + " LANG=" + szLocale + " " + VARID_EXPORT + " " + strArgs + " >" +
            Quoted(strOut) + " 2>" + Quoted(strErr);
        const int nRaw = std::system(strCommand.c_str());
        EXPECT_TRUE(WIFEXITED(nRaw)) << strCommand << " ended by a signal";
        const int nStatus = WIFEXITED(nRaw) ? WEXITSTATUS(nRaw) : -1;
#endif
        return {nStatus, archive_example::Slurp(wxString::FromUTF8(strOut)),
                archive_example::Slurp(wxString::FromUTF8(strErr))};
    }

private:
    std::string m_strDir;
};

#endif
