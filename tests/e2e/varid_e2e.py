#!/usr/bin/env python3
"""End-to-end scenarios for the installed program.

Each scenario installs nothing itself: the "install" step puts the build into
a prefix, and every other scenario drives <prefix>/bin/varid the way a person
does: real pointer and key events from outside the process (xdotool, which
uses the XTEST extension), and a real WM_DELETE_WINDOW close request (the
companion program xwin). Each GUI scenario runs on its own private Xvfb
server, so scenarios can run in parallel and never click into each other's
windows, with its own HOME (the single-instance lock lives there) and its own
working directory (the settings file is read from there).

Expected numbers are derived here from the calibration model itself:
  x = Period(mean reading) - DT,  Period(v) = 1e6 / v (frequencies) or v,
  P = (Keff / x) (1 - K1 e^(-K2 x) + K3 / x),  accuracy = (P - RealP) / RealP * 100,
with DT, Keff, K1, K2, K3 rounded to three decimals and K3 found by a plain
bracketing root solve of the calibration condition.
"""

import argparse
import configparser
import glob
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape
import zlib

TITLE = "KEVRO_Varid"
LAST_SAVE = "varid_last_save.xml"
SETTINGS = "kevro_varid.ini"
SETTLE = float(os.environ.get("VARID_E2E_SETTLE", "0.7"))


class Failure(Exception):
    pass


def check(cond, message):
    if not cond:
        raise Failure(message)


# --------------------------------------------------------------------------
# The calibration model, written from its formulas.


def period(v, mode):
    return 1e6 / v if mode == 0 else v


def round3(v):
    return float("%.3f" % v)


def format_correction(v):
    a = abs(v)
    if 10 < a < 100:
        return "%.1f" % v
    if a < 100:
        return "%.f" % v
    return "%.3f" % v


def decimals(text):
    return len(text.split(".")[1]) if "." in text else 0


def expected_calibration(points, t_value, mode):
    """DT, Keff, K1, K2, K3 (rounded) for four calibration points.

    points: four (real_p, reading1, reading2) in grid order, top first.
    """
    f = [(a + b) / 2 for _, a, b in points]
    r = [p for p, _, _ in points]
    dt = period(f[3], mode) - t_value
    keff = (period(f[0], mode) - dt) * r[0]
    t1, t2, t3 = (period(f[i], mode) - dt for i in (1, 2, 3))
    # Deficit of each point against the uncorrected model Keff / t.
    d1, d2, d3 = (1 - r[i] / (keff / t) for i, t in ((1, t1), (2, t2), (3, t3)))

    # K1 e^(-K2 t) = d + K3 / t at points 1..3; eliminating K1 and K2 leaves
    # one condition on K3: the two K2 values it implies must agree.
    def k2_from(k3, ta, da):
        return math.log(((ta * da + k3) * t1) / ((t1 * d1 + k3) * ta)) / (t1 - ta)

    def g(k3):
        return k2_from(k3, t2, d2) - k2_from(k3, t3, d3)

    # The admissible K3 lie above every pole (where all brackets are
    # positive) and within the calibration's search range [0, 500].
    lo = max(0.0, -t1 * d1, -t2 * d2, -t3 * d3) + 1e-9
    step = 0.01
    a, ga = lo, g(lo)
    root = None
    while a < 500:
        b = a + step
        gb = g(b)
        if ga == 0:
            root = a
            break
        if (ga > 0) != (gb > 0):
            for _ in range(200):
                m = (a + b) / 2
                gm = g(m)
                if (gm > 0) == (ga > 0):
                    a, ga = m, gm
                else:
                    b = m
            root = (a + b) / 2
            break
        a, ga = b, gb
    check(root is not None, "test data set has no K3 root in [0, 500]")
    k2 = k2_from(root, t2, d2)
    k1 = math.exp(k2 * t1) * ((root / t1 + 1) - r[1] / (keff / t1))
    return {
        "DT": round3(dt),
        "Keff": round3(keff),
        "K1": round3(k1),
        "K2": round3(k2),
        "K3": round3(root),
    }


def corrected(reading1, reading2, mode, dt, keff, k1, k2, k3):
    x = period((reading1 + reading2) / 2, mode) - dt
    return (keff / x) * (1 - k1 * math.exp(-k2 * x) + k3 / x)


def check_shown(label, shown, value, fmt):
    """shown must be value in format fmt ("%.1f", "%.3f" or "correction")."""
    want = format_correction(value) if fmt == "correction" else fmt % value
    check(shown is not None and shown != "", "%s: nothing shown, expected %s" % (label, want))
    check(decimals(shown) == decimals(want),
          "%s: shown %r, expected format of %r" % (label, shown, want))
    # Half a unit of the last shown digit: the program's and this script's
    # double arithmetic may differ in the last bit near a rounding boundary.
    tol = 0.5 * 10 ** -decimals(want) + 1e-9 * max(1.0, abs(value))
    check(abs(float(shown) - value) <= tol,
          "%s: shown %s, expected %s (from %.9g)" % (label, shown, want, value))



# --------------------------------------------------------------------------
# Archive and settings files.

ROW_CHILDREN = {0: ("ChooseValue", "RealP", "Fl", "Fr", "CorrectP", "Accuracy"),
                1: ("ChooseValue", "RealP", "T1", "T2", "CorrectP", "Accuracy")}
DETAILS = ("CertificateNumber", "Instrument", "Manufacturer", "SerialNumber", "Customer",
           "CalibrationDate", "IssueDate", "Temperature", "Pressure", "Humidity", "Notes",
           "Laboratory", "LaboratoryAddress", "Operator", "ApprovedBy", "ReferenceStandard",
           "ReferenceUncertainty", "ReferenceCoverageFactor", "Unit", "PeriodUnit", "Tolerance",
           "DecisionRule")
