#include "cli/SummaryProgress.h"

#include <wx/intl.h>
#include <wx/string.h>

#ifdef _WIN32
#include <io.h>
#define VARID_ISATTY _isatty
#define VARID_FILENO _fileno
#else
#include <unistd.h>
#define VARID_ISATTY isatty
#define VARID_FILENO fileno
#endif

#include "cli/ConsoleStream.h"

SummaryProgress::SummaryProgress(FILE* pErr)
    : m_pErr(pErr),
      m_bTerminal(pErr && VARID_ISATTY(VARID_FILENO(pErr))),
      m_start(Clock::now()),
      m_last(m_start) {}

void SummaryProgress::Show(size_t nDone, size_t nTotal) {
    if (!m_bTerminal) return;
    const Clock::time_point now = Clock::now();
    if (now - m_start < std::chrono::seconds(1)) return;
    if (m_bShown && nDone < nTotal && now - m_last < std::chrono::milliseconds(200)) return;
    m_last = now;
    m_bShown = true;
    ConsoleStream::Write(m_pErr,
                         wxT("\r") + wxString::Format(_("varid-export: %lu of %lu archives"),
                                                      static_cast<unsigned long>(nDone),
                                                      static_cast<unsigned long>(nTotal)));
}

void SummaryProgress::Finish() {
    if (m_bShown) ConsoleStream::Write(m_pErr, wxT("\n"));
    m_bShown = false;
}
