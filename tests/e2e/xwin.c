/* Small X11 companion for the end-to-end tests and the screenshot script.
 *
 *   xwin close WINDOW       send WM_DELETE_WINDOW, exactly as a window
 *                           manager does when the user clicks the close box
 *   xwin grab WINDOW FILE   write the window's pixels as a binary PPM
 *                           (WINDOW "root": the whole screen)
 *   xwin launch TITLE PROGRAM [ARG...]
 *                           start PROGRAM, print the milliseconds from the
 *                           start to the mapping of its top-level window
 *                           titled TITLE, then close it as above and wait
 *                           for the program to end
 *
 * WINDOW is a decimal or 0x-prefixed window id (as xdotool prints it).
 * Exit status 0 on success, 1 on a usage error, 2 when the X request fails.
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int g_xerror;

static int OnXError(Display* dpy, XErrorEvent* ev) {
    char text[256];
    XGetErrorText(dpy, ev->error_code, text, sizeof text);
    fprintf(stderr, "xwin: X error: %s\n", text);
    g_xerror = 1;
    return 0;
}

/* A client that does not list WM_DELETE_WINDOW would be killed by a real
 * window manager instead of asked; the tests must notice that. */
static int SupportsDelete(Display* dpy, Window win, Atom del) {
    Atom* protocols = NULL;
    int count = 0;
    int found = 0;
    if (XGetWMProtocols(dpy, win, &protocols, &count)) {
        for (int i = 0; i < count; ++i)
            if (protocols[i] == del) found = 1;
        XFree(protocols);
    }
    return found;
}

static int CloseWindow(Display* dpy, Window win) {
    Atom protocolsAtom = XInternAtom(dpy, "WM_PROTOCOLS", False);
    Atom deleteAtom = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    if (!SupportsDelete(dpy, win, deleteAtom)) {
        fprintf(stderr, "xwin: window 0x%lx does not take WM_DELETE_WINDOW\n", (unsigned long)win);
        return 2;
    }
    XEvent ev;
    memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = win;
    ev.xclient.message_type = protocolsAtom;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)deleteAtom;
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, win, False, NoEventMask, &ev);
    XSync(dpy, False);
    return g_xerror ? 2 : 0;
}

static int GrabWindow(Display* dpy, Window win, const char* path) {
    XWindowAttributes attr;
    if (!XGetWindowAttributes(dpy, win, &attr) || g_xerror) return 2;
    XImage* img =
        XGetImage(dpy, win, 0, 0, (unsigned)attr.width, (unsigned)attr.height, AllPlanes, ZPixmap);
    if (!img || g_xerror) return 2;
    FILE* out = fopen(path, "wb");
    if (!out) {
        perror(path);
        XDestroyImage(img);
        return 2;
    }
    fprintf(out, "P6\n%d %d\n255\n", attr.width, attr.height);
    /* The tests' servers run at depth 24: eight bits a channel, red highest. */
    for (int y = 0; y < attr.height; ++y)
        for (int x = 0; x < attr.width; ++x) {
            unsigned long px = XGetPixel(img, x, y);
            fputc((int)(px >> 16) & 0xff, out);
            fputc((int)(px >> 8) & 0xff, out);
            fputc((int)px & 0xff, out);
        }
    int failed = ferror(out);
    fclose(out);
    XDestroyImage(img);
    return failed ? 2 : 0;
}

static double NowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

/* The toolkit sets the title as UTF-8 in _NET_WM_NAME and, for ASCII titles,
 * in WM_NAME too; either matching is enough. */
static int HasTitle(Display* dpy, Window win, const char* title) {
    int match = 0;
    char* name = NULL;
    if (XFetchName(dpy, win, &name) && name) {
        match = !strcmp(name, title);
        XFree(name);
    }
    if (!match) {
        Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
        Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
        Atom type;
        int format;
        unsigned long count, rest;
        unsigned char* data = NULL;
        if (XGetWindowProperty(dpy, win, netName, 0, 1024, False, utf8, &type, &format, &count,
                               &rest, &data) == Success &&
            data) {
            match = !strcmp((const char*)data, title);
            XFree(data);
        }
    }
    return match;
}

static int Launch(Display* dpy, const char* title, char** command) {
    Window root = DefaultRootWindow(dpy);
    /* Without a window manager top-level windows are children of the root,
     * so their MapNotify arrives here. */
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);
    double start = NowMs();
    pid_t pid = fork();
    if (pid < 0) {
        perror("fork");
        return 2;
    }
    if (pid == 0) {
        close(ConnectionNumber(dpy));
        execvp(command[0], command);
        perror(command[0]);
        _exit(127);
    }
    Window mapped = 0;
    int status = 0;
    int ended = 0;
    while (!mapped && !ended) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify && !ev.xmap.override_redirect &&
                HasTitle(dpy, ev.xmap.window, title)) {
                mapped = ev.xmap.window;
                break;
            }
        }
        if (mapped) break;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            ended = 1;
            break;
        }
        if (NowMs() - start > 60000) break;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(dpy), &fds);
        struct timeval tv = {0, 2000};
        select(ConnectionNumber(dpy) + 1, &fds, NULL, NULL, &tv);
    }
    double elapsed = NowMs() - start;
    if (!mapped) {
        fprintf(stderr, "xwin: no window '%s' was mapped\n", title);
        if (!ended) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        return 2;
    }
    printf("%.1f\n", elapsed);
    fflush(stdout);
    g_xerror = 0; /* a window that vanished while its title was read */
    int rc = CloseWindow(dpy, mapped);
    if (rc) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return rc;
    }
    double deadline = NowMs() + 20000;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (NowMs() > deadline) {
            fprintf(stderr, "xwin: program did not end after the close request\n");
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return 2;
        }
        usleep(2000);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 2;
}

int main(int argc, char** argv) {
    const char* cmd = argc > 2 ? argv[1] : "";
    int launch = argc >= 4 && !strcmp(cmd, "launch");
    int close = argc == 3 && !strcmp(cmd, "close");
    int grab = argc == 4 && !strcmp(cmd, "grab");
    char* end = NULL;
    Window win = (close || grab) ? (Window)strtoul(argv[2], &end, 0) : 0;
    const int root = grab && !strcmp(argv[2], "root");
    if (!launch && !root && !((close || grab) && win && !*end)) {
        fprintf(stderr,
                "usage: xwin close WINDOW | xwin grab WINDOW FILE |"
                " xwin launch TITLE PROGRAM [ARG...]\n");
        return 1;
    }
    Display* dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "xwin: cannot open display\n");
        return 2;
    }
    XSetErrorHandler(OnXError);
    if (root) win = DefaultRootWindow(dpy);
    int rc = launch  ? Launch(dpy, argv[2], argv + 3)
             : close ? CloseWindow(dpy, win)
                     : GrabWindow(dpy, win, argv[3]);
    XCloseDisplay(dpy);
    return rc;
}