COEFFICIENTS = ("T", "CoeficientEffectiveness", "DeatTime", "K1", "K2", "K3",
                "ManualDeatTime", "ManualCoeficientEffectiveness", "ManualK1",
                "ManualK2", "ManualK3")


def write_archive(path, mode, rows, coefficients=None, details=None):
    """rows: up to 11 tuples of six texts, missing rows and the manual table empty;
    details: the record's fields by name (UTF-8), none without."""
    lines = ['<?xml version="1.0" encoding="UTF-8" ?>', "<Archive>"]
    for table, content in (("Table", rows), ("ManualTable", ())):
        lines.append("    <%s>" % table)
        for r in range(11):
            cells = content[r] if r < len(content) else ("",) * 6
            lines.append("        <Row>")
            lines += ["            <%s>%s</%s>" % (n, t, n) for n, t in zip(ROW_CHILDREN[mode], cells)]
            lines.append("        </Row>")
        lines.append("    </%s>" % table)
    lines.append("    <Coefficients>")
    lines += ["        <%s>%s</%s>" % (n, (coefficients or {}).get(n, ""), n) for n in COEFFICIENTS]
    lines.append("    </Coefficients>")
    if details:
        lines.append("    <Details>")
        lines += ["        <%s>%s</%s>" % (n, escape(details.get(n, "")).replace("\n", "&#x0A;"), n)
                  for n in DETAILS]
        lines.append("    </Details>")
    lines.append("</Archive>")
    with open(path, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")


def read_archive(path):
    """Returns (row element names, table rows, manual rows, coefficients)."""
    check(os.path.isfile(path), "no last-save file written at %s" % path)
    root = ET.parse(path).getroot()
    check(root.tag == "Archive" and
          [c.tag for c in root] == ["Table", "ManualTable", "Coefficients", "Details"],
          "document is %s with %r" % (root.tag, [c.tag for c in root]))
    check(tuple(c.tag for c in root[3]) == DETAILS,
          "Details children are %r" % [c.tag for c in root[3]])
    tables, names = [], set()
    for table in (root[0], root[1]):
        check(len(table) == 11 and all(r.tag == "Row" for r in table),
              "%s does not hold 11 Row elements" % table.tag)
        names.update(tuple(c.tag for c in row) for row in table)
        tables.append([tuple(c.text or "" for c in row) for row in table])
    check(len(names) == 1, "rows differ in their children: %r" % names)
    check(tuple(c.tag for c in root[2]) == COEFFICIENTS,
          "Coefficients children are %r" % [c.tag for c in root[2]])
    return names.pop(), tables[0], tables[1], {c.tag: c.text or "" for c in root[2]}


# The system language under LANG=C.UTF-8 is English and needs no generated
# locale; naming "english" would make the toolkit complain where en_US is
# missing.
def write_settings(path, directory, mode, language=""):
    with open(path, "w", encoding="utf-8") as out:
        out.write("[i18n]\nLanguage=%s\n[path]\nxml_file=%s\ndefault_mode=%d\n"
                  "is_remember=0\n" % (language, directory, mode))


def check_settings(workdir, mode):
    path = os.path.join(workdir, SETTINGS)
    check(os.path.isfile(path), "settings file %s not written" % path)
    ini = configparser.ConfigParser(interpolation=None)
    ini.optionxform = str
    ini.read(path, encoding="utf-8")
    got = {"%s/%s" % (g, k): v for g in ini.sections() for k, v in ini[g].items()}
    got["path/xml_file"] = os.path.realpath(got.get("path/xml_file", ""))
    want = {"i18n/Language": "", "path/xml_file": os.path.realpath(workdir),
            "path/default_mode": str(mode), "path/is_remember": "0"}
    check(got == want, "settings are %r, expected %r" % (got, want))


# --------------------------------------------------------------------------
# A private X server and the program on it.


class Display:
    def __init__(self, width=1280, height=1024):
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             "%dx%dx24" % (width, height), "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd, "rb") as pipe:
            number = pipe.readline().strip()
        check(number.isdigit(), "Xvfb did not start")
        self.name = ":" + number.decode()

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


class Program:
    """One run of the installed program in a working directory; use it in a
    with statement, which kills whatever still runs at its end."""

    def __init__(self, args, display, home, workdir, lang="C.UTF-8"):
        self.xwin, self.workdir = args.xwin, workdir
        self.exe = os.path.abspath(os.path.join(args.prefix, "bin", "varid"))
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DISPLAY": display.name,
            "HOME": home,
            "LANG": lang,
            "XDG_RUNTIME_DIR": home,
            "NO_AT_BRIDGE": "1",
            "GDK_BACKEND": "x11",
        }
        self.log = open(os.path.join(home, "program.log"), "a")
        self.proc = subprocess.Popen([self.exe], cwd=workdir, env=self.env,
                                     stdout=self.log, stderr=self.log)
        self.pointer = None

    def __enter__(self):
        self.window = self.wait_window()
        geo = self.tool("getwindowgeometry", "--shell", self.window)
        g = dict(line.split("=", 1) for line in geo.split())
        self.x, self.y = int(g["X"]), int(g["Y"])
        self.width, self.height = int(g["WIDTH"]), int(g["HEIGHT"])
        time.sleep(SETTLE)
        return self

    def __exit__(self, *exc):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()

    def tool(self, *args):
        res = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                             capture_output=True, text=True, timeout=30)
        check(res.returncode == 0 or args[0] == "search",
              "xdotool %s failed: %s" % (" ".join(map(str, args)), res.stderr.strip()))
        return res.stdout.strip()

    def other_windows(self):
        out = self.tool("search", "--onlyvisible", "--pid", self.proc.pid)
        return [w for w in out.split() if w != getattr(self, "window", None)]

    def wait_window(self, timeout=30):
        end = time.time() + timeout
        while time.time() < end:
            check(self.proc.poll() is None,
                  "program ended during start-up with status %s" % self.proc.returncode)
            for w in self.other_windows():
                if self.tool("getwindowname", w) == TITLE:
                    return w
            time.sleep(0.05)
        raise Failure("main window '%s' did not appear" % TITLE)

    def wait_windows(self, more, what, timeout=10):
        """Waits until a window besides the main one is open (more) or none is.

        Key presses go to whatever holds the keyboard when the X server
        handles them, so keys meant for a popup list must wait for it."""
        end = time.time() + timeout
        while time.time() < end:
            if bool(self.other_windows()) == more:
                return
            time.sleep(0.05)
        raise Failure("%s: %s" % (what, "nothing opened" if more else "still open"))

    def no_dialog(self, after):
        """Fails when the program opened a box (an error message) instead of working."""
        titles = [self.tool("getwindowname", w) for w in self.other_windows()]
        check(not titles, "after %s the program shows a window %r" % (after, titles))

    # Positions are relative to the main window's top-left corner.
    def click(self, dx, dy, what, opens_popup=False):
        target = (self.x + dx, self.y + dy)
        # "mousemove --sync" waits for a motion event, which never comes when
        # the pointer is already there.
        if target != self.pointer:
            self.tool("mousemove", "--sync", *target)
            self.pointer = target
        self.tool("click", "1")
        time.sleep(SETTLE)
        if not opens_popup:
            self.no_dialog(what)

    def type_text(self, text):
        self.tool("type", "--delay", "30", text)

    def key(self, *keys):
        self.tool("key", "--delay", "30", *keys)
        time.sleep(SETTLE / 2)

    def close(self):
        """Real close request; the program must end by itself, successfully."""
        res = subprocess.run([self.xwin, "close", self.window], env=self.env,
                             capture_output=True, text=True, timeout=30)
        check(res.returncode == 0, "close request failed: %s" % res.stderr.strip())
        try:
            rc = self.proc.wait(20)
        except subprocess.TimeoutExpired:
            raise Failure("program did not end after WM_DELETE_WINDOW")
        self.log.close()
        check(rc == 0, "program ended with status %d after the close request" % rc)

    def grab(self, path):
        res = subprocess.run([self.xwin, "grab", self.window, path], env=self.env,
                             capture_output=True, text=True, timeout=30)
        check(res.returncode == 0, "grabbing the window failed: %s" % res.stderr.strip())
        return Image(path)


