#include "workbook.h"

#include "logcategories.h"
#include "xlsxlibrary.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include <vector>

namespace {

// Opened by the first workbook's constructor, which fails without it; nothing else runs then.
const XlsxLibrary &lxw()
{
    return *XlsxLibrary::get();
}

} // namespace

class WorkbookPrivate
{
public:
    QString fileName;
    QString partName; // written here first, renamed over fileName when complete
    lxw_workbook *book = nullptr;
    std::vector<lxw_worksheet *> sheets;
    lxw_worksheet *sheet = nullptr; // the one written now
    QStringList titles;
    int rowsPerSheet = Workbook::sheetRows;
    QString sheetName; // empty: the library's "Sheet1", "Sheet2", ...
    lxw_format *centred = nullptr;
    lxw_format *decimalFormats[4] = {}; // centred, with 0 to 3 decimals; made when first used
    lxw_format *dateFormat = nullptr; // centred, a date and time; made when first used
    QString error;
    bool closed = false;
    std::vector<char> buffer;

    // Cells of a long export are mostly short ASCII texts: they are copied into one reused
    // buffer rather than each converted into a new allocation.
    lxw_error writeText(lxw_row_t r, lxw_col_t c, const QString &text)
    {
        if (text.isEmpty())
            return lxw().worksheet_write_blank(sheet, r, c, centred);
        const int size = text.size();
        const QChar *chars = text.constData();
        buffer.resize(size_t(size) + 1);
        for (int i = 0; i < size; ++i) {
            const ushort u = chars[i].unicode();
            if (u >= 0x80)
                return lxw().worksheet_write_string(sheet, r, c, text.toUtf8().constData(),
                                                    centred);
            buffer[size_t(i)] = char(u);
        }
        buffer[size_t(size)] = '\0';
        return lxw().worksheet_write_string(sheet, r, c, buffer.data(), centred);
    }

    void fail(const QString &what)
    {
        if (error.isEmpty())
            error = what;
    }

    lxw_worksheet *addSheet()
    {
        QByteArray name;
        if (!sheetName.isEmpty()) {
            // At most 31 characters, the number of a next sheet included.
            const QString number =
                sheets.empty() ? QString() : QStringLiteral(" (%1)").arg(sheets.size() + 1);
            name = (sheetName.left(31 - number.size()) + number).toUtf8();
        }
        lxw_worksheet *added =
            lxw().workbook_add_worksheet(book, name.isEmpty() ? nullptr : name.constData());
        if (!added) {
            fail(QStringLiteral("cannot create the worksheet"));
            return nullptr;
        }
        sheets.push_back(added);
        sheet = added;
        writeTitles();
        return added;
    }

    void writeTitles()
    {
        for (int i = 0; i < titles.size(); ++i) {
            const lxw_col_t col = lxw_col_t(i);
            const lxw_error err = lxw().worksheet_set_column(sheet, col, col, 20, nullptr);
            if (err != LXW_NO_ERROR)
                fail(QString::fromUtf8(lxw().lxw_strerror(err)));
        }
        for (int i = 0; i < titles.size(); ++i) {
            const lxw_error err = writeText(0, lxw_col_t(i), titles.at(i));
            if (err != LXW_NO_ERROR)
                fail(QString::fromUtf8(lxw().lxw_strerror(err)));
        }
    }

    // The sheet of workbook row `row` (2 onward), made when first reached, and the row there;
    // nullptr past a failure.
    lxw_worksheet *place(int row, lxw_row_t *at)
    {
        const int index = (row - 2) / rowsPerSheet;
        while (book && int(sheets.size()) <= index) {
            if (!addSheet())
                return nullptr;
        }
        *at = lxw_row_t((row - 2) % rowsPerSheet + 1);
        sheet = sheets[size_t(index)];
        return sheet;
    }
};

namespace {

QByteArray nativeName(const QString &path)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(path).toUtf8(); // the library opens UTF-8 names on Windows
#else
    return QFile::encodeName(path);
#endif
}

} // namespace

Workbook::Workbook(const QString &fileName, int rowsPerSheet, const QString &sheetName)
    : d(new WorkbookPrivate)
{
    d->fileName = fileName;
    d->rowsPerSheet = qBound(1, rowsPerSheet, sheetRows);
    // What a sheet name cannot hold: the characters []:*?/\ and an apostrophe at either end.
    static const QRegularExpression refused(QStringLiteral("[\\[\\]:*?/\\\\]|^'|'$"));
    d->sheetName = QString(sheetName).replace(refused, QStringLiteral("-")).trimmed();
    const QFileInfo info(fileName);
    d->partName = info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.') +
        QUuid::createUuid().toString(QUuid::Id128).left(8) + QLatin1String(".part");
    if (!XlsxLibrary::get()) {
        d->fail(QStringLiteral("cannot open libxlsxwriter"));
        return;
    }
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE; // rows go to a temporary file, memory stays flat
    d->book = lxw().workbook_new_opt(nativeName(d->partName).constData(), &options);
    if (!d->book) {
        d->fail(QStringLiteral("cannot create the workbook"));
        return;
    }
    d->centred = lxw().workbook_add_format(d->book);
    if (!d->centred) {
        d->fail(QStringLiteral("cannot create the worksheet"));
        return;
    }
    lxw().format_set_align(d->centred, LXW_ALIGN_CENTER);
    lxw().format_set_align(d->centred, LXW_ALIGN_VERTICAL_CENTER);
    d->addSheet();
}

