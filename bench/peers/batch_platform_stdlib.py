#!/usr/bin/python3
"""A batch of paper files converted with nothing but Python's standard library: the peer
of `paperconv --to moodle-xml -o OUT.xml IN...` and `paperconv --to xlsx -d DIR IN...`.

  batch_platform_stdlib.py --to moodle-xml -o OUT.xml IN...
      one Moodle XML file: for each paper a category named after the file (its name
      without .csv), then its questions, as paperconv writes one paper
  batch_platform_stdlib.py --to xlsx -d DIR IN...
      DIR/NAME.xlsx for each paper: the paper's sheet as the editor exports it (the
      eleven headers, then a row per question, numbers as numbers, wrapped text, the
      same column widths), zipped with zipfile from XML written here

A paper file is UTF-8 comma-separated text with a header line naming the eleven
columns (in any order, any letter case), CR LF line ends and quoted fields that may
hold commas, quotes and line breaks. A file that is not a paper is named on standard
error with the reason and left out; the others are still written, and the exit status
is then 1."""
import argparse
import csv
import io
import math
import os
import re
import sys
import zipfile

HEADERS = ["Question NO", "Mark", "Answer", "Question Title", "Time Limit",
           "Option A", "Option B", "Option C", "Option D", "Option E", "Option F"]
WIDTHS = [6, 6, 6, 30, 6, 13, 13, 13, 13, 13, 13]  # the sheet's, in characters
NUMBER_COLUMNS = {0, 1, 4}
MAX_QUESTIONS, MAX_MARK, TIME_LIMITS = 250, 250, (1, 250)
MAX_FILE_BYTES = 32 << 20
UNCERTAIN = "Uncertain"
SHARES = ["0", "100", "50", "33.33333", "25", "20", "16.66667"]


class Refused(Exception):
    pass


class Question:
    __slots__ = ("number", "mark", "answer", "title", "time_limit", "options")


# The number at the start of a text as paper files read it: blanks, tabs and line feeds
# skipped, then sign, digits with one point, an exponent (E or D); no number reads as 0.
NUMBER = re.compile(r"[+-]?(\d+\.?\d*|\.\d+)?([EeDd][+-]?\d+)?")


def leading_number(text):
    squeezed = re.sub(r"[ \t\n]", "", text)
    match = NUMBER.match(squeezed)
    digits = match.group(0) if match and match.group(1) else ""
    whole = bool(digits) and len(digits) == len(squeezed)
    if not digits:
        return 0.0, False
    try:
        return float(digits.replace("D", "E").replace("d", "e")), whole
    except ValueError:
        return math.inf, whole


def whole_number(text, first, last, line, column):
    number = math.floor(leading_number(text)[0])
    if not first <= number <= last:
        raise Refused(f"line {line}, {column}: {text.strip()!r} is outside {first}-{last}")
    return int(number)


def answer_letters(text):
    text = text.strip()
    if not text or len(text) > 6 or text == UNCERTAIN:
        return UNCERTAIN
    mask = 0
    for c in text.upper():
        if c < "A" or c > "F":
            return UNCERTAIN
        mask |= 1 << (ord(c) - ord("A"))
    return "".join(chr(ord("A") + i) for i in range(6) if mask >> i & 1)


def read_paper(path):
    if os.path.getsize(path) > MAX_FILE_BYTES:
        raise Refused("the file is longer than any paper")
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        raise Refused("the text is not UTF-8")
    records = csv.reader(io.StringIO(text, newline=""))
    header = next(records, None)
    if header is None:
        raise Refused("the file is empty")
    places = {}
    for place in range(len(header) - 1, -1, -1):  # backwards: the first wins
        name = header[place].strip().lower()
        for column, wanted in enumerate(HEADERS):
            if name == wanted.lower():
                places[column] = place
    for column, wanted in enumerate(HEADERS):
        if column not in places:
            raise Refused(f"line 1, {wanted}: the column is missing")
    questions = []
    for record in records:
        line = records.line_num
        if not record:
            continue
        if len(questions) == MAX_QUESTIONS:
            raise Refused(f"line {line}: more than {MAX_QUESTIONS} questions")
        field = lambda column: record[places[column]] if places[column] < len(record) else ""
        number = field(0)
        if not number.strip():
            raise Refused(f"line {line}, Question NO: the question number is missing")
        if not leading_number(number)[1]:
            raise Refused(f"line {line}, Question NO: {number.strip()!r} is not a number")
        q = Question()
        q.mark = whole_number(field(1), 0, MAX_MARK, line, "Mark")
        if not field(2):
            raise Refused(f"line {line}, Answer: the answer is empty")
        q.time_limit = whole_number(field(4), *TIME_LIMITS, line, "Time Limit")
        q.number = len(questions) + 1
        q.answer = answer_letters(field(2))
        q.title = field(3)
        q.options = [field(5 + i) for i in range(6)]
        questions.append(q)
    if not questions:
        raise Refused("the file has a header line but no questions")
    return questions