class Image:
    """A grabbed window (binary PPM), for looking at what the user sees."""

    def __init__(self, path):
        with open(path, "rb") as f:
            magic, dims, maxval, self.pixels = f.read().split(b"\n", 3)
        check(magic == b"P6" and maxval == b"255", "unexpected grab format")
        self.width, self.height = (int(v) for v in dims.split())

    def count(self, x0, y0, x1, y1, test):
        return sum(1 for y in range(max(0, y0), min(self.height, y1))
                   for x in range(max(0, x0), min(self.width, x1))
                   if test(self.pixels[(y * self.width + x) * 3:(y * self.width + x) * 3 + 3]))

    def crop(self, x0, y0, x1, y1):
        x0, y0 = max(0, x0), max(0, y0)
        x1, y1 = min(self.width, x1), min(self.height, y1)
        stride = self.width * 3
        self.pixels = b"".join(self.pixels[y * stride + x0 * 3:y * stride + x1 * 3]
                               for y in range(y0, y1))
        self.width, self.height = x1 - x0, y1 - y0
        return self

    def save_png(self, path):
        stride = self.width * 3
        raw = b"".join(b"\x00" + self.pixels[y * stride:(y + 1) * stride]
                       for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n")
            out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
            out.write(chunk(b"IEND", b""))


def is_tick_blue(p):
    # The theme draws a ticked check box filled with its accent blue; an
    # unticked one is white with a grey border.
    r, g, b = p
    return b > 170 and r < 120 and b - r > 90


# Where things are on the 1180 x 690 main window (offsets from its top-left
# corner), as the layout document places them with the Debian toolkit theme
# and fonts on Xvfb, in English. The grid metrics are the panel's: 36 pixels
# of row labels, rows as high as the font needs (23 pixels here), column 0
# 25 pixels wide and the typed columns 1 to 3 90 pixels each. A moved control
# makes the scenarios fail on their checks of what the click should have done
# (and ticks are checked on screen right away).
WINDOW_SIZE = (1180, 690)
NOTICE_TOP = 105  # below the line of the calibration's details, where a notice begins
NOTICE_ROOM = 38  # kept for a one-line notice, shown or not
GRID_LEFT, GRID_FIRST_ROW_TOP = 36, 175
ROW_HEIGHT = 23


def cell_position(row, col):
    x = GRID_LEFT + 12 if col == 0 else GRID_LEFT + 25 + 90 * (col - 1) + 45
    return x, GRID_FIRST_ROW_TOP + ROW_HEIGHT * row + ROW_HEIGHT // 2


def layout(prog):
    check((prog.width, prog.height) == WINDOW_SIZE,
          "main window is %dx%d, not %dx%d" % ((prog.width, prog.height) + WINDOW_SIZE))
    return {"count": (42, 32), "set": (907, 599), "choice": (935, 29), "t_box": (860, 190)}


def is_notice_dark(p):
    # The notice bar takes the theme's tooltip colours: a dark background.
    r, g, b = p
    return r < 90 and g < 90 and b < 90


def notice_height(prog, tmp):
    """The height of the notice shown above the grids (0 without one): the rows
    of the dark bar at the window's left edge. Only what exceeds NOTICE_ROOM
    pushes the result panel down."""
    shot = prog.grab(os.path.join(tmp, "notice.ppm"))
    dark = [shot.count(2, y, 4, y + 1, is_notice_dark) == 2 for y in range(NOTICE_TOP, 300)]
    height = dark.index(False) if dark[0] else 0
    # A grid line is dark too, but one pixel high.
    return height if height > 10 else 0


def tick(prog, tmp, row):
    """Clicks the row's check box until the tick shows, as a person would.

    The grid takes the first click on a cell that is not current as a move of
    the cursor; the next click toggles the box."""
    x, y = cell_position(row, 0)
    for _ in range(3):
        prog.click(x, y, what="clicking the check box of row %d" % (row + 1))
        # Give a busy machine time to repaint before deciding to click again,
        # or a late repaint would make the next click take the tick back.
        end = time.time() + 3
        while time.time() < end:
            shot = prog.grab(os.path.join(tmp, "tick.ppm"))
            if shot.count(x - 10, y - 10, x + 10, y + 10, is_tick_blue) > 20:
                return
            time.sleep(0.2)
    raise Failure("row %d shows no tick after three clicks" % (row + 1))


# --------------------------------------------------------------------------
# Data sets.

# Mode 0 ("With frequency"): reference values and two count-rate readings of
# a detector with about 4 us dead time; small reading noise.
FREQ_ROWS = [
    ("0.5", "2.52", "2.509"), ("1", "4.999", "5.0"), ("2", "9.9", "9.95"),
    ("5", "25.31", "25.2"), ("10", "49.5", "49.62"), ("20", "101.2", "100.94"),
    ("50", "247.03", "248.1"), ("100", "502.53", "502.285"),
    ("200", "1081.5", "1079.9"), ("500", "3331.848", "3332.574"),
    ("1000", "7427.993", "7423.482"),
]
FREQ_TICKS = (1, 7, 9, 10)
FREQ_T = "130.6"

# Mode 1 ("Without frequency"): the same detector, readings as periods in us.
PERIOD_ROWS = [
    ("1", "199999.48", "200020.95"), ("10", "19850.4", "19870.2"),
    ("100", "1990.22", "1990.38"), ("200", "941.3", "939.8"),
    ("500", "300.18", "300.23"), ("1000", "134.59", "134.62"),
]
PERIOD_TICKS = (0, 2, 4, 5)
PERIOD_T = "130.6"


def archived_freq_rows(results=("999", "99.9")):
    """The mode 0 data set as archive rows, by default with stale results to be replaced."""
    return [("1" if i in FREQ_TICKS else "", p, a, b) + results
            for i, (p, a, b) in enumerate(FREQ_ROWS)]


def check_counted(workdir, rows_in, ticks, t_text, mode):
    """The written last-save file after a Count: the entered data as entered,
    the displayed results against the model. Returns (table, manual, coeff, expected)."""
    names, table, manual, coeff = read_archive(os.path.join(workdir, LAST_SAVE))
    check(names == ROW_CHILDREN[mode], "row elements %r in mode %d" % (names, mode))
    for i in range(11):
        want = (("1" if i in ticks else "",) + rows_in[i]) if i < len(rows_in) else ("",) * 6
        got = table[i][:len(want)]
        check(got == want, "row %d holds %r, entered %r" % (i + 1, got, want))
    check(coeff["T"] == t_text, "T is %r" % coeff["T"])
    nums = [(float(p), float(a), float(b)) for p, a, b in rows_in]
    exp = expected_calibration([nums[i] for i in ticks], float(t_text), mode)
    check_shown("dead time", coeff["DeatTime"], exp["DT"], "%.3f")
    check_shown("efficacy", coeff["CoeficientEffectiveness"], exp["Keff"], "%.1f")
    for k in ("K1", "K2", "K3"):
        shown = coeff[k]
        # K3 ends a march within its convergence tolerance of the root, which
        # may move the third decimal by one; K1 and K2 follow from it.
        check(shown != "" and abs(float(shown) - exp[k]) <= 0.0015 and decimals(shown) == 3,
              "%s: shown %r, expected %.3f" % (k, shown, exp[k]))
    k1, k2, k3 = (float(coeff[k]) for k in ("K1", "K2", "K3"))
    for j, (p, a, b) in enumerate(nums):
        value = corrected(a, b, mode, exp["DT"], exp["Keff"], k1, k2, k3)
        check_shown("row %d correction" % (j + 1), table[j][4], value, "correction")
        check_shown("row %d accuracy" % (j + 1), table[j][5], (value - p) / p * 100, "%.1f")
    return table, manual, coeff, exp


# --------------------------------------------------------------------------
# Scenarios.


def scenario_install(args, tmp):
    prefix = args.prefix
    shutil.rmtree(prefix, ignore_errors=True)
    res = subprocess.run(["cmake", "--install", args.build, "--prefix", prefix],
                         capture_output=True, text=True)
    check(res.returncode == 0, "cmake --install failed:\n%s%s" % (res.stdout, res.stderr))
    exe = os.path.join(prefix, "bin", "varid")
    check(os.path.isfile(exe) and os.access(exe, os.X_OK), "no executable bin/varid")
    desktop = os.path.join(prefix, "share", "applications", "varid.desktop")
    check(os.path.isfile(desktop), "no desktop entry")
    with open(desktop, encoding="utf-8") as f:
        entry = dict(l.strip().split("=", 1) for l in f if "=" in l)
    check(entry.get("Exec", "").split()[0] == "varid", "desktop entry Exec is %r" % entry.get("Exec"))
    icons = glob.glob(os.path.join(prefix, "share", "icons", "hicolor", "*", "apps",
                                   "%s.*" % entry.get("Icon")))
    check(icons, "no icon %r under share/icons/hicolor/*/apps" % entry.get("Icon"))
    for lang in ("ru", "uk"):
        mo = os.path.join(prefix, "share", "locale", lang, "LC_MESSAGES", "KEVRO_Varid.mo")
        check(os.path.isfile(mo), "no catalogue %s" % mo)
    # The user guide, found from bin/ at ../share/varid/help/<lang>.
    for lang in ("en", "ru", "uk"):
        page = os.path.join(prefix, "share", "varid", "help", lang, "index.html")
        check(os.path.isfile(page), "no help page %s" % page)


def fresh_dirs(tmp):
    home = os.path.join(tmp, "home")
    work = os.path.join(tmp, "work")
    os.makedirs(home, mode=0o700)
    os.makedirs(work)
    return home, work


def scenario_count_set(args, tmp, display):
    home, work = fresh_dirs(tmp)
    write_settings(os.path.join(work, SETTINGS), work, 0)
    write_archive(os.path.join(work, LAST_SAVE), 0, archived_freq_rows(), {"T": FREQ_T})
    with Program(args, display, home, work) as prog:
        pos = layout(prog)
        prog.click(*pos["count"], what="Count")
        prog.click(*pos["set"], what="Set")
        prog.close()
    table, manual, coeff, exp = check_counted(work, FREQ_ROWS, FREQ_TICKS, FREQ_T, 0)
    # Count fills the empty manual boxes with what it computed ...
    check(all(coeff["Manual" + k] == coeff[k] for k in
              ("CoeficientEffectiveness", "DeatTime", "K1", "K2", "K3")),
          "manual boxes not pre-filled from the results: %r" % coeff)
    # ... and Set recomputes every row from those shown values.
    mdt, mkeff = float(coeff["ManualDeatTime"]), float(coeff["ManualCoeficientEffectiveness"])
    mk = [float(coeff["Manual" + k]) for k in ("K1", "K2", "K3")]
    check(abs(mkeff - exp["Keff"]) < 0.05 + 1e-9, "manual efficacy %r" % mkeff)
    for i, (p, a, b) in enumerate(FREQ_ROWS):
        check(manual[i][:4] == table[i][:4],
              "manual row %d copies %r, grid holds %r" % (i + 1, manual[i][:4], table[i][:4]))
        value = corrected(float(a), float(b), 0, mdt, mkeff, *mk)
        check_shown("manual row %d correction" % (i + 1), manual[i][4], value, "correction")
        check_shown("manual row %d accuracy" % (i + 1), manual[i][5],
                    (value - float(p)) / float(p) * 100, "%.1f")
    check_settings(work, 0)


def scenario_mode_switch(args, tmp, display):
    """Started without a settings file: the working directory is the archive
    directory, and the file is created there at the end."""
    home, work = fresh_dirs(tmp)
    write_archive(os.path.join(work, LAST_SAVE), 0, archived_freq_rows(),
                  {"T": FREQ_T, "K1": "0.123"})
    with Program(args, display, home, work) as prog:
        pos = layout(prog)
        prog.click(*pos["choice"], what="opening the mode choice", opens_popup=True)
        prog.wait_windows(True, "clicking the mode choice")
        # The open list of the choice: move to the second item and take it.
        prog.key("Down")
        prog.key("Return")
        prog.wait_windows(False, "the list of the mode choice")
        time.sleep(SETTLE)
        prog.no_dialog("choosing the mode")
        # The switch offers its undo in a notice above the panel, which moves
        # the panel down. Data typed after the switch must survive into the
        # next run.
        height = notice_height(prog, tmp)
        check(height > 0, "no undo notice after the mode switch")
        prog.click(pos["t_box"][0], pos["t_box"][1] + max(0, height - NOTICE_ROOM),
                   what="clicking into T")
        prog.type_text("42.5")
        time.sleep(SETTLE)
        prog.close()
    names, table, manual, coeff = read_archive(os.path.join(work, LAST_SAVE))
    check(names == ROW_CHILDREN[1], "after switching, rows carry %r" % (names,))
    check(all(cell == "" for row in table + manual for cell in row),
          "the switch did not clear the grids: %r" % table[:2])
    check(coeff["T"] == "42.5", "T is %r, expected the typed 42.5" % coeff["T"])
    check(all(coeff[k] == "" for k in COEFFICIENTS if k != "T"),
          "the switch did not clear the boxes: %r" % coeff)
    check_settings(work, 1)

    # The next start is in the stored mode: it reads the T1/T2 file back and
    # writes it again unchanged.
    with Program(args, display, home, work) as prog:
        prog.close()
    names, _, _, coeff = read_archive(os.path.join(work, LAST_SAVE))
    check(names == ROW_CHILDREN[1], "second run rows carry %r" % (names,))
    check(coeff["T"] == "42.5", "second run lost T (file not read in mode 1): %r" % coeff["T"])
    check_settings(work, 1)


def scenario_type_points(args, tmp, display):
    home, work = fresh_dirs(tmp)
    write_settings(os.path.join(work, SETTINGS), work, 1)
    with Program(args, display, home, work) as prog:
        pos = layout(prog)
        for r, cells in enumerate(PERIOD_ROWS):
            for c, text in enumerate(cells, start=1):
                prog.click(*cell_position(r, c), what="selecting cell %d,%d" % (r + 1, c))
                prog.type_text(text)
                prog.key("Return")
        for r in PERIOD_TICKS:
            tick(prog, tmp, r)
        prog.click(*pos["t_box"], what="clicking into T")
        prog.type_text(PERIOD_T)
        prog.click(*pos["count"], what="Count")
        prog.close()
    check_counted(work, PERIOD_ROWS, PERIOD_TICKS, PERIOD_T, 1)
    check_settings(work, 1)


def scenario_second_copy(args, tmp, display):
    """A second copy started where one runs gives way and touches no file."""
    home, work = fresh_dirs(tmp)
    files = [os.path.join(work, SETTINGS), os.path.join(work, LAST_SAVE)]
    write_settings(files[0], work, 1)
    write_archive(files[1], 1, [], {"T": "7"})

    def state():
        return [(os.stat(f).st_mtime_ns, open(f, "rb").read()) for f in files]

    with Program(args, display, home, work) as first:
        before = state()
        second = subprocess.run([first.exe], cwd=work, env=first.env, capture_output=True,
                                timeout=30)
        check(second.returncode != 0, "the second copy ended with status 0")
        check(state() == before, "the second copy changed the settings or last-save file")
        check(first.proc.poll() is None, "the first copy has gone")
        first.close()
    # The first copy was not disturbed: it ends as usual, writing its files.
    check_settings(work, 1)
    check(state()[1][0] != before[1][0], "closing the first copy wrote no last-save file")
    check(read_archive(files[1])[3]["T"] == "7", "the first copy lost the archive's T")


# A record as a Russian laboratory fills it in.
RECORD_RU = {
    "CertificateNumber": "К-2026/117", "Instrument": "МКС-Ф21",
    "Manufacturer": "НПП «Изотоп-Прибор»", "SerialNumber": "001234",
    "Customer": "ООО «Радиационный контроль»",
    "CalibrationDate": "2026-12-08", "IssueDate": "2026-12-09", "Temperature": "21.5",
    "Pressure": "100.8", "Humidity": "45",
    "Notes": "Поверка после ремонта.\nПломба № 55.",
    "Laboratory": "Калибровочная лаборатория № 3",
    "LaboratoryAddress": "ул. Лесная, 12, Киев",
    "Operator": "Петренко И. В.",
    "ApprovedBy": "Сидорова О. Н.",
    "ReferenceStandard": "УПГ-07, сертификат № 0412",
    "ReferenceUncertainty": "2.5", "ReferenceCoverageFactor": "2",
    "Unit": "мкЗв/ч", "Tolerance": "15", "DecisionRule": "guarded",
}


def scenario_details(args, tmp, display):
    """The window "Calibration details" of a filled record (--out, a PNG)."""
    home, work = fresh_dirs(tmp)
    language, lang = {"en": ("", "C.UTF-8"), "ru": ("russian", "ru_RU.UTF-8"),
                      "uk": ("ukrainian", "uk_UA.UTF-8")}[args.lang]
    write_settings(os.path.join(work, SETTINGS), work, 0, language)
    write_archive(os.path.join(work, LAST_SAVE), 0, archived_freq_rows(("", "")), {"T": FREQ_T},
                  RECORD_RU)
    with Program(args, display, home, work, lang=lang) as prog:
        prog.key("ctrl+i")
        prog.wait_windows(True, "pressing Ctrl+I")
        dialog = prog.other_windows()[0]
        prog.tool("mousemove", "--sync", prog.x + prog.width + 50, prog.y + prog.height + 50)
        time.sleep(SETTLE)
        path = os.path.join(tmp, "details.ppm")
        res = subprocess.run([args.xwin, "grab", dialog, path], env=prog.env,
                             capture_output=True, text=True, timeout=30)
        check(res.returncode == 0, "grabbing the window failed: %s" % res.stderr.strip())
        shot = Image(path)
        # A close request, as a window manager sends it, cancels the window.
        res = subprocess.run([args.xwin, "close", dialog], env=prog.env,
                             capture_output=True, text=True, timeout=30)
        check(res.returncode == 0, "close request failed: %s" % res.stderr.strip())
        prog.wait_windows(False, "closing the details window")
        prog.close()
    shot.save_png(args.out)


def scenario_screenshot(args, tmp, display):
    """The main window after a Count on the realistic data set."""
    home, work = fresh_dirs(tmp)
    language, lang = {"en": ("", "C.UTF-8"), "ru": ("russian", "ru_RU.UTF-8"),
                      "uk": ("ukrainian", "uk_UA.UTF-8")}[args.lang]
    write_settings(os.path.join(work, SETTINGS), work, 0, language)
    write_archive(os.path.join(work, LAST_SAVE), 0, archived_freq_rows(("", "")), {"T": FREQ_T})
    with Program(args, display, home, work, lang=lang) as prog:
        prog.click(*layout(prog)["count"], what="Count")
        # Park the pointer outside the window so no hover effect is captured.
        prog.tool("mousemove", "--sync", prog.x + prog.width + 50, prog.y + prog.height + 50)
        time.sleep(SETTLE)
        shot = prog.grab(os.path.join(tmp, "shot.ppm"))
        prog.close()
    # The shot must show the counted results, not an empty or failed window.
    _, table, _, coeff = read_archive(os.path.join(work, LAST_SAVE))
    check(coeff["K3"] != "" and table[0][4] != "", "Count did not run for the screenshot")
    shot.save_png(args.out)


# The Plot button on the command bar, as the layout document places it with
# each language's labels.
PLOT_BUTTON = {"en": (612, 32), "ru": (692, 32)}
# "Set" moves with the width of the Russian labels.
SET_BUTTON = {"ru": (971, 599)}
# The "Print..." button at the left of the print preview's control bar.
PREVIEW_PRINT = (28, 22)
# In GTK's print dialog: the printer "Print to File" from its top-left
# corner, and the button "Print" from its bottom-right one (the dialog is
# as wide as its language's labels need).
PRINT_DIALOG_FILE_PRINTER = (82, 87)
PRINT_DIALOG_PRINT = (-60, -29)


def window_named(prog, title, timeout=15):
    end = time.time() + timeout
    while time.time() < end:
        for w in prog.other_windows():
            if prog.tool("getwindowname", w) == title:
                return w
        time.sleep(0.1)
    raise Failure("no window '%s' appeared" % title)


def geometry(prog, window):
    geo = prog.tool("getwindowgeometry", "--shell", window)
    g = dict(line.split("=", 1) for line in geo.split())
    return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])


