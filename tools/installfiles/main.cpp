// Writes the workbooks the program installs into its folder: the import
// sheets for competitor products and prices, with their title rows, and the
// empty telephone list.
//
//   installfiles <output folder>

#include <cstdio>
#include <string>
#include <xlsxwriter.h>

namespace {

bool workbook(const std::string& path, const char* sheetName,
              std::initializer_list<const char*> titles) {
    lxw_workbook* book = workbook_new(path.c_str());
    if (!book)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(book, sheetName);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_col_t column = 0;
    for (const char* title : titles) {
        worksheet_write_string(sheet, 0, column, title, bold);
        worksheet_set_column(sheet, column, column, 25, nullptr);
        ++column;
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: installfiles <output folder>\n");
        return 1;
    }
    const std::string folder = argv[1];
    const bool ok =
        workbook(folder + "/Competition.xlsx", "COMPETITION",
                 {"COMPETITOR'S PRODUCT", "COMPETITOR'S NAME", "EQUIVALENT"}) &&
        workbook(folder + "/Prices.xlsx", "PRICES", {"PRODUCT", "CURRENCY", "PRICE", "NOTES"}) &&
        workbook(folder + "/BCTelephone.xlsx", "Sheet1", {});
    if (!ok) {
        fprintf(stderr, "installfiles: cannot write the workbooks in %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
