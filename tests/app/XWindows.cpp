#include "tests/app/XWindows.h"

#include <functional>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Windows of other tests come and go while the tree is walked; a window that
// vanished between XQueryTree and the next request is no failure of ours,
// and Xlib's default handler would end the whole test process.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

Display* OpenDisplay() {
    XSetErrorHandler(IgnoreXError);
    return XOpenDisplay(nullptr);
}

long WindowPid(Display* pDisplay, Window win) {
    const Atom pidAtom = XInternAtom(pDisplay, "_NET_WM_PID", False);
    Atom type;
    int format;
    unsigned long nItems, nAfter;
    unsigned char* pData = nullptr;
    long pid = -1;
    if (XGetWindowProperty(pDisplay, win, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &nItems, &nAfter, &pData) == Success &&
        pData) {
        if (nItems == 1 && format == 32) pid = *reinterpret_cast<long*>(pData);
        XFree(pData);
    }
    return pid;
}

// Calls visit for every window of pid below the root, depth first.
void ForEachWindowOf(Display* pDisplay, Window win, pid_t pid,
                     const std::function<void(Window)>& visit) {
    if (WindowPid(pDisplay, win) == pid) visit(win);
    Window root, parent;
    Window* pChildren = nullptr;
    unsigned int nChildren = 0;
    if (!XQueryTree(pDisplay, win, &root, &parent, &pChildren, &nChildren)) return;
    for (unsigned int i = 0; i < nChildren; ++i)
        ForEachWindowOf(pDisplay, pChildren[i], pid, visit);
    if (pChildren) XFree(pChildren);
}

}  // namespace

bool HasMappedWindow(pid_t pid) {
    Display* pDisplay = OpenDisplay();
    if (!pDisplay) return false;
    bool bFound = false;
    ForEachWindowOf(pDisplay, DefaultRootWindow(pDisplay), pid, [&](Window win) {
        XWindowAttributes attrs;
        if (XGetWindowAttributes(pDisplay, win, &attrs) && attrs.map_state == IsViewable)
            bFound = true;
    });
    XCloseDisplay(pDisplay);
    return bFound;
}

bool RequestClose(pid_t pid) {
    Display* pDisplay = OpenDisplay();
    if (!pDisplay) return false;
    const Atom protocols = XInternAtom(pDisplay, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(pDisplay, "WM_DELETE_WINDOW", False);
    bool bSent = false;
    ForEachWindowOf(pDisplay, DefaultRootWindow(pDisplay), pid, [&](Window win) {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = win;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(pDisplay, win, False, NoEventMask, &event);
        bSent = true;
    });
    XFlush(pDisplay);
    XCloseDisplay(pDisplay);
    return bSent;
}

DisplayConnection::DisplayConnection() : m_pDisplay(XOpenDisplay(nullptr)) {}

DisplayConnection::~DisplayConnection() {
    if (m_pDisplay) XCloseDisplay(static_cast<Display*>(m_pDisplay));
}