def use_file_printer(home):
    """Only the "Print to File" printer, so no real printer is ever asked."""
    os.makedirs(os.path.join(home, ".config", "gtk-3.0"))
    with open(os.path.join(home, ".config", "gtk-3.0", "settings.ini"), "w") as out:
        out.write("[Settings]\ngtk-print-backends=file\n")


def print_to_file(prog, lang, preview_title, tmp):
    """Ctrl+P, then the preview's "Print..." and GTK's "Print to File": the PDF written."""
    prog.key("ctrl+p")
    preview = window_named(prog, preview_title)
    time.sleep(2 * SETTLE)
    vx, vy, _, _ = geometry(prog, preview)
    prog.tool("mousemove", "--sync", vx + PREVIEW_PRINT[0], vy + PREVIEW_PRINT[1])
    prog.tool("click", "1")
    dialog = window_named(prog, "Print" if lang == "en" else "Печать")
    time.sleep(2 * SETTLE)
    # Choose the one printer, "Print to File", then press "Print".
    dx, dy, dw, dh = geometry(prog, dialog)
    for x, y in ((dx + PRINT_DIALOG_FILE_PRINTER[0], dy + PRINT_DIALOG_FILE_PRINTER[1]),
                 (dx + dw + PRINT_DIALOG_PRINT[0], dy + dh + PRINT_DIALOG_PRINT[1])):
        prog.tool("mousemove", "--sync", x, y)
        prog.tool("click", "1")
        time.sleep(SETTLE)
    found = []
    end = time.time() + 20
    while not found and time.time() < end:
        found = [os.path.join(d, f) for d, _, files in os.walk(tmp) for f in files
                 if f.endswith(".pdf")]
        time.sleep(0.2)
    check(found, "printing to file wrote no PDF")
    # Written in the background: done when its size stops changing.
    size = -1
    while size != os.path.getsize(found[0]):
        size = os.path.getsize(found[0])
        time.sleep(0.5)
    return found[0]


