#!/usr/bin/python3
"""Writes the .xls fixtures of tst_xlsreader with writers other than the editor's own.

Run once from this folder with Debian's python3-xlwt and gnumeric's ssconvert installed;
the results are committed, so the tests need neither:

    /usr/bin/python3 make_xls_fixtures.py

tst_xlsreader.cpp holds the same cell values; change both together.
"""
import datetime
import gzip
import os
import subprocess
import tempfile

import xlwt

HEADERS = ["Question NO", "Mark", "Answer", "Question Title", "Time Limit",
           "Option A", "Option B", "Option C", "Option D", "Option E"]  # column 11 left empty


def long_text():
    # 4350 characters of mixed Latin and CJK: stored as UTF-16, its SST entry runs into a
    # CONTINUE record. (FreeXL 1.0.6 misreads one that needs two; see README.md.)
    return "".join("段落%04d: long text, \"quoted\"\r\n" % i for i in range(150))


ROWS = [
    [1, 5, "A", 'Commas, and "quotes"', 30,
     "Line one\r\nLine two", "LF\nonly", "Café crème – naïve", "中文题目 日本語テキスト",
     "  leading and trailing  ", "F text"],
    [2, 12.7, " c a ", long_text(), 60, "", "B", "C", "D", "E", "F"],
    [3, -0.5, "Uncertain", "Negative mark", 0.5, "a", "b", "c", "d", "e", "f"],
    [4, 250, "ABCDEF", "42", 251, 3.14159265358979, "x", "y", "z", "w",
     datetime.date(2024, 3, 1)],
]


def write_paper_sheet(sheet):
    for column, header in enumerate(HEADERS):
        sheet.write(0, column, header)
    date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    for r, values in enumerate(ROWS, start=1):
        for column, value in enumerate(values):
            if isinstance(value, datetime.date):
                sheet.write(r, column, value, date_style)
            elif value != "":  # an empty string stays an empty cell
                sheet.write(r, column, value)


def paper_xlwt():
    book = xlwt.Workbook(encoding="utf-8")
    write_paper_sheet(book.add_sheet("Paper"))
    book.save("paper-xlwt.xls")


def second_sheet_active_xlwt():
    book = xlwt.Workbook(encoding="utf-8")
    notes = book.add_sheet("Notes")
    notes.write(0, 0, "not this sheet")
    paper = book.add_sheet("Paper")
    write_paper_sheet(paper)
    notes.set_selected(False)
    paper.set_selected(True)
    book.set_active_sheet(1)
    book.save("second-sheet-active-xlwt.xls")


def text_over_two_continue_records_xlwt():
    # 8400 CJK characters take 16800 bytes: the SST record and two CONTINUE records.
    # FreeXL 1.0.6 returns this string cut short; the reader must refuse the file.
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Paper")
    sheet.write(0, 0, "Question NO")
    sheet.write(1, 0, "段" * 8400)
    book.save("text-over-two-continue-records-xlwt.xls")


def resave_with_gnumeric(source, target):
    subprocess.run(["ssconvert", "--export-type=Gnumeric_Excel:excel_biff8", source, target],
                   check=True)


def resave_with_gnumeric_second_tab_active(source, target):
    # Converting straight from .xls, ssconvert marks the first tab active again; going
    # through its own format keeps the tab chosen there.
    with tempfile.TemporaryDirectory() as folder:
        native = os.path.join(folder, "book.gnumeric")
        subprocess.run(["ssconvert", source, native], check=True)
        with gzip.open(native, "rt", encoding="utf-8") as f:
            xml = f.read()
        assert 'SelectedTab="0"' in xml
        with open(native, "w", encoding="utf-8") as f:
            f.write(xml.replace('SelectedTab="0"', 'SelectedTab="1"'))
        resave_with_gnumeric(native, target)


if __name__ == "__main__":
    paper_xlwt()
    second_sheet_active_xlwt()
    text_over_two_continue_records_xlwt()
    resave_with_gnumeric("paper-xlwt.xls", "paper-gnumeric.xls")
    resave_with_gnumeric_second_tab_active("second-sheet-active-xlwt.xls",
                                           "second-sheet-active-gnumeric.xls")
