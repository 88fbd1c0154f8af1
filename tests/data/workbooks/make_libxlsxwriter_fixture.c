/* Makes rich_libxlsxwriter.xlsx, a tst_xlsxreader fixture written by libxlsxwriter: a
 * shared-string table with rich-text runs, formulas with cached values (number and
 * text), a boolean, and a second sheet that is the active one.
 *
 * Built and run once, from this folder:
 *   cc make_libxlsxwriter_fixture.c $(pkg-config --cflags --libs xlsxwriter) -o /tmp/mkfx
 *   /tmp/mkfx
 */
#include <xlsxwriter.h>

int main(void)
{
    lxw_workbook *book = workbook_new("rich_libxlsxwriter.xlsx");
    lxw_worksheet *decoy = workbook_add_worksheet(book, "Decoy");
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Paper");
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);

    worksheet_write_string(decoy, 0, 0, "not the paper", NULL);

    worksheet_write_string(sheet, 0, 0, "Question NO", NULL);
    worksheet_write_string(sheet, 0, 1, "Mark", NULL);
    worksheet_write_string(sheet, 0, 2, "Answer", NULL);
    worksheet_write_string(sheet, 0, 3, "Question Title", NULL);

    worksheet_write_number(sheet, 1, 0, 1, NULL);
    /* Mark as a formula whose cached value is 12.7. */
    worksheet_write_formula_num(sheet, 1, 1, "=10+2.7", NULL, 12.7);
    worksheet_write_string(sheet, 1, 2, "AC", NULL);
    /* Title in three runs: plain, bold, plain; the spaces at the joins must survive. */
    lxw_rich_string_tuple first = {.format = NULL, .string = "Which is "};
    lxw_rich_string_tuple second = {.format = bold, .string = "bold"};
    lxw_rich_string_tuple third = {.format = NULL, .string = ", and \"why\"?"};
    lxw_rich_string_tuple *title[] = {&first, &second, &third, NULL};
    worksheet_write_rich_string(sheet, 1, 3, title, NULL);

    worksheet_write_number(sheet, 2, 0, 2, NULL);
    worksheet_write_number(sheet, 2, 1, -0.5, NULL);
    worksheet_write_formula_str(sheet, 2, 2, "=\"B\"&\"D\"", NULL, "BD");
    /* The same text as a shared string used twice. */
    worksheet_write_string(sheet, 2, 3, "Answer", NULL);
    worksheet_write_boolean(sheet, 3, 0, 1, NULL);

    worksheet_activate(sheet);
    return workbook_close(book) == LXW_NO_ERROR ? 0 : 1;
}