def scenario_plot(args, tmp, display):
    """The plot window beside the main window after Count and Set (--out, a
    PNG), and the printed report through the print preview and GTK's "Print
    to File" (--pdf)."""
    home, work = fresh_dirs(tmp)
    language, lang, plot_title, preview_title = {
        "en": ("", "C.UTF-8", "Calibration plot", "Print preview"),
        "ru": ("russian", "ru_RU.UTF-8", "График калибровки", "Предварительный просмотр"),
    }[args.lang]
    write_settings(os.path.join(work, SETTINGS), work, 0, language)
    use_file_printer(home)
    nums = [(float(p), float(a), float(b)) for p, a, b in FREQ_ROWS]
    exp = expected_calibration([nums[i] for i in FREQ_TICKS], float(FREQ_T), 0)
    # Hand-set values a little off the Count's, so the two lines part.
    manual = {"ManualDeatTime": "%.3f" % exp["DT"], "ManualCoeficientEffectiveness": "%.1f" % exp["Keff"],
              "ManualK1": "%.3f" % (exp["K1"] * 0.8), "ManualK2": "%.3f" % exp["K2"],
              "ManualK3": "%.3f" % (exp["K3"] * 1.1)}
    write_archive(os.path.join(work, LAST_SAVE), 0, archived_freq_rows(("", "")),
                  dict(manual, T=FREQ_T))
    with Program(args, display, home, work, lang=lang) as prog:
        pos = layout(prog)
        prog.click(*pos["count"], what="Count")
        prog.click(*SET_BUTTON.get(args.lang, pos["set"]), what="Set")
        prog.click(*PLOT_BUTTON[args.lang], what="Plot", opens_popup=True)
        plot = window_named(prog, plot_title)
        time.sleep(SETTLE)
        px, py, pw, ph = geometry(prog, plot)
        check(px >= prog.x + prog.width, "the plot window covers the main window")
        prog.tool("mousemove", "--sync", prog.x + 5, prog.y + prog.height + 40)
        time.sleep(SETTLE)
        res = subprocess.run([args.xwin, "grab", "root", os.path.join(tmp, "root.ppm")],
                             env=prog.env, capture_output=True, text=True, timeout=30)
        check(res.returncode == 0, "grabbing the screen failed: %s" % res.stderr.strip())
        shot = Image(os.path.join(tmp, "root.ppm")).crop(
            prog.x, min(prog.y, py), px + pw, max(prog.y + prog.height, py + ph))
        if args.out:
            shot.save_png(args.out)

        if args.pdf:
            # The plot window took the focus when it opened; give it back.
            prog.tool("windowfocus", prog.window)
            shutil.copyfile(print_to_file(prog, args.lang, preview_title, tmp), args.pdf)