def paper_name(path):
    name = os.path.basename(path)
    return name[:-4] if name.lower().endswith(".csv") else name


# Moodle XML, laid out as Qt's stream writer lays it out with auto-formatting (four
# spaces a level), so that one paper's file equals paperconv's byte for byte.
def xml_text(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace('"', "&quot;"))


def html_text(text):
    text = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    text = text.replace("\r\n", "\n").replace("\r", "\n")
    return text.replace("\n", "<br>")


def moodle_paper(out, name, questions, losses):
    put = out.append
    put('    <question type="category">\n        <category>\n            <text>'
        f"{xml_text('$course$/top/' + name)}</text>\n        </category>\n    </question>\n")
    no_answer, only_empty = [], []
    for q in questions:
        offered = [i for i in range(6) if q.options[i]]
        rights = {i for i in offered if chr(ord("A") + i) in q.answer} if q.answer != UNCERTAIN else set()
        if q.answer == UNCERTAIN:
            no_answer.append(q.number)
            continue
        if not rights:
            only_empty.append(q.number)
            continue
        right, wrong = len(rights), len(offered) - len(rights)
        put('    <question type="multichoice">\n'
            f"        <name>\n            <text>Question {q.number}</text>\n        </name>\n"
            f'        <questiontext format="html">\n            <text>{xml_text(html_text(q.title))}'
            "</text>\n        </questiontext>\n"
            f"        <defaultgrade>{q.mark}</defaultgrade>\n"
            f"        <single>{'true' if right == 1 else 'false'}</single>\n"
            "        <shuffleanswers>false</shuffleanswers>\n"
            "        <answernumbering>ABCD</answernumbering>\n")
        for i in offered:
            if i in rights:
                fraction = SHARES[right]
            else:
                fraction = "0" if right == 1 else "-" + SHARES[wrong]
            put(f'        <answer fraction="{fraction}" format="html">\n'
                f"            <text>{xml_text(html_text(q.options[i]))}</text>\n        </answer>\n")
        put("        <tags>\n            <tag>\n"
            f"                <text>time-limit-{q.time_limit}</text>\n"
            "            </tag>\n        </tags>\n    </question>\n")
    for numbers, why in ((no_answer, "no answer set"), (only_empty, "only empty options right")):
        if numbers:
            losses.append(f"{name}: left out ({why}): {', '.join(map(str, numbers))}")


def write_moodle_xml(papers, target):
    out = ['<?xml version="1.0" encoding="UTF-8"?>\n<quiz>\n']
    losses = []
    for name, questions in papers:
        moodle_paper(out, name, questions, losses)
    out.append("</quiz>\n")
    with open(target, "wb") as f:
        f.write("".join(out).encode("utf-8"))
    for loss in losses:
        print(loss, file=sys.stderr)


# The sheet of the workbook export. Cell texts: control characters other than tab and
# line feed become _xHHHH_, and an underscore that starts text looking like such an
# escape becomes _x005F_, so a reader gets back exactly the text.
ESCAPE_LIKE = re.compile(r"_(?=x[0-9A-Fa-f]{4}_)")
CONTROL = re.compile("[\x00-\x08\x0b-\x1f\ufffe\uffff]")


def cell_text(text):
    text = ESCAPE_LIKE.sub("_x005F_", text)
    text = CONTROL.sub(lambda m: f"_x{ord(m.group(0)):04X}_", text)
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def column_name(index):
    return "ABCDEFGHIJK"[index]


NS = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
REL_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL_NS = "http://schemas.openxmlformats.org/package/2006/relationships"
HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
CONTENT_TYPES = (HEAD + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                 '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                 '<Default Extension="xml" ContentType="application/xml"/>'
                 '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
                 '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
                 '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>'
                 '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
                 "</Types>")
ROOT_RELS = (HEAD + f'<Relationships xmlns="{PKG_REL_NS}"><Relationship Id="rId1" '
             f'Type="{REL_NS}/officeDocument" Target="xl/workbook.xml"/></Relationships>')
WORKBOOK = (HEAD + f'<workbook {NS} xmlns:r="{REL_NS}"><sheets>'
            '<sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>')
