#include "workbook.h"

#include "logcategories.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <xlsxwriter.h>

#include <vector>

class WorkbookPrivate
{
public:
    QString fileName;
    QString partName; // written here first, renamed over fileName when complete
    lxw_workbook *book = nullptr;
    lxw_worksheet *sheet = nullptr;
    lxw_format *centred = nullptr;
    lxw_format *decimalFormats[4] = {}; // centred, with 0 to 3 decimals; made when first used
    QString error;
    bool closed = false;
    std::vector<char> buffer;

    // Cells of a long export are mostly short ASCII texts: they are copied into one reused
    // buffer rather than each converted into a new allocation.
    lxw_error writeText(lxw_row_t r, lxw_col_t c, const QString &text)
    {
        if (text.isEmpty())
            return worksheet_write_blank(sheet, r, c, centred);
        const int size = text.size();
        const QChar *chars = text.constData();
        buffer.resize(size_t(size) + 1);
        for (int i = 0; i < size; ++i) {
            const ushort u = chars[i].unicode();
            if (u >= 0x80)
                return worksheet_write_string(sheet, r, c, text.toUtf8().constData(), centred);
            buffer[size_t(i)] = char(u);
        }
        buffer[size_t(size)] = '\0';
        return worksheet_write_string(sheet, r, c, buffer.data(), centred);
    }

    void fail(const QString &what)
    {
        if (error.isEmpty())
            error = what;
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

Workbook::Workbook(const QString &fileName) : d(new WorkbookPrivate)
{
    d->fileName = fileName;
    const QFileInfo info(fileName);
    d->partName = info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.') +
        QUuid::createUuid().toString(QUuid::Id128).left(8) + QLatin1String(".part");
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE; // rows go to a temporary file, memory stays flat
    d->book = workbook_new_opt(nativeName(d->partName).constData(), &options);
    if (!d->book) {
        d->fail(QStringLiteral("cannot create the workbook"));
        return;
    }
    d->sheet = workbook_add_worksheet(d->book, nullptr); // the default name, "Sheet1"
    d->centred = workbook_add_format(d->book);
    if (!d->sheet || !d->centred) {
        d->fail(QStringLiteral("cannot create the worksheet"));
        return;
    }
    format_set_align(d->centred, LXW_ALIGN_CENTER);
    format_set_align(d->centred, LXW_ALIGN_VERTICAL_CENTER);
}

Workbook::~Workbook()
{
    if (d->book && !d->closed) {
        // Never saved: close into the part file and throw it away.
        workbook_close(d->book);
        QFile::remove(d->partName);
    }
    delete d;
}

void Workbook::setTitles(const QStringList &titles)
{
    if (!d->sheet)
        return;
    for (int i = 0; i < titles.size(); ++i) {
        const lxw_col_t col = lxw_col_t(i);
        const lxw_error err = worksheet_set_column(d->sheet, col, col, 20, nullptr);
        if (err != LXW_NO_ERROR)
            d->fail(QString::fromUtf8(lxw_strerror(err)));
    }
    for (int i = 0; i < titles.size(); ++i)
        write(1, i + 1, titles.at(i));
}

void Workbook::write(int row, int column, const QVariant &value)
{
    if (!d->sheet || row < 1 || column < 1)
        return;
    const lxw_row_t r = lxw_row_t(row - 1);
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
        err = worksheet_write_number(d->sheet, r, c, value.toDouble(), d->centred);
        break;
    case QMetaType::UnknownType:
        err = worksheet_write_blank(d->sheet, r, c, d->centred);
        break;
    case QMetaType::QString:
        err = d->writeText(r, c, *static_cast<const QString *>(value.constData()));
        break;
    default:
        err = d->writeText(r, c, value.toString());
        break;
    }
    if (err != LXW_NO_ERROR)
        d->fail(QString::fromUtf8(lxw_strerror(err)));
}

bool Workbook::save()
{
    if (!d->book || d->closed)
        return false;
    d->closed = true;
    const lxw_error err = workbook_close(d->book);
    d->book = nullptr;
    if (err != LXW_NO_ERROR)
        d->fail(QString::fromUtf8(lxw_strerror(err)));
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
    if (!d->sheet || row < 1 || column < 1)
        return;
    decimals = qBound(0, decimals, 3);
    lxw_format *&format = d->decimalFormats[decimals];
    if (!format) {
        static const char *const patterns[] = {"0", "0.0", "0.00", "0.000"};
        format = workbook_add_format(d->book);
        if (!format) {
            d->fail(QStringLiteral("cannot create a number format"));
            return;
        }
        format_set_align(format, LXW_ALIGN_CENTER);
        format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
        format_set_num_format(format, patterns[decimals]);
    }
    const lxw_error err =
        worksheet_write_number(d->sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value, format);
    if (err != LXW_NO_ERROR)
        d->fail(QString::fromUtf8(lxw_strerror(err)));
}

QString Workbook::errorText() const
{
    return d->error;
}
