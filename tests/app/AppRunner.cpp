#include "tests/app/AppRunner.h"
#include "tests/app/XWindows.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/log.h>

#include "app/App.h"
#include "ui/MainFrame.h"

namespace {

const char kSep = '\x1f';

std::string g_strAssertions;

void RecordAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    g_strAssertions += std::string(
        (file + ":" + wxString::Format("%d", line) + " " + func + ": " + cond + " " + msg + "; ")
            .utf8_str());
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) out += (c == '\n') ? std::string("\\n") : std::string(1, c);
    return out;
}

[[noreturn]] void RunChild(const std::string& strDir, const Scenario& scenario) {
    if (chdir(strDir.c_str()) != 0) _exit(90);
    setenv("HOME", (strDir + "/home").c_str(), 1);
    static int argc = 1;
    static char arg0[] = "varid";
    static char* argv[] = {arg0, nullptr};
    wxApp::SetInstance(new App);
    if (!wxEntryStart(argc, argv)) _exit(91);
    // A log message must not open a modal box that nobody will close.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler(RecordAssert);

    Observations obs;
    const bool bStarted = wxTheApp->CallOnInit();
    if (bStarted) {
        MainFrame* pFrame = wxDynamicCast(wxTheApp->GetTopWindow(), MainFrame);
        if (pFrame && scenario) scenario(pFrame, obs);
        if (pFrame && !pFrame->IsBeingDeleted()) pFrame->Close();
        wxTheApp->OnRun();
        wxTheApp->OnExit();
    }
    obs["asserts"] = TakeAssertions();
    std::ofstream out(strDir + "/observations.txt");
    out << "started" << kSep << (bStarted ? "1" : "0") << "\n";
    for (const auto& entry : obs) out << entry.first << kSep << Escape(entry.second) << "\n";
    out.close();
    // Destroys the application object, which writes the settings file.
    wxEntryCleanup();
    _exit(bStarted ? 0 : 1);
}

}  // namespace

std::string TakeAssertions() {
    std::string strTaken;
    strTaken.swap(g_strAssertions);
    return strTaken;
}

AppRun RunApp(const std::string& strDir, const Scenario& scenario) {
    AppRun run;
    // The X server must not reset between two children's connections.
    DisplayConnection display;
    const pid_t pid = fork();
    if (pid == 0) RunChild(strDir, scenario);

    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status)) run.nExitCode = WEXITSTATUS(status);

    std::ifstream in(strDir + "/observations.txt");
    std::string strLine;
    while (std::getline(in, strLine)) {
        const size_t nSep = strLine.find(kSep);
        if (nSep != std::string::npos) run.obs[strLine.substr(0, nSep)] = strLine.substr(nSep + 1);
    }
    run.bStarted = run.obs["started"] == "1";
    return run;
}
