#ifndef VARID_TESTS_APP_APPRUNNER_H
#define VARID_TESTS_APP_APPRUNNER_H

#include <functional>
#include <map>
#include <string>

class MainFrame;

// What a scenario saw inside the running application, as texts.
using Observations = std::map<std::string, std::string>;

// Runs with the main frame after start-up and before the event loop; it may
// act on the frame and records what it sees. The frame is closed afterwards
// unless the scenario closed it.
using Scenario = std::function<void(MainFrame* pFrame, Observations& obs)>;

struct AppRun {
    int nExitCode = -1;     // the child's exit code; -1 when it died or hung
    bool bStarted = false;  // OnInit answered true
    Observations obs;       // also "asserts": assertions the scenario did not take
};

// The application's whole life (construction, OnInit, the scenario, the event
// loop, OnExit, destruction) in a child process whose working directory and
// HOME are strDir and strDir/home, as a user's run of the program would have.
// Inside a scenario: the toolkit assertions (failed dialog expectations
// included) raised since the last call, as one text; empty when none.
std::string TakeAssertions();

AppRun RunApp(const std::string& strDir, const Scenario& scenario = Scenario());

#endif