# A full record for the certificate, in each language it is shown in.
CERTIFICATE = {
    "en": {
        "preview": "Print preview",
        "title": "Calibration certificate",
        "page": "Page %d of %d",
        "end": "End of certificate",
        "details": {
            "CertificateNumber": "2026-0142", "Instrument": "DRM-7 dose-rate meter",
            "Manufacturer": "Northfield Instruments", "SerialNumber": "0417-23",
            "Customer": "City Hospital No. 3, radiology department",
            "CalibrationDate": "2026-03-02", "IssueDate": "2026-03-05",
            "Temperature": "21.4", "Pressure": "100.8", "Humidity": "46",
            "Notes": "Calibrated in the collimated beam at the distances of the laboratory's "
                     "procedure RP-12.\nThe detector was warmed up for 30 minutes before the "
                     "first reading.\nReadings are the means of ten counts.",
            "Laboratory": "Ionising Radiation Calibration Laboratory",
            "LaboratoryAddress": "14 Instrument Street, Northfield",
            "Operator": "A. Smith", "ApprovedBy": "B. Jones, head of the laboratory",
            "ReferenceStandard": "Reference gamma field, Cs-137 source RS-4",
            "ReferenceUncertainty": "3.0", "ReferenceCoverageFactor": "2",
            "Unit": "\u00b5Sv/h", "Tolerance": "1.5"},
    },
    "ru": {
        "preview": "Предварительный просмотр",
        "title": "Сертификат калибровки",
        "page": "Страница %d из %d",
        "end": "Конец сертификата",
        "details": {
            "CertificateNumber": "2026-0142", "Instrument": "Дозиметр-радиометр ДРМ-7",
            "Manufacturer": "Нортфилд Инструментс", "SerialNumber": "0417-23",
            "Customer": "Городская больница № 3, отделение радиологии",
            "CalibrationDate": "2026-03-02", "IssueDate": "2026-03-05",
            "Temperature": "21.4", "Pressure": "100.8", "Humidity": "46",
            "Notes": "Калибровка в коллимированном пучке на расстояниях по методике "
                     "лаборатории МК-12.\nДетектор прогревался 30 минут до первого "
                     "отсчёта.\nПоказания — средние из десяти отсчётов.",
            "Laboratory": "Лаборатория калибровки средств измерений ионизирующих излучений",
            "LaboratoryAddress": "ул. Приборная, 14, Нортфилд",
            "Operator": "А. Смирнов", "ApprovedBy": "Б. Жуков, заведующий лабораторией",
            "ReferenceStandard": "Эталонное поле гамма-излучения, источник Cs-137 ИС-4",
            "ReferenceUncertainty": "3.0", "ReferenceCoverageFactor": "2",
            "Unit": "мкЗв/ч", "Tolerance": "1.5"},
    },
}


