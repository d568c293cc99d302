#!/usr/bin/env python3
"""varid-export's Excel workbook read back with openpyxl, an independent
reader, cell by cell against the CSV the command writes for the same archive:
each CSV name is mapped to the cell the workbook's layout gives it, numbers
must be numbers showing their text's decimals, everything else the exact
text (Cyrillic intact, the serial "001234" and the record's other texts
always text), the header rows frozen, the sheets named in English and the
columns wide enough for their texts. The workbook goes to a folder with
Cyrillic letters in its name. With --wine the Windows program runs under
Wine; otherwise the labels are checked in Russian too.
"""
import argparse
import csv
import math
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

import openpyxl
from openpyxl.utils import get_column_letter

# The end-to-end tests' detector points (mode 0), four ticked, enough rows
# for a fit.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from varid_e2e import FREQ_ROWS, FREQ_TICKS  # noqa: E402

# Stored as they stand (no recount): texts of every kind in cells that the
# panel reads as numbers or not.
STORED_RESULTS = [("4.067", "-0.50"), ("5", "1e-3"), ("1.5E+03", "nan"), ("inf", "-inf"),
                  ("001234", "12.3456789")]
STORED_BOXES = {"T": "130.6", "DeatTime": "4.067", "CoeficientEffectiveness": "5",
                "K1": "1e-3", "K2": "-2.25e-7", "K3": "nan", "ManualK1": "inf"}

# The record: Cyrillic texts, quotes and commas, line breaks, texts that look
# like numbers, and the six fields that are numbers.
DETAILS = {
    "CertificateNumber": "1e3",
    "Instrument": "\u0421\u0447\u0451\u0442\u0447\u0438\u043a \u0423\u0420\u0421-1",
    "SerialNumber": "001234",
    "Customer": "\u041e\u041e\u041e \u00ab\u0420\u043e\u043c\u0430\u0448\u043a\u0430\u00bb, \"A\"",
    "CalibrationDate": "2024-03-05",
    "Temperature": "21.5",
    "Pressure": "101.325",
    "Humidity": "45",
    "Notes": "\u043f\u0435\u0440\u0432\u0430\u044f \u0441\u0442\u0440\u043e\u043a\u0430\n"
             "second line",
    "Laboratory": "\u041b\u0430\u0431\u043e\u0440\u0430\u0442\u043e\u0440\u0438\u044f \u21163",
    "ReferenceUncertainty": "0.75",
    "ReferenceCoverageFactor": "2",
    "Unit": "5",
    "Tolerance": "1.50",
    "DecisionRule": "simple",
}
DETAIL_NAMES = ["CertificateNumber", "Instrument", "Manufacturer", "SerialNumber", "Customer",
                "CalibrationDate", "IssueDate", "Temperature", "Pressure", "Humidity", "Notes",
                "Laboratory", "LaboratoryAddress", "Operator", "ApprovedBy", "ReferenceStandard",
                "ReferenceUncertainty", "ReferenceCoverageFactor", "Unit", "PeriodUnit",
                "Tolerance", "DecisionRule"]
DETAIL_NUMBERS = {"Temperature", "Pressure", "Humidity", "ReferenceUncertainty",
                  "ReferenceCoverageFactor", "Tolerance"}
BOXES = ["T", "CoeficientEffectiveness", "DeatTime", "K1", "K2", "K3", "ManualDeatTime",
         "ManualCoeficientEffectiveness", "ManualK1", "ManualK2", "ManualK3"]

DECIMAL = re.compile(r"[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?")

failures = []


def expect(cond, message):
    if not cond:
        failures.append(message)


def write_archive(path, results):
    root = ET.Element("Archive")
    for table in ("Table", "ManualTable"):
        t = ET.SubElement(root, table)
        for i in range(11):
            p, a, b = FREQ_ROWS[i]
            c, acc = results[i] if i < len(results) and table == "Table" else ("", "")
            row = ET.SubElement(t, "Row")
            for name, text in (("ChooseValue", "1" if i in FREQ_TICKS else ""), ("RealP", p),
                               ("Fl", a), ("Fr", b), ("CorrectP", c), ("Accuracy", acc)):
                ET.SubElement(row, name).text = text
    coefficients = ET.SubElement(root, "Coefficients")
    for name in BOXES:
        ET.SubElement(coefficients, name).text = STORED_BOXES.get(name, "") if results else (
            "130.6" if name == "T" else "")
    details = ET.SubElement(root, "Details")
    for name in DETAIL_NAMES:
        ET.SubElement(details, name).text = DETAILS.get(name, "")
    with open(path, "wb") as f:
        f.write(b'<?xml version="1.0" encoding="UTF-8" ?>\n')
        f.write(ET.tostring(root, encoding="utf-8"))


