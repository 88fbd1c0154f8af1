#!/usr/bin/python3
"""Makes the .xlsx fixtures of tst_xlsxreader with writers other than our own.

Run once, from this folder, with Debian's python (it has openpyxl):
    /usr/bin/python3 make_xlsx_fixtures.py
The gnumeric fixture needs ssconvert (Debian package gnumeric) on PATH; without it that
file is left as it is. The fixtures are committed; the tests never run this script.
"""
import os
import shutil
import subprocess
import tempfile

import openpyxl

HEADERS = ["Question NO", "Mark", "Answer", "Question Title", "Time Limit",
           "Option A", "Option B", "Option C", "Option D", "Option E", "Option F"]

# Three questions whose texts hold what a paper may hold: commas, quotes, CR LF and LF
# line breaks, accents, CJK, leading and trailing spaces. Marks and limits include a
# fraction and a negative number.
QUESTIONS = [
    [1, 12.7, "A", 'Which, of these, is "right"?', 15,
     "line one\r\nline two", "first\nsecond", "Café crème, naïve", "中文题目：哪个正确？",
     "  padded both ends  ", "plain F"],
    [2, 10, "BD", "Second question", -0.5,
     "a", "b", "c", "d", "e", "f"],
    [3, 0, "Uncertain", "Third, last", 250,
     "x", "", "z", "", "", ""],
]


def fill_paper(sheet, headers):
    for column, header in enumerate(headers, start=1):
        if header:
            sheet.cell(row=1, column=column, value=header)
    for row, question in enumerate(QUESTIONS, start=2):
        for column, value in enumerate(question, start=1):
            if value != "":
                sheet.cell(row=row, column=column, value=value)


def make_paper_openpyxl(path):
    book = openpyxl.Workbook()
    fill_paper(book.active, HEADERS)
    book.save(path)


def make_second_sheet_active_openpyxl(path):
    # The first sheet is a decoy; the second holds the paper, has an empty header in
    # column 11 and is the active one.
    book = openpyxl.Workbook()
    decoy = book.active
    decoy.title = "Notes"
    decoy["A1"] = "not the paper"
    paper = book.create_sheet("Paper")
    fill_paper(paper, HEADERS[:10] + [""])
    book.active = 1
    decoy.sheet_view.tabSelected = False
    book.save(path)


def make_paper_gnumeric(path):
    # gnumeric writes its own package (inline strings, indented XML) and, for a formula,
    # the value it calculated. Its input is made by openpyxl, with formulas and no
    # cached values.
    if not shutil.which("ssconvert"):
        print("ssconvert not found; %s left as it is" % path)
        return
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "source.xlsx")
        book = openpyxl.Workbook()
        sheet = book.active
        fill_paper(sheet, HEADERS)
        sheet["B3"] = "=4*2.5"          # Mark of question 2: 10
        sheet["D4"] = '="Third"&", last"'  # Title of question 3 as a string formula
        book.save(source)
        subprocess.run(["ssconvert", "--export-type=Gnumeric_Excel:xlsx2", source, path],
                       check=True)


if __name__ == "__main__":
    make_paper_openpyxl("paper_openpyxl.xlsx")
    make_second_sheet_active_openpyxl("second_sheet_active_openpyxl.xlsx")
    make_paper_gnumeric("paper_gnumeric.xlsx")
