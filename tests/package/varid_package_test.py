#!/usr/bin/env python3
"""Checks of the Debian package, one step per ctest entry.

"build" makes the package with scripts/make-deb.sh (or takes the one named by
VARID_DEB) and unpacks it with dpkg-deb into <work>/root and <work>/control;
every other step checks what was unpacked. A step whose tool is missing exits
with SKIP (ctest's SKIP_RETURN_CODE) and says which tool, so it shows as
skipped, never as passed.
"""

import argparse
import csv
import gzip
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SKIP = 77
METAINFO_ID = "io.github.varid.Varid"
XML_LANG = "{http://www.w3.org/XML/1998/namespace}lang"

# Every file the package must hold, relative to its root.
EXPECTED_FILES = [
    "usr/bin/varid",
    "usr/bin/varid-export",
    "usr/share/applications/varid.desktop",
    "usr/share/icons/hicolor/48x48/apps/varid.png",
    "usr/share/icons/hicolor/128x128/apps/varid.png",
    "usr/share/metainfo/%s.metainfo.xml" % METAINFO_ID,
    "usr/share/man/man1/varid.1.gz",
    "usr/share/man/man1/varid-export.1.gz",
    "usr/share/doc/varid/copyright",
    "usr/share/doc/varid/changelog.Debian.gz",
    "usr/share/lintian/overrides/varid",
] + ["usr/share/locale/%s/LC_MESSAGES/%s.mo" % (lang, domain)
     for lang in ("ru", "uk") for domain in ("kevro_zanol", "KEVRO_Varid")] + [
    "usr/share/varid/help/%s/index.html" % lang for lang in ("en", "ru", "uk")]
PROGRAMS = ["usr/bin/varid", "usr/bin/varid-export"]

# What the manual page of the program must tell: where its files live.
VARID_PAGE_FACTS = ["kevro_varid.ini", "varid_last_save.xml", "home folder",
                    "directory it is started from"]


class Failure(Exception):
    pass


class Skip(Exception):
    pass


def check(cond, message):
    if not cond:
        raise Failure(message)


def need(*tools):
    missing = [t for t in tools if shutil.which(t) is None]
    if missing:
        raise Skip("%s not installed (scripts/install-deps.sh installs it)" % ", ".join(missing))


def run(cmd, **kw):
    return subprocess.run(cmd, capture_output=True, timeout=kw.pop("timeout", 600), **kw)


class Unpacked:
    """The package as the build step left it."""

    def __init__(self, work):
        self.root = os.path.join(work, "root")
        try:
            with open(os.path.join(work, "deb-path.txt"), encoding="utf-8") as f:
                self.deb = f.read().strip()
        except FileNotFoundError:
            raise Skip("no package was unpacked: the step package_build was skipped or failed")
        self.control = parse_control(os.path.join(work, "control", "control"))

    def path(self, rel):
        return os.path.join(self.root, rel)

    def read(self, rel):
        opener = gzip.open if rel.endswith(".gz") else open
        with opener(self.path(rel), "rt", encoding="utf-8") as f:
            return f.read()


def parse_control(path):
    fields = {}
    key = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line[:1] in (" ", "\t") and key:
                fields[key] += "\n" + line.strip()
            elif ":" in line:
                key, value = line.split(":", 1)
                fields[key] = value.strip()
    return fields


def dependency_names(depends):
    """Package names of a Depends field, alternatives included, versions dropped."""
    return sorted(re.split(r"[\s(]", alt.strip())[0]
                  for item in depends.split(",") for alt in item.split("|") if alt.strip())


# --------------------------------------------------------------------------
# Steps.


def step_build(args):
    # Nothing of an earlier run may stand in for this one.
    if os.path.exists(os.path.join(args.work, "deb-path.txt")):
        os.remove(os.path.join(args.work, "deb-path.txt"))
    for name in ("root", "control"):
        shutil.rmtree(os.path.join(args.work, name), ignore_errors=True)
    need("dpkg-deb")
    deb = os.environ.get("VARID_DEB")
    if deb:
        print("taking the package %s (VARID_DEB)" % deb)
    else:
        # cpack's DEB generator asks file(1) which files are programs and
        # dpkg-shlibdeps for their dependencies.
        need("cpack", "file", "dpkg-shlibdeps", "dpkg-buildflags")
        env = dict(os.environ, VARID_SKIP_DEPS="1")
        res = run(["sh", os.path.join(args.source, "scripts", "make-deb.sh"),
                   os.path.join(args.work, "deb-build")], env=env, text=True)
        print(res.stdout[-4000:], res.stderr[-4000:], sep="\n")
        check(res.returncode == 0, "scripts/make-deb.sh failed (status %d)" % res.returncode)
        deb = res.stdout.strip().splitlines()[-1]
    check(os.path.isfile(deb), "no package at %r" % deb)
    for cmd in (["dpkg-deb", "-x", deb, os.path.join(args.work, "root")],
                ["dpkg-deb", "-e", deb, os.path.join(args.work, "control")]):
        res = run(cmd, text=True)
        check(res.returncode == 0, "%s failed: %s" % (" ".join(cmd), res.stderr))
    with open(os.path.join(args.work, "deb-path.txt"), "w", encoding="utf-8") as f:
        f.write(deb + "\n")
    print("%s: %d bytes" % (deb, os.path.getsize(deb)))