class Exporter:
    def __init__(self, program, wine):
        self.program, self.wine = program, wine

    def path(self, unix):
        if not self.wine:
            return unix
        return subprocess.run(["winepath", "-w", unix], capture_output=True, text=True,
                              check=True).stdout.strip()

    def run(self, args, locale="C.UTF-8"):
        env = dict(os.environ, LC_ALL=locale, LANG=locale)
        env.pop("LANGUAGE", None)
        command = ([shutil.which("wine") or "wine"] if self.wine else []) + [self.program]
        res = subprocess.run(command + [self.path(a) if os.path.isabs(a) else a for a in args],
                             capture_output=True, env=env, stdin=subprocess.DEVNULL)
        expect(res.returncode in (0, 3), "%s ended with %d: %s" % (
            args, res.returncode, res.stderr.decode("utf-8", "replace")))


def number_format(text):
    """What shows a number with the digits its text has."""
    mantissa = re.split("[eE]", text)[0]
    decimals = len(mantissa.split(".")[1]) if "." in mantissa else 0
    if decimals > 15:
        return "General"
    fmt = "0" + ("." + "0" * decimals if decimals else "")
    return fmt + "E+00" if re.search("[eE]", text) else fmt


def check_cell(where, cell, text, text_only):
    value = cell.value
    if text == "":
        expect(value is None, "%s: %r where the CSV is empty" % (where, value))
    elif not text_only and DECIMAL.fullmatch(text) and math.isfinite(float(text)):
        expect(isinstance(value, (int, float)) and not isinstance(value, bool)
               and math.isclose(value, float(text), rel_tol=1e-15, abs_tol=0),
               "%s: %r is not the number %s" % (where, value, text))
        expect(cell.number_format == number_format(text),
               "%s: format %r for %r" % (where, cell.number_format, text))
    else:
        expect(value == text, "%s: %r is not the text %r" % (where, value, text))


def check_label(where, cell, want=None):
    expect(isinstance(cell.value, str) and cell.value.strip(), "%s: no label" % where)
    if want is not None:
        expect(cell.value == want, "%s: label %r, not %r" % (where, cell.value, want))


# The tables below the name,value records: a header, then the rows its test
# recognises by their first field.
RESULT_NAMES = ("DeadTime", "Keff", "K1", "K2", "K3")
TABLES = {"FitValue": lambda n: n in RESULT_NAMES,
          "BudgetRow": lambda n: re.match(r"Row\d+$", n) is not None,
          "BudgetValue": lambda n: n in RESULT_NAMES}


def check_workbook(csv_path, book_path, labels):
    """labels: CSV name -> the label expected beside its value (a few)."""
    with open(csv_path, encoding="utf-8-sig", newline="") as f:
        records = [r for r in csv.reader(f)]
    book = openpyxl.load_workbook(book_path)
    expect(book.sheetnames == ["Calibration", "Points"], "sheets %r" % book.sheetnames)
    calibration, points = book["Calibration"], book["Points"]
    for sheet in (calibration, points):
        expect(sheet.freeze_panes == "A2", "%s: frozen at %r" % (sheet.title, sheet.freeze_panes))
    check_label("Calibration!A1", calibration["A1"], labels.get("@header"))
    check_label("Calibration!B1", calibration["B1"])

    texts = {calibration.title: {}, points.title: {}}  # column -> texts shown there
    row = 2
    i = 0
    found = set()
    after_table = False
    while i < len(records):
        rec = records[i]
        name = rec[0]
        if name == "Row":  # the grid: its header and eleven rows
            for c, field in enumerate(rec):
                check_label("Points!%s1" % get_column_letter(c + 1), points.cell(1, c + 1),
                            labels.get("@" + field))
            for r in range(11):
                for c, field in enumerate(records[i + 1 + r]):
                    check_cell("Points!%s%d" % (get_column_letter(c + 1), r + 2),
                               points.cell(r + 2, c + 1), field, False)
                    texts[points.title].setdefault(c + 1, []).append(field)
            i += 12
            continue
        if name in TABLES:  # a table below a blank row, one after it
            width = len([f for f in rec if f])
            rows = 0
            while i + 1 + rows < len(records) and TABLES[name](records[i + 1 + rows][0]):
                rows += 1
            row += 1
            for c in range(width):
                check_label("Calibration!%s%d" % (get_column_letter(c + 1), row),
                            calibration.cell(row, c + 1))
            for r in range(rows):
                fields = records[i + 1 + r]
                check_label("Calibration!A%d" % (row + 1 + r), calibration.cell(row + 1 + r, 1),
                            labels.get(fields[0]))
                for c in range(1, width):
                    check_cell("Calibration!%s%d" % (get_column_letter(c + 1), row + 1 + r),
                               calibration.cell(row + 1 + r, c + 1), fields[c], False)
                    texts[calibration.title].setdefault(c + 1, []).append(fields[c])
            row += rows + 1
            i += rows + 1
            after_table = True
            found.add(name)
            continue
        if after_table:  # a blank row between a table and a record after it
            row += 1
            after_table = False
        where = "Calibration!B%d (%s)" % (row, name)
        check_label("Calibration!A%d (%s)" % (row, name), calibration.cell(row, 1),
                    labels.get(name))
        check_cell(where, calibration.cell(row, 2), rec[1],
                   name in DETAIL_NAMES and name not in DETAIL_NUMBERS)
        texts[calibration.title].setdefault(2, []).append(rec[1])
        found.add(name)
        row += 1
        i += 1
    expect(calibration.max_row == row - 1, "Calibration has %d rows, the CSV gives %d" % (
        calibration.max_row, row - 1))
    expect(points.max_row == 12, "Points has %d rows" % points.max_row)
    expect(set(DETAIL_NAMES) <= found, "record fields missing: %s" % (set(DETAIL_NAMES) - found))

    # Columns sized to what they show (the notes wrap at 60).
    for sheet in (calibration, points):
        for col, shown in texts[sheet.title].items():
            longest = max(min(len(line), 60) for t in shown for line in t.split("\n"))
            width = sheet.column_dimensions[get_column_letter(col)].width
            expect(width >= longest, "%s column %s: width %s for %d characters" % (
                sheet.title, get_column_letter(col), width, longest))
    return calibration