def mean_text(a, b):
    """A mean of two readings to their digits, one more where it falls between them."""
    d = max(decimals(a), decimals(b))
    mean = (float(a) + float(b)) / 2
    text = "%.*f" % (d, mean)
    return text if abs(float(text) - mean) <= 1e-9 * abs(mean) else "%.*f" % (d + 1, mean)


def scenario_certificate(args, tmp, display):
    """The certificate of a counted panel with a full record, printed through
    the print preview and GTK's "Print to File"; its pages read back with
    pdftotext (--pdf keeps the PDF)."""
    home, work = fresh_dirs(tmp)
    cert = CERTIFICATE[args.lang]
    language, lang = {"en": ("", "C.UTF-8"), "ru": ("russian", "ru_RU.UTF-8")}[args.lang]
    write_settings(os.path.join(work, SETTINGS), work, 0, language)
    use_file_printer(home)
    write_archive(os.path.join(work, LAST_SAVE), 0, archived_freq_rows(("", "")),
                  {"T": FREQ_T}, cert["details"])
    with Program(args, display, home, work, lang=lang) as prog:
        prog.click(*layout(prog)["count"], what="Count")
        pdf = print_to_file(prog, args.lang, cert["preview"], tmp)
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, timeout=60)
    check(info.returncode == 0, "pdfinfo cannot read the PDF: %s" % info.stderr.strip())
    pages = int(re.search(r"^Pages:\s+(\d+)", info.stdout, re.M).group(1))
    check(pages >= 2, "the certificate has %d page(s)" % pages)
    details = cert["details"]

    def page_text(n, mode):
        res = subprocess.run(["pdftotext", mode, "-f", str(n), "-l", str(n), pdf, "-"],
                             capture_output=True, text=True, timeout=60)
        check(res.returncode == 0, "pdftotext failed on page %d" % n)
        return res.stdout

    # In drawing order, a wrapped text reads on across its lines; laid out,
    # a table row reads along one line.
    texts, rows = [], []
    for n in range(1, pages + 1):
        text = " ".join(page_text(n, "-raw").split())
        for want in (cert["page"] % (n, pages), cert["title"], details["CertificateNumber"],
                     details["Laboratory"]):
            check(want in text, "page %d of %d lacks %r" % (n, pages, want))
        texts.append(text)
        rows += [line.split() for line in page_text(n, "-layout").splitlines()]
    for want in (details["Customer"], details["SerialNumber"], details["ReferenceStandard"]):
        check(want in texts[0], "the first page lacks %r" % want)
    check(cert["end"] in texts[-1] and all(cert["end"] not in t for t in texts[:-1]),
          "the end mark is not on the last page alone")
    # The plot on the last page shades the record's tolerance and says so.
    check("\u00b1 %s %%" % details["Tolerance"] in texts[-1], "the plot names no tolerance")
    # Every result row whole on one line: its reference value beside its mean reading.
    for p, a, b in FREQ_ROWS:
        check(any(len(words) >= 4 and words[:2] == [p, mean_text(a, b)] for words in rows),
              "no result row %s, %s" % (p, mean_text(a, b)))
    if args.pdf:
        shutil.copyfile(pdf, args.pdf)

