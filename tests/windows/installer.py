#!/usr/bin/env python3
"""The Windows installer on a fresh Wine prefix: a silent install puts Varid
into Program Files\\Varid with a Start-menu shortcut and an "Apps & features"
entry; the shortcut starts Varid in %APPDATA%\\Varid (made when missing),
where its settings file lands; a silent uninstall removes what was installed
and leaves the user's files. The portable zip holds the same program tree.
Needs an X display (the program is started once) and VARID_XWIN (see
smoke.py).
"""
import argparse
import os
import shutil
import subprocess
import sys
import time
import zipfile

WINE = shutil.which("wine") or "wine"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varid"


class Failure(Exception):
    pass


def check(cond, message):
    if not cond:
        raise Failure(message)


def wine(*args, output=False):
    """Runs a Wine command. Programs it starts inherit its output, so that is
    captured only when wanted, from commands that start nothing."""
    if output:
        return subprocess.run([WINE] + list(args), capture_output=True)
    return subprocess.run([WINE] + list(args), stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def unix_path(windows):
    return subprocess.run(["winepath", "-u", windows], capture_output=True, text=True,
                          check=True).stdout.strip()


def wait_for(cond, what, timeout=90):
    end = time.time() + timeout
    while time.time() < end:
        if cond():
            return
        time.sleep(0.5)
    raise Failure("%s within %d s" % (what, timeout))


def registry(key):
    res = wine("reg", "query", key, output=True)
    if res.returncode != 0:
        return None
    values = {}
    for line in res.stdout.decode("utf-8", "replace").splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2].strip()
    return values


def varid_windows():
    res = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", "varid.exe"],
                         capture_output=True, text=True)
    return res.stdout.split()


INSTALLED = ["LICENSE.txt", "uninstall.exe", "bin/varid.exe", "bin/varid-export.exe",
             "bin/varid-start.exe", "share/varid/help/en/index.html",
             "share/varid/help/ru/index.html", "share/varid/help/uk/index.html"] + [
    "bin/%s/LC_MESSAGES/%s.mo" % (lang, domain) for lang in ("ru", "uk")
    for domain in ("wxstd-3.2", "kevro_zanol", "KEVRO_Varid")]


def run(args):
    setup = os.path.join(args.dist, "varid-%s-setup.exe" % args.version)
    check(os.path.isfile(setup), "no installer %s" % setup)

    # The portable zip: the same tree in one top folder.
    with zipfile.ZipFile(os.path.join(args.dist, "varid-%s-windows-x64.zip" % args.version)) as z:
        names = set(z.namelist())
    top = "varid-%s-windows-x64/" % args.version
    missing = [f for f in INSTALLED if f != "uninstall.exe" and top + f not in names]
    check(not missing, "the zip lacks %r" % missing)

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    os.environ["WINEPREFIX"] = os.path.join(args.work, "prefix")
    wine("wineboot", "-i")

    res = wine(setup, "/S")
    check(res.returncode == 0, "silent install ended with %d" % res.returncode)
    install = unix_path(r"C:\Program Files\Varid")
    missing = [f for f in INSTALLED if not os.path.isfile(os.path.join(install, f))]
    check(not missing, "not installed: %r" % missing)
    # The licence page's text names the workbook writer's licences in full.
    with open(os.path.join(install, "LICENSE.txt"), encoding="utf-8") as f:
        licence = f.read()
    for words in ("MIT License", "libxlsxwriter, under the FreeBSD licence",
                  "tmpfileplus", "Mozilla Public License Version 2.0"):
        check(words in licence, "LICENSE.txt lacks %r" % words)

    entry = registry(UNINSTALL_KEY)
    check(entry, "no uninstall entry under %s" % UNINSTALL_KEY)
    for name, want in (("DisplayName", "Varid"), ("DisplayVersion", args.version),
                       ("Publisher", "Varid maintainers")):
        check(entry.get(name) == want, "%s is %r" % (name, entry.get(name)))
    check(int(entry.get("EstimatedSize", "0"), 0) > 1000, "EstimatedSize %r" % entry.get("EstimatedSize"))
    check("uninstall.exe" in entry.get("UninstallString", ""), "UninstallString %r" % entry)

    programs = unix_path(r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs")
    link = os.path.join(programs, "Varid.lnk")
    check(os.path.isfile(link), "no Start-menu shortcut %s" % link)

    # The shortcut, as the Start menu opens it: Varid in the user's folder.
    appdata = unix_path(wine("cmd", "/c", "echo %APPDATA%", output=True).stdout.decode().strip())
    home = os.path.join(appdata, "Varid")
    check(not os.path.exists(home), "%s exists before the first start" % home)
    wine("start", r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Varid.lnk")
    wait_for(varid_windows, "no Varid window after the shortcut")
    window = varid_windows()[0]
    time.sleep(1)
    subprocess.run([os.environ["VARID_XWIN"], "close", window], check=True)
    settings = os.path.join(home, "kevro_varid.ini")
    wait_for(lambda: os.path.isfile(settings) and not varid_windows(),
             "no settings file %s after the close" % settings)
    with open(settings, encoding="utf-8", errors="replace") as f:
        text = f.read()
    check("Roaming\\Varid" in text.replace("\\\\", "\\"), "the archive directory is not the "
          "user's folder: %s" % text)
    check(os.path.isfile(os.path.join(home, "varid_last_save.xml")), "no last-save in %s" % home)
    with open(os.path.join(home, "my run.xml"), "w") as f:
        f.write("<Archive/>\n")

    res = wine(os.path.join(install, "uninstall.exe"), "/S")
    check(res.returncode == 0, "silent uninstall ended with %d" % res.returncode)
    # The uninstaller runs on from a copy of itself.
    wait_for(lambda: not os.path.exists(install), "%s still there after uninstall" % install)
    check(not os.path.exists(link), "the shortcut is still there")
    check(registry(UNINSTALL_KEY) is None, "the uninstall entry is still there")
    for kept in ("my run.xml", "kevro_varid.ini", "varid_last_save.xml"):
        check(os.path.isfile(os.path.join(home, kept)), "the user's %s is gone" % kept)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    try:
        run(args)
    except Failure as failure:
        print("FAILED: %s" % failure)
        sys.exit(1)
    finally:
        subprocess.run(["wineserver", "-k"], capture_output=True)
    print("ok: install, shortcut, uninstall")


if __name__ == "__main__":
    main()