def check_record_cells(calibration):
    """The record's texts as typed, whatever the CSV says."""
    values = {calibration.cell(r, 1).value: calibration.cell(r, 2).value
              for r in range(2, calibration.max_row + 1)}
    serial = [v for v in values.values() if v == "001234"]
    expect(serial and isinstance(serial[0], str), "the serial 001234 is not text")
    for name in ("Instrument", "Customer", "Notes", "Laboratory"):
        expect(DETAILS[name] in values.values(), "%s %r not found intact" % (name, DETAILS[name]))
    expect("1e3" in values.values(), "the certificate number 1e3 is not text")
    expect(21.5 in values.values() and 45 in values.values(), "temperature and humidity")


ENGLISH = {"@header": "Quantity", "mode": "Program mode", "T": "T", "DeadTime": "Dead time",
           "ManualK1": "K1, manual", "SerialNumber": "Serial number",
           "Temperature": "Temperature, \u00b0C", "@Row": "Row", "@RealP0": "Real P0",
           "@Reading1": "Fl", "@ManualAccuracy": "Accuracy, manual"}
RUSSIAN = {"@header": "\u0412\u0435\u043b\u0438\u0447\u0438\u043d\u0430",
           "mode": "\u0420\u0435\u0436\u0438\u043c \u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b",
           "DeadTime": "\u041c\u0451\u0440\u0442\u0432\u043e\u0435 \u0432\u0440\u0435\u043c\u044f",
           "ManualDeadTime": "\u041c\u0451\u0440\u0442\u0432\u043e\u0435 \u0432\u0440\u0435\u043c\u044f, "
                             "\u0432\u0440\u0443\u0447\u043d\u0443\u044e",
           "@Row": "\u0421\u0442\u0440\u043e\u043a\u0430"}


def start(folder_name):
    """The command line every check takes, and a fresh work folder under
    --work whose name is the check's own (non-ASCII on purpose)."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--export", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--wine", action="store_true")
    args = parser.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    work = os.path.join(os.path.abspath(args.work), folder_name)
    os.makedirs(work)
    return args, work, Exporter(args.export, args.wine)


def main():
    args, work, exporter = start("\u043a\u043d\u0438\u0433\u0430 export")

    stored = os.path.join(work, "stored.xml")
    write_archive(stored, STORED_RESULTS)
    counted = os.path.join(work, "counted.xml")
    write_archive(counted, [])
    cases = [("stored", stored, [], ENGLISH), ("fit", counted, ["--fit"], {}),
             ("recount", counted, ["--recount"], {})]
    if not args.wine:
        # Windows takes the language from the user's settings, not from LANG.
        cases.append(("russian", stored, [], RUSSIAN))
    for case, archive, options, labels in cases:
        locale = "ru_RU.UTF-8" if case == "russian" else "C.UTF-8"
        csv_path = os.path.join(work, case + ".csv")
        book = os.path.join(work, "\u0442\u0430\u0431\u043b\u0438\u0446\u0430 %s.xlsx" % case)
        exporter.run(options + [archive, "-o", csv_path], locale)
        exporter.run(options + [archive, "-o", book], locale)
        if not (os.path.isfile(csv_path) and os.path.isfile(book)):
            failures.append("%s: no CSV or no workbook written" % case)
            continue
        before = len(failures)
        calibration = check_workbook(csv_path, book, labels)
        check_record_cells(calibration)
        if case == "fit":
            expect(any(calibration.cell(r, 1).value == "Least-squares fit"
                       for r in range(1, calibration.max_row + 1)), "fit: no fit table")
        print("%s: %s" % (case, "ok" if len(failures) == before else "FAILED"))
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