def step_contents(args):
    pkg = Unpacked(args.work)
    need("dpkg", "file")
    problems = []

    def expect(cond, message):
        if not cond:
            problems.append(message)

    missing = [rel for rel in EXPECTED_FILES if not os.path.isfile(pkg.path(rel))]
    expect(not missing, "missing from the package:\n    " + "\n    ".join(missing))

    # Control fields: the version from the project, the maintainer, the
    # architecture of this machine, and the file name made of them.
    c = pkg.control
    arch = run(["dpkg", "--print-architecture"], text=True).stdout.strip()
    expect(c.get("Package") == "varid", "Package is %r" % c.get("Package"))
    expect(c.get("Version", "").split("-")[0] == args.version,
           "Version %r is not the project's %s" % (c.get("Version"), args.version))
    expect(c.get("Maintainer", "").startswith("Varid maintainers <"),
           "Maintainer is %r" % c.get("Maintainer"))
    expect(c.get("Architecture") == arch, "Architecture %r on %s" % (c.get("Architecture"), arch))
    expect(os.path.basename(pkg.deb) == "varid_%s_%s.deb" % (c.get("Version"), arch),
           "package file named %s" % os.path.basename(pkg.deb))

    # Depends is exactly what dpkg-shlibdeps finds in the packaged programs.
    programs = [pkg.path(p) for p in PROGRAMS if os.path.isfile(pkg.path(p))]
    if shutil.which("dpkg-shlibdeps") and programs:
        with tempfile.TemporaryDirectory() as tmp:
            os.mkdir(os.path.join(tmp, "debian"))
            with open(os.path.join(tmp, "debian", "control"), "w") as f:
                f.write("Source: varid\n\nPackage: varid\nArchitecture: any\n")
            res = run(["dpkg-shlibdeps", "-O"] + ["-e" + p for p in programs], cwd=tmp, text=True)
        expect(res.returncode == 0, "dpkg-shlibdeps failed: %s" % res.stderr)
        found = res.stdout.strip().split("=", 1)[-1]
        expect(dependency_names(c.get("Depends", "")) == dependency_names(found),
               "Depends %r, dpkg-shlibdeps gives %r" % (c.get("Depends"), found))
    for name in ("libwxbase3.2-1", "libwxgtk3.2-1", "libtinyxml2.6.2v5", "libcminpack1",
                 "libxlsxwriter4"):
        expect(name in dependency_names(c.get("Depends", "")), "Depends lacks %s" % name)

    for rel in programs:
        desc = run(["file", "-b", rel], text=True).stdout
        expect(desc.startswith("ELF") and ", stripped" in desc, "%s: %s" % (rel, desc.strip()))
        expect(os.access(rel, os.X_OK), "%s is not executable" % rel)

    # Manual pages: roff that names itself, and the program's page tells where
    # its files live.
    for page in ("varid", "varid-export"):
        rel = "usr/share/man/man1/%s.1.gz" % page
        if not os.path.isfile(pkg.path(rel)):
            continue
        text = pkg.read(rel)
        expect(re.search(r'^\.TH "?%s"? "?1"?' % re.escape(page), text, re.M),
               "%s has no .TH header for %s(1)" % (rel, page))
        if page == "varid":
            flat = re.sub(r"\\f[BIRP]|\\&|\\", "", " ".join(text.split()))
            for fact in VARID_PAGE_FACTS:
                expect(fact in flat, "varid(1) does not mention %r" % fact)

    # The changelog's newest entry is this version.
    rel = "usr/share/doc/varid/changelog.Debian.gz"
    if os.path.isfile(pkg.path(rel)):
        text = pkg.read(rel)
        head = re.match(r"varid \(([^)]+)\) ", text)
        expect(head and head.group(1) == c.get("Version"),
               "changelog starts with %r, package is %s" % (text[:40], c.get("Version")))

    # The copyright file: machine-readable, naming the project's MIT licence
    # and the licences of the libraries (the workbook writer's bundled
    # tmpfileplus among them).
    rel = "usr/share/doc/varid/copyright"
    if os.path.isfile(pkg.path(rel)):
        text = pkg.read(rel)
        expect(text.startswith("Format: https://www.debian.org/doc/packaging-manuals/"
                               "copyright-format/1.0/"), "copyright is not DEP-5")
        for name in ("Expat", "wxWindows", "Zlib", "BSD-2-Clause", "MPL-2.0"):
            expect(re.search(r"^License: %s$" % name, text, re.M),
                   "copyright has no %s licence" % name)

    # AppStream: the newest release is this version; summary and description
    # in the three languages (appstreamcli checks the rest).
    rel = "usr/share/metainfo/%s.metainfo.xml" % METAINFO_ID
    if os.path.isfile(pkg.path(rel)):
        comp = ET.parse(pkg.path(rel)).getroot()
        expect(comp.findtext("id") == METAINFO_ID, "metainfo id %r" % comp.findtext("id"))
        releases = comp.findall("releases/release")
        expect(releases and releases[0].get("version") == args.version,
               "newest AppStream release is %r, not %s"
               % (releases and releases[0].get("version"), args.version))
        for tag in ("summary", "description/p"):
            langs = {e.get(XML_LANG) for e in comp.findall(tag)}
            expect(langs >= {None, "ru", "uk"}, "metainfo %s languages: %s" % (tag, langs))

    check(not problems, "\n".join(problems))
    print("%s: %d bytes, Depends: %s" % (os.path.basename(pkg.deb), os.path.getsize(pkg.deb),
                                         c.get("Depends")))


