#!/usr/bin/env python3
"""Writes the import's test workbooks with writers this project did not write:
openpyxl for .xlsx and xlwt for .xls (both Debian packages), into the folder given.

Each workbook is a paper sheet as the export lays it out, with one kind of trouble a
colleague's workbook may hold. The test reads them and checks what the import says."""
import sys
from pathlib import Path

import openpyxl
import xlwt

HEADERS = ["Question NO", "Mark", "Answer", "Question Title", "Time Limit",
           "Option A", "Option B", "Option C", "Option D", "Option E", "Option F"]


def paper_rows(count):
    return [[k, 5, "A", f"Question {k}", 30] + [f"{k}{letter}" for letter in "ABCDEF"]
            for k in range(1, count + 1)]


def eight_of_thirty():
    rows = paper_rows(30)
    rows[8][1] = None  # row 10 of the sheet: an empty Mark cell
    return HEADERS, rows


def text_cells():
    rows = paper_rows(4)
    rows[1][1] = "2 pts"  # row 3
    rows[2][2] = "B, D"   # row 4
    return HEADERS, rows


def three_faults():
    headers = list(HEADERS)
    headers[1] = "Marks"
    rows = paper_rows(10)
    rows[4][1] = 300  # row 6
    rows[6][4] = 0    # row 8
    return headers, rows


def error_values():
    rows = paper_rows(6)
    rows[1][0] = "#N/A"  # row 3, column A: openpyxl stores it as an error value
    rows[3][1] = "#N/A"  # row 5, column B
    return HEADERS, rows


def write_xlsx(path, headers, rows):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Paper"
    sheet.append(headers)
    for row in rows:
        sheet.append(row)
    book.save(path)


# xlwt writes an error value by its BIFF code; its own table of names is partly wrong.
XLS_ERROR_CODES = {"#N/A": 0x2A}


def write_xls(path, headers, rows):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Paper")
    for r, row in enumerate([headers] + rows):
        for c, value in enumerate(row):
            if value in XLS_ERROR_CODES:
                sheet.row(r).set_cell_error(c, XLS_ERROR_CODES[value])
            elif value is not None:
                sheet.write(r, c, value)
    book.save(path)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, make in [("eight_of_thirty", eight_of_thirty), ("text_cells", text_cells),
                       ("three_faults", three_faults), ("error_values", error_values)]:
        headers, rows = make()
        write_xlsx(out / f"{name}.xlsx", headers, rows)
        write_xls(out / f"{name}.xls", headers, rows)


if __name__ == "__main__":
    main()
