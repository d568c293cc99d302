#!/usr/bin/env python3
"""varid-export --summary over a folder of good, damaged and foreign files,
its workbook read back with openpyxl, an independent reader: the sheet
"Summary" cell by cell against the CSV of the same run, the sheet "Skipped"
with its reasons, the exit statuses, and each serial number's sheet with its
calibrations in date order, dates as dates, and its two charts of dead time
and Keff over the date. With --wine the Windows program runs under Wine.
"""
import csv
import datetime
import os
import re
import shutil
import subprocess
import sys

import openpyxl

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import workbook_check as wb  # noqa: E402  (the archives, the exporter, the cell rules)

# file -> (mode, serial, calibration date); the folder "x.xml" is a folder.
ARCHIVES = {
    "b-2025.xml": (0, "S-1", "2025-03-04"),
    "a-2026.xml": (1, "S-1", "2026-03-04"),
    "x.xml/inside.xml": (0, "S-1", "2025-09-09"),
    "c.xml": (0, "s-1", "2024-01-01"),
    "d.xml": (1, "A/B:7", ""),
    "e.xml": (0, "\u041c\u041a\u0421 (2)", "2024-05-06"),
    "no-serial.xml": (0, "", "2026-01-01"),
}
SKIPPED = {"broken.xml": "broken-xml", "foreign.xml": "not-archive", "empty.xml": "empty",
           "huge.xml": "too-large"}
# Sheet names: "/" and ":" become "_", "s-1" clashes with "S-1" but for case.
SHEETS = {"S-1": "S-1", "s-1": "s-1 (2)", "A/B:7": "A_B_7",
          "\u041c\u041a\u0421 (2)": "\u041c\u041a\u0421 (2)"}
TEXT_COLUMNS = {"Path", "Modified", "Mode", "Recount"} | (set(wb.DETAIL_NAMES) -
                                                          wb.DETAIL_NUMBERS)


def write_folder(folder):
    os.makedirs(os.path.join(folder, "x.xml"))
    for name, (mode, serial, date) in ARCHIVES.items():
        path = os.path.join(folder, name)
        wb.DETAILS.update({"SerialNumber": serial, "CalibrationDate": date})
        wb.write_archive(path, wb.STORED_RESULTS)
        if mode:
            with open(path, encoding="utf-8") as f:
                text = f.read()
            for a, b in (("Fl>", "T1>"), ("Fr>", "T2>")):
                text = text.replace("<" + a, "<" + b).replace("</" + a, "</" + b)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
    contents = {"broken.xml": b"<Archive><Table>", "foreign.xml": b"<html><body/></html>",
                "empty.xml": b""}
    for name, data in contents.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    with open(os.path.join(folder, "huge.xml"), "wb") as f:
        f.truncate(16 * 1024 * 1024 + 1)


