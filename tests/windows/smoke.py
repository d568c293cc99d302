#!/usr/bin/env python3
"""The Windows build started as a whole under Wine, on the X display of the
test run (xvfb-run), with its working directory and archive directory named
in Cyrillic letters with spaces:

  starts   the program starts and closes 30 times without a crash
  count    the last-save is read at start, F5 counts, the close writes the
           results to the last-save file with CR LF line ends
  single   a second copy is refused while one runs
  shot     (--screenshot FILE) a PNG of the main window in Russian after a
           Count

The X companion xwin (tests/e2e/xwin.c, built for the host) closes windows
as a window manager does; its path comes in VARID_XWIN.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import varid_e2e as e2e  # noqa: E402  (the data sets and the calibration model)

WINE = shutil.which("wine") or "wine"
STARTS = 30


class Failure(Exception):
    pass


def check(cond, message):
    if not cond:
        raise Failure(message)


def windows_path(path):
    return subprocess.run(["winepath", "-w", path], capture_output=True, text=True,
                          check=True).stdout.strip()


def windows_of():
    res = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", "varid.exe"],
                         capture_output=True, text=True)
    return res.stdout.split()


class Program:
    """One start of varid.exe in the work directory."""

    def __init__(self, exe, work):
        self.work = work
        self.proc = subprocess.Popen([WINE, exe], cwd=work, stdout=subprocess.PIPE,
                                     stderr=subprocess.STDOUT)
        self.window = None

    def wait_window(self, timeout=60):
        end = time.time() + timeout
        while time.time() < end:
            found = windows_of()
            if found:
                self.window = found[0]
                time.sleep(0.3)
                return self.window
            # Only then its output: reading it waits for the program's end.
            if self.proc.poll() is not None:
                raise Failure("the program ended at start (status %s): %s"
                              % (self.proc.returncode, self.output()))
            time.sleep(0.2)
        raise Failure("no window within %d s" % timeout)

    def key(self, *keys):
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], check=True)
        subprocess.run(["xdotool", "key", "--clearmodifiers"] + list(keys), check=True)
        time.sleep(1.0)

    def close(self, timeout=60):
        res = subprocess.run([os.environ["VARID_XWIN"], "close", self.window],
                             capture_output=True, text=True)
        check(res.returncode == 0, "xwin close failed: %s" % res.stderr)
        return self.wait_exit(timeout)

    def wait_exit(self, timeout=60):
        try:
            self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise Failure("the program did not end within %d s" % timeout)
        return self.proc.returncode

    def output(self):
        try:
            return self.proc.communicate(timeout=5)[0].decode("utf-8", "replace")
        except subprocess.TimeoutExpired:
            return ""


def prepare(work, language=""):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    # The settings file escapes a backslash as the toolkit writes it.
    e2e.write_settings(os.path.join(work, e2e.SETTINGS), windows_path(work).replace("\\", "\\\\"),
                       0, language)
    e2e.write_archive(os.path.join(work, e2e.LAST_SAVE), 0, e2e.archived_freq_rows(),
                      {"T": e2e.FREQ_T})


def scenario_starts(exe, work):
    prepare(work)
    started = time.time()
    for n in range(1, STARTS + 1):
        prog = Program(exe, work)
        prog.wait_window()
        status = prog.close()
        out = prog.output()
        check(status == 0 and "Unhandled" not in out,
              "start %d of %d ended with status %d: %s" % (n, STARTS, status, out))
    print("%d starts and closes in %.0f s" % (STARTS, time.time() - started))


def scenario_count(exe, work):
    prepare(work)
    prog = Program(exe, work)
    prog.wait_window()
    prog.key("F5")
    check(prog.close() == 0, "the program did not end cleanly")
    with open(os.path.join(work, e2e.LAST_SAVE), "rb") as f:
        raw = f.read()
    check(raw.count(b"\n") > 100 and raw.count(b"\n") == raw.count(b"\r\n"),
          "the last-save file does not end every line with CR LF")
    try:
        e2e.check_counted(work, e2e.FREQ_ROWS, e2e.FREQ_TICKS, e2e.FREQ_T, 0)
    except e2e.Failure as failure:
        raise Failure("after F5 and close: %s" % failure)


def scenario_single(exe, work):
    prepare(work)
    first = Program(exe, work)
    first.wait_window()
    second = Program(exe, work)
    status = second.wait_exit(60)
    check(status != 0, "the second copy ended with status 0")
    check(windows_of() == [first.window], "windows %r besides the first" % windows_of())
    check(first.close() == 0, "the first copy did not end cleanly")


def scenario_shot(exe, work, png):
    prepare(work, "russian")
    prog = Program(exe, work)
    prog.wait_window()
    prog.key("F5")
    ppm = os.path.join(work, "shot.ppm")
    subprocess.run([os.environ["VARID_XWIN"], "grab", prog.window, ppm], check=True)
    e2e.Image(ppm).save_png(png)
    prog.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--screenshot")
    parser.add_argument("scenarios", nargs="*", default=["starts", "count", "single"])
    args = parser.parse_args()
    exe = os.path.join(os.path.abspath(args.bin), "varid.exe")
    # A crash must end the process, not open Wine's debugger window.
    subprocess.run([WINE, "reg", "add", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug",
                    "/v", "Auto", "/t", "REG_SZ", "/d", "0", "/f"], capture_output=True)
    subprocess.run([WINE, "reg", "add", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug",
                    "/v", "Debugger", "/t", "REG_SZ", "/d", "", "/f"], capture_output=True)
    failed = 0
    for name in args.scenarios + (["shot"] if args.screenshot else []):
        work = os.path.join(args.work, "smoke \u0442\u0435\u0441\u0442 " + name)
        try:
            if name == "shot":
                scenario_shot(exe, work, args.screenshot)
            else:
                globals()["scenario_" + name](exe, work)
            print("ok: %s" % name)
        except Failure as failure:
            failed += 1
            print("FAILED: %s: %s" % (name, failure))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