def step_export(args):
    pkg = Unpacked(args.work)
    exe = pkg.path("usr/bin/varid-export")
    check(os.path.isfile(exe), "the package has no usr/bin/varid-export")
    # English messages, whatever the machine's language.
    env = dict(os.environ, LANGUAGE="", LC_ALL="C.UTF-8")

    res = run([exe, "--version"], env=env, timeout=60, text=True)
    check(res.returncode == 0, "varid-export --version: status %d, %s"
          % (res.returncode, res.stderr))
    check(args.version in res.stdout, "varid-export --version printed %r" % res.stdout)

    example = os.path.join(args.source, "tests", "archive", "example.xml")
    res = run([exe, example], env=env, timeout=60)
    check(res.returncode == 0, "export of the example: status %d, %s"
          % (res.returncode, res.stderr.decode(errors="replace")))
    data = res.stdout
    check(data.startswith(b"\xef\xbb\xbf"), "the CSV does not start with a byte-order mark")
    records = list(csv.reader(io.StringIO(data[3:].decode("utf-8"), newline="")))
    rows = [r[1:5] for r in records if r[0] in ("1", "2") and len(r) > 4]
    check(rows == [["1", "100", "98.4", "98.9"], ["", "200", "195.1", ""]],
          "the example's rows came out as %r" % rows)


def step_lintian(args):
    pkg = Unpacked(args.work)
    need("lintian")
    # Warnings fail too: each one left is overridden in the package with its
    # reason, and shown here ("O:"). Lintian counts shown overrides as
    # findings, so the verdict is read from the tags it prints.
    res = run(["lintian", "--fail-on", "none", "--show-overrides", "--display-info",
               "--pedantic", pkg.deb], text=True)
    print(res.stdout, res.stderr)
    check(res.returncode == 0, "lintian did not run through (status %d)" % res.returncode)
    check(not re.search(r"^[EW]: ", res.stdout, re.M), "lintian reports errors or warnings")


def step_appstream(args):
    pkg = Unpacked(args.work)
    need("appstreamcli")
    res = run(["appstreamcli", "validate", "--no-net",
               pkg.path("usr/share/metainfo/%s.metainfo.xml" % METAINFO_ID)], text=True)
    print(res.stdout, res.stderr)
    check(res.returncode == 0, "appstreamcli validate failed (status %d)" % res.returncode)


def step_desktop(args):
    pkg = Unpacked(args.work)
    need("desktop-file-validate")
    res = run(["desktop-file-validate", pkg.path("usr/share/applications/varid.desktop")],
              text=True)
    print(res.stdout, res.stderr)
    check(res.returncode == 0 and not re.search(r"\b(error|warning):", res.stdout + res.stderr),
          "desktop-file-validate complains (status %d)" % res.returncode)


STEPS = {"build": step_build, "contents": step_contents, "export": step_export,
         "lintian": step_lintian, "appstream": step_appstream, "desktop": step_desktop}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--source", required=True, help="top directory of the sources")
    parser.add_argument("--work", required=True, help="directory for the build and unpacking")
    parser.add_argument("--version", required=True, help="the project version")
    parser.add_argument("step", choices=sorted(STEPS))
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    try:
        STEPS[args.step](args)
    except Skip as e:
        print("SKIPPED: %s" % e)
        return SKIP
    except Failure as e:
        print("FAILED: %s" % e)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