def run(exporter, args):
    command = ([shutil.which("wine") or "wine"] if exporter.wine else []) + [exporter.program]
    res = subprocess.run(command + [exporter.path(a) if os.path.isabs(a) else a for a in args],
                         capture_output=True, stdin=subprocess.DEVNULL,
                         env=dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8"))
    return res.returncode


def check_summary(csv_path, book_path, folder):
    with open(csv_path, encoding="utf-8-sig", newline="") as f:
        records = list(csv.reader(f))
    header = records[0]
    split = next(i for i, r in enumerate(records) if r[0] == "Skipped")
    rows, skipped = records[1:split], records[split + 1:]
    wb.expect(all(len(r) == len(header) for r in records), "CSV records of unequal width")
    wb.expect(len(rows) == len(ARCHIVES), "%d rows for %d archives" % (len(rows), len(ARCHIVES)))
    # Windows names the files with backslashes.
    wb.expect(sorted((re.split(r"[\\/]", r[0])[-1], r[1]) for r in skipped) ==
              sorted(SKIPPED.items()), "skipped %r" % [r[:2] for r in skipped])

    book = openpyxl.load_workbook(book_path)
    wanted = ["Summary", "Skipped"] + [SHEETS[s] for s in ("S-1", "s-1", "A/B:7",
                                                             "\u041c\u041a\u0421 (2)")]
    wb.expect(sorted(book.sheetnames[2:]) == sorted(wanted[2:]) and book.sheetnames[:2] ==
              wanted[:2], "sheets %r" % book.sheetnames)
    summary = book["Summary"]
    wb.expect([c.value for c in summary[1]] == header, "Summary's header %r" % (
        [c.value for c in summary[1]],))
    wb.expect(summary.max_row == len(rows) + 1, "Summary has %d rows" % summary.max_row)
    for r, rec in enumerate(rows):
        for c, text in enumerate(rec):
            wb.check_cell("Summary!%s%d" % (openpyxl.utils.get_column_letter(c + 1), r + 2),
                          summary.cell(r + 2, c + 1), text, header[c] in TEXT_COLUMNS)
    skipped_sheet = book["Skipped"]
    wb.expect([[c.value for c in row] for row in skipped_sheet.iter_rows()] ==
              [["Path", "Reason"]] + [r[:2] for r in skipped], "the sheet Skipped")
    for sheet in book.worksheets:
        wb.expect(sheet.freeze_panes == "A2", "%s: frozen at %r" % (sheet.title, sheet.freeze_panes))

    # Each serial's history: its archives by date, the final values beside.
    by_serial = {}
    for rec in rows:
        serial = rec[header.index("SerialNumber")]
        if serial:
            by_serial.setdefault(serial, []).append(rec)
    for serial, recs in by_serial.items():
        sheet = book[SHEETS[serial]]
        wb.expect([c.value for c in sheet[1]][:3] == ["Date", "DeadTime", "Keff"],
                  "%s: header %r" % (sheet.title, [c.value for c in sheet[1]]))
        dates = [sheet.cell(r, 1).value for r in range(2, sheet.max_row + 1)]
        wb.expect(len(dates) == len(recs), "%s: %d rows for %d archives" % (
            sheet.title, len(dates), len(recs)))
        wb.expect(all(isinstance(d, datetime.datetime) for d in dates),
                  "%s: dates %r are no dates" % (sheet.title, dates))
        wb.expect(dates == sorted(dates), "%s: not in date order" % sheet.title)
        for rec in recs:
            date = rec[header.index("CalibrationDate")]
            if date:
                wb.expect(datetime.datetime.fromisoformat(date) in dates,
                          "%s: no row of %s" % (sheet.title, date))
        # The final set: the stored archives were counted, not Set.
        for r in range(2, sheet.max_row + 1):
            path = sheet.cell(r, 6).value
            rec = next(x for x in recs if x[0] == path)
            for c, name in ((2, "DeadTime"), (3, "Keff")):
                wb.check_cell("%s!%d,%d" % (sheet.title, r, c), sheet.cell(r, c),
                              rec[header.index(name)] if wb.DECIMAL.fullmatch(
                                  rec[header.index(name)]) else "", False)
        charts = sheet._charts
        wb.expect(len(charts) == 2, "%s: %d charts" % (sheet.title, len(charts)))
        last = len(recs) + 1

        def cells(column):
            """The column's rows 2 to last, as a formula names them."""
            span = "$%s$2" % column + (":$%s$%d" % (column, last) if last > 2 else "")
            return {"%s!%s" % (sheet.title, span), "'%s'!%s" % (sheet.title, span)}

        for chart, column in zip(charts, "BC"):
            series = chart.series[0]
            wb.expect(series.xVal.numRef.f in cells("A"),
                      "%s: dates %s" % (sheet.title, series.xVal.numRef.f))
            wb.expect(series.yVal.numRef.f in cells(column),
                      "%s: values %s" % (sheet.title, series.yVal.numRef.f))
            wb.expect(chart.x_axis.number_format.formatCode == "yyyy-mm-dd",
                      "%s: the date axis" % sheet.title)


def main():
    _, work, exporter = wb.start("\u0441\u0432\u043e\u0434\u043a\u0430")
    folder = os.path.join(work, "archives")
    write_folder(folder)
    csv_path, book = os.path.join(work, "summary.csv"), os.path.join(work, "summary.xlsx")
    for out in (csv_path, book):
        status = run(exporter, ["--summary", folder, "-o", out])
        wb.expect(status == 4, "summary into %s ended with %d, not 4" % (out, status))
    good = [os.path.join(folder, n) for n in ("b-2025.xml", "x.xml")]
    wb.expect(run(exporter, ["--summary"] + good + ["-o", os.path.join(work, "good.csv")]) == 0,
              "a summary of good archives does not end with 0")
    wb.expect(run(exporter, ["--summary", os.path.join(folder, "none")]) == 2,
              "a missing PATH does not end with 2")
    if os.path.isfile(csv_path) and os.path.isfile(book):
        check_summary(csv_path, book, folder)
    else:
        wb.failures.append("no CSV or no workbook written")
    for f in wb.failures:
        print("FAIL:", f)
    print("summary:", "FAILED" if wb.failures else "ok")
    return 1 if wb.failures else 0


if __name__ == "__main__":
    sys.exit(main())