WORKBOOK_RELS = (HEAD + f'<Relationships xmlns="{PKG_REL_NS}">'
                 f'<Relationship Id="rId1" Type="{REL_NS}/worksheet" Target="worksheets/sheet1.xml"/>'
                 f'<Relationship Id="rId2" Type="{REL_NS}/styles" Target="styles.xml"/>'
                 f'<Relationship Id="rId3" Type="{REL_NS}/sharedStrings" Target="sharedStrings.xml"/>'
                 "</Relationships>")
# Style 1 wraps text, as every cell and column of the export does.
STYLES = (HEAD + f"<styleSheet {NS}>"
          '<fonts count="1"><font><sz val="11"/><name val="Calibri"/><family val="2"/></font></fonts>'
          '<fills count="2"><fill><patternFill patternType="none"/></fill>'
          '<fill><patternFill patternType="gray125"/></fill></fills>'
          '<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>'
          '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
          '<cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>'
          '<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1">'
          '<alignment wrapText="1"/></xf></cellXfs>'
          '<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>'
          "</styleSheet>")


def sheet_parts(questions):
    strings, index, count = [], {}, 0

    def shared(text):
        nonlocal count
        count += 1
        if text not in index:
            index[text] = len(strings)
            strings.append(text)
        return index[text]

    rows = [HEADERS] + [[q.number, q.mark, q.answer, q.title, q.time_limit] + q.options
                        for q in questions]
    sheet = [HEAD, f'<worksheet {NS} xmlns:r="{REL_NS}"><dimension ref="A1:K{len(rows)}"/>'
             '<sheetFormatPr defaultRowHeight="15"/><cols>']
    # Widths as the spreadsheet stores them: characters plus the cell's padding.
    for c, width in enumerate(WIDTHS):
        sheet.append(f'<col min="{c + 1}" max="{c + 1}" width="{width + 0.7109375}" '
                     'style="1" customWidth="1"/>')
    sheet.append("</cols><sheetData>")
    for r, values in enumerate(rows, start=1):
        sheet.append(f'<row r="{r}" spans="1:11">')
        for c, value in enumerate(values):
            ref = f"{column_name(c)}{r}"
            if r > 1 and c in NUMBER_COLUMNS:
                sheet.append(f'<c r="{ref}" s="1"><v>{value}</v></c>')
            elif value != "":
                sheet.append(f'<c r="{ref}" s="1" t="s"><v>{shared(value)}</v></c>')
            else:
                sheet.append(f'<c r="{ref}" s="1"/>')
        sheet.append("</row>")
    sheet.append('</sheetData><pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" '
                 'header="0.3" footer="0.3"/></worksheet>')
    sst = [HEAD, f'<sst {NS} count="{count}" uniqueCount="{len(strings)}">']
    for text in strings:
        space = ' xml:space="preserve"' if text != text.strip() else ""
        sst.append(f"<si><t{space}>{cell_text(text)}</t></si>")
    sst.append("</sst>")
    return "".join(sheet), "".join(sst)


def write_xlsx(questions, target):
    sheet, sst = sheet_parts(questions)
    temporary = target + ".part"
    with zipfile.ZipFile(temporary, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in (("[Content_Types].xml", CONTENT_TYPES), ("_rels/.rels", ROOT_RELS),
                           ("xl/workbook.xml", WORKBOOK),
                           ("xl/_rels/workbook.xml.rels", WORKBOOK_RELS),
                           ("xl/styles.xml", STYLES), ("xl/sharedStrings.xml", sst),
                           ("xl/worksheets/sheet1.xml", sheet)):
            z.writestr(name, text.encode("utf-8"))
    os.replace(temporary, target)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--to", required=True, choices=("moodle-xml", "xlsx"))
    parser.add_argument("-o", dest="output", help="the Moodle XML file (--to moodle-xml)")
    parser.add_argument("-d", dest="folder", help="the folder of the workbooks (--to xlsx)")
    parser.add_argument("inputs", nargs="+", metavar="IN")
    args = parser.parse_args()
    if args.to == "moodle-xml" and not args.output:
        parser.error("--to moodle-xml needs -o OUT.xml")
    if args.to == "xlsx" and not args.folder:
        parser.error("--to xlsx needs -d DIR")

    status = 0
    papers = []
    for path in args.inputs:
        try:
            questions = read_paper(path)
        except (Refused, OSError, csv.Error) as error:
            print(f"{path}: not converted: {error}", file=sys.stderr)
            status = 1
            continue
        if args.to == "xlsx":
            os.makedirs(args.folder, exist_ok=True)
            write_xlsx(questions, os.path.join(args.folder, paper_name(path) + ".xlsx"))
        else:
            papers.append((paper_name(path), questions))
    if args.to == "moodle-xml":
        write_moodle_xml(papers, args.output)
    return status


if __name__ == "__main__":
    sys.exit(main())
