#include "xlsxlibrary.h"

#include "librarysymbol.h"
#include "logcategories.h"

#include <QLibrary>

namespace {

template<typename F> bool resolve(QLibrary &library, const char *name, F *function)
{
    return resolveSymbol(library, name, function, lcRecords, "libxlsxwriter");
}

const XlsxLibrary *open()
{
    static QLibrary library(QStringLiteral("xlsxwriter"), 4);
    static XlsxLibrary x {};
    if (!library.load()) {
        qCWarning(lcRecords) << "Cannot open libxlsxwriter (Debian's package libxlsxwriter4); no "
                                "workbook can be written:"
                             << library.errorString();
        return nullptr;
    }
    const bool all = resolve(library, "workbook_new_opt", &x.workbook_new_opt) &&
        resolve(library, "workbook_add_worksheet", &x.workbook_add_worksheet) &&
        resolve(library, "workbook_add_format", &x.workbook_add_format) &&
        resolve(library, "workbook_close", &x.workbook_close) &&
        resolve(library, "worksheet_write_blank", &x.worksheet_write_blank) &&
        resolve(library, "worksheet_write_string", &x.worksheet_write_string) &&
        resolve(library, "worksheet_write_number", &x.worksheet_write_number) &&
        resolve(library, "worksheet_write_datetime", &x.worksheet_write_datetime) &&
        resolve(library, "worksheet_set_column", &x.worksheet_set_column) &&
        resolve(library, "format_set_align", &x.format_set_align) &&
        resolve(library, "format_set_num_format", &x.format_set_num_format) &&
        resolve(library, "lxw_strerror", &x.lxw_strerror);
    return all ? &x : nullptr;
}

} // namespace

const XlsxLibrary *XlsxLibrary::get()
{
    static const XlsxLibrary *const x = open();
    return x;
}
