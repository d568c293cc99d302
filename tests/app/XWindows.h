#ifndef VARID_TESTS_APP_XWINDOWS_H
#define VARID_TESTS_APP_XWINDOWS_H

#include <sys/types.h>

// Window-system helpers for tests that run the real program under Xvfb.

// Whether a top-level window of process pid is mapped on $DISPLAY.
bool HasMappedWindow(pid_t pid);

// Asks the program's windows to close the way a window manager does
// (WM_DELETE_WINDOW); returns false when no window of pid was found.
bool RequestClose(pid_t pid);

// An open connection to $DISPLAY for as long as the object lives.
class DisplayConnection {
public:
    DisplayConnection();
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;
    bool IsOpen() const { return m_pDisplay != nullptr; }

private:
    void* m_pDisplay;
};

#endif