Workbook::~Workbook()
{
    if (d->book && !d->closed) {
        // Never saved: close into the part file and throw it away.
        lxw().workbook_close(d->book);
        QFile::remove(d->partName);
    }
    delete d;
}

void Workbook::setTitles(const QStringList &titles)
{
    if (d->sheets.empty())
        return;
    d->titles = titles;
    d->sheet = d->sheets.front();
    d->writeTitles();
}

void Workbook::write(int row, int column, const QVariant &value)
{
    if (d->sheets.empty() || row < 1 || column < 1)
        return;
    lxw_row_t r = 0;
    if (row == 1) {
        // A title written on its own: the next sheets repeat it too.
        while (d->titles.size() < column)
            d->titles.append(QString());
        d->titles[column - 1] = value.toString();
        d->sheet = d->sheets.front();
    } else if (!d->place(row, &r)) {
        return;
    }
    const lxw_col_t c = lxw_col_t(column - 1);
    lxw_error err = LXW_NO_ERROR;
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        err = lxw().worksheet_write_number(d->sheet, r, c, value.toDouble(), d->centred);
        break;
    case QMetaType::UnknownType:
        err = lxw().worksheet_write_blank(d->sheet, r, c, d->centred);
        break;
    case QMetaType::QDateTime: {
        // A date cell, so a spreadsheet sorts, filters and charts by it.
        const QDateTime when = value.toDateTime();
        if (!when.isValid()) {
            err = lxw().worksheet_write_blank(d->sheet, r, c, d->centred);
            break;
        }
        if (!d->dateFormat) {
            d->dateFormat = lxw().workbook_add_format(d->book);
            if (!d->dateFormat) {
                d->fail(QStringLiteral("cannot create a date format"));
                return;
            }
            lxw().format_set_align(d->dateFormat, LXW_ALIGN_CENTER);
            lxw().format_set_align(d->dateFormat, LXW_ALIGN_VERTICAL_CENTER);
            lxw().format_set_num_format(d->dateFormat, "yyyy-mm-dd hh:mm:ss");
        }
        lxw_datetime cell = {when.date().year(),   when.date().month(),
                             when.date().day(),    when.time().hour(),
                             when.time().minute(), double(when.time().second())};
        err = lxw().worksheet_write_datetime(d->sheet, r, c, &cell, d->dateFormat);
        break;
    }
    case QMetaType::QString:
        err = d->writeText(r, c, *static_cast<const QString *>(value.constData()));
        break;
    default:
        err = d->writeText(r, c, value.toString());
        break;
    }
    if (err != LXW_NO_ERROR)
        d->fail(QString::fromUtf8(lxw().lxw_strerror(err)));
}

bool Workbook::save()
{
    if (!d->book || d->closed)
        return false;
    d->closed = true;
    const lxw_error err = lxw().workbook_close(d->book);
    d->book = nullptr;
    if (err != LXW_NO_ERROR)
        d->fail(QString::fromUtf8(lxw().lxw_strerror(err)));
    if (!d->error.isEmpty()) {
        QFile::remove(d->partName);
        qCWarning(lcRecords) << "Cannot write the workbook" << d->fileName << ":" << d->error;
        return false;
    }
    if (QFile::exists(d->fileName) && !QFile::remove(d->fileName)) {
        d->fail(QStringLiteral("cannot replace the existing file"));
    } else if (!QFile::rename(d->partName, d->fileName)) {
        d->fail(QStringLiteral("cannot rename the finished file into place"));
    }
    if (!d->error.isEmpty()) {
        QFile::remove(d->partName);
        qCWarning(lcRecords) << "Cannot write the workbook" << d->fileName << ":" << d->error;
        return false;
    }
    return true;
}

void Workbook::writeNumber(int row, int column, double value, int decimals)
{
    if (d->sheets.empty() || row < 2 || column < 1)
        return;
    lxw_row_t r = 0;
    if (!d->place(row, &r))
        return;
    decimals = qBound(0, decimals, 3);
    lxw_format *&format = d->decimalFormats[decimals];
    if (!format) {
        static const char *const patterns[] = {"0", "0.0", "0.00", "0.000"};
        format = lxw().workbook_add_format(d->book);
        if (!format) {
            d->fail(QStringLiteral("cannot create a number format"));
            return;
        }
        lxw().format_set_align(format, LXW_ALIGN_CENTER);
        lxw().format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
        lxw().format_set_num_format(format, patterns[decimals]);
    }
    const lxw_error err =
        lxw().worksheet_write_number(d->sheet, r, lxw_col_t(column - 1), value, format);
    if (err != LXW_NO_ERROR)
        d->fail(QString::fromUtf8(lxw().lxw_strerror(err)));
}

QString Workbook::errorText() const
{
    return d->error;
}