SCENARIOS = {
    "count_set": scenario_count_set,
    "mode_switch": scenario_mode_switch,
    "type_points": scenario_type_points,
    "second_copy": scenario_second_copy,
    "screenshot": scenario_screenshot,
    "details": scenario_details,
    "plot": scenario_plot,
    "certificate": scenario_certificate,
}
# Scenarios that need a wider screen than the main window alone.
SCREENS = {"plot": (1920, 1080)}


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", help="build tree to install from")
    ap.add_argument("--prefix", required=True, help="installation prefix")
    ap.add_argument("--xwin", required=True, help="the xwin companion program")
    ap.add_argument("--keep", action="store_true", help="keep the temporary directory")
    ap.add_argument("--lang", choices=("en", "ru", "uk"), default="en", help="interface language")
    ap.add_argument("--out", help="screenshot PNG to write")
    ap.add_argument("--pdf", help="printed report to write (scenarios plot, certificate)")
    ap.add_argument("scenario", choices=["install"] + sorted(SCENARIOS))
    args = ap.parse_args()
    tmp = tempfile.mkdtemp(prefix="varid-e2e-%s-" % args.scenario)
    display = None
    try:
        if args.scenario == "install":
            scenario_install(args, tmp)
        else:
            display = Display(*SCREENS.get(args.scenario, (1280, 1024)))
            SCENARIOS[args.scenario](args, tmp, display)
    except Failure as e:
        print("FAIL (%s): %s" % (args.scenario, e), file=sys.stderr)
        log = os.path.join(tmp, "home", "program.log")
        if os.path.isfile(log):
            with open(log) as f:
                sys.stderr.write("program output:\n" + f.read())
        print("files kept in %s" % tmp, file=sys.stderr)
        return 1
    finally:
        if display:
            display.close()
    if not args.keep:
        shutil.rmtree(tmp, ignore_errors=True)
    print("PASS (%s)" % args.scenario)
    return 0


if __name__ == "__main__":
    sys.exit(main())
