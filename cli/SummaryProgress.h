#ifndef VARID_CLI_SUMMARYPROGRESS_H
#define VARID_CLI_SUMMARYPROGRESS_H

#include <chrono>
#include <cstdio>

// How far a summary has got, on one line of a terminal's standard error: only
// on a terminal, only once the run has lasted a second, a few times a second.
class SummaryProgress {
public:
    explicit SummaryProgress(FILE* pErr);

    void Show(size_t nDone, size_t nTotal);
    // Ends the line, when one was shown.
    void Finish();

private:
    using Clock = std::chrono::steady_clock;
    FILE* m_pErr;
    bool m_bTerminal;
    bool m_bShown = false;
    Clock::time_point m_start, m_last;
};

#endif
