"""Prints, as JSON, what two independent readers see in an .xlsx file.

openpyxl: the sheet's name, each cell's type and value, column widths and wrap flags.
"strict": the shared strings and inline strings of the first sheet read straight from
the XML, with the format's _xHHHH_ escapes undone and, like a spreadsheet program, the
blanks around a text dropped unless the text is marked xml:space="preserve".
"""
import json
import re
import sys
import warnings
import zipfile
import xml.etree.ElementTree as ET

import openpyxl
from openpyxl.utils import get_column_letter

MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
REL = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"
PKG_REL = "{http://schemas.openxmlformats.org/package/2006/relationships}"
XML_SPACE = "{http://www.w3.org/XML/1998/namespace}space"
ESCAPE = re.compile(r"_x([0-9A-Fa-f]{4})_")


def strict_text(node):
    parts = []
    for t in node.iter(MAIN + "t"):
        text = t.text or ""
        if t.get(XML_SPACE) != "preserve":
            text = text.strip(" \t\r\n")
        parts.append(text)
    return ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), "".join(parts))


def strict_cells(path):
    with zipfile.ZipFile(path) as z:
        workbook = ET.fromstring(z.read("xl/workbook.xml"))
        rels = ET.fromstring(z.read("xl/_rels/workbook.xml.rels"))
        first = workbook.find(MAIN + "sheets")[0]
        rid = first.get(REL + "id")
        target = next(r.get("Target") for r in rels.iter(PKG_REL + "Relationship")
                      if r.get("Id") == rid)
        target = target.lstrip("/")
        if not target.startswith("xl/"):
            target = "xl/" + target
        shared = []
        if "xl/sharedStrings.xml" in z.namelist():
            sst = ET.fromstring(z.read("xl/sharedStrings.xml"))
            shared = [strict_text(si) for si in sst.findall(MAIN + "si")]
        sheet = ET.fromstring(z.read(target))
    texts = []
    for c in sheet.iter(MAIN + "c"):
        ref = c.get("r")
        kind = c.get("t")
        if kind == "s":
            texts.append([ref, shared[int(c.find(MAIN + "v").text)]])
        elif kind == "inlineStr":
            texts.append([ref, strict_text(c.find(MAIN + "is"))])
    return texts


def main(path):
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        book = openpyxl.load_workbook(path)
        sheet = book.active
        cells = []
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is None and cell.data_type == "n":
                    continue
                cells.append({"row": cell.row, "column": cell.column,
                              "type": cell.data_type, "value": cell.value,
                              "wrap": bool(cell.alignment.wrap_text)})
        columns = {}
        for c in range(1, 30):
            dim = sheet.column_dimensions.get(get_column_letter(c))
            if dim is not None and dim.width:
                columns[str(c)] = {"width": dim.width,
                                   "wrap": bool(dim.alignment.wrap_text)}
    result = {
        "sheets": book.sheetnames,
        "active": sheet.title,
        "cells": cells,
        "columns": columns,
        "strict": strict_cells(path),
        "warnings": [str(w.message) for w in caught],
    }
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main(sys.argv[1])
