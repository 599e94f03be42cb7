#include "historynotice.h"

#include "logcategories.h"
#include "paths.h"
#include "threadinbox.h"

#include <QFileInfo>
#include <QSqlError>
#include <QStorageInfo>
#include <QThread>

#include <iterator>

namespace {

// SQLite's primary result codes, as the driver reports them.
const QString sqliteReadOnly = QStringLiteral("8");
const QString sqliteCorrupt = QStringLiteral("11");
const QString sqliteFull = QStringLiteral("13");
const QString sqliteCantOpen = QStringLiteral("14");
const QString sqliteIoError = QStringLiteral("10");
const QString sqliteNotADatabase = QStringLiteral("26");

// In the order of HistoryNotice::Cause; English in the log, translated in the window.
const char *const reasons[] = {
    QT_TRANSLATE_NOOP("HistoryNotice", "the database file is damaged"),
    QT_TRANSLATE_NOOP("HistoryNotice", "the database file or its folder is read-only"),
    QT_TRANSLATE_NOOP("HistoryNotice", "its tables are not the ones this program makes"),
    QT_TRANSLATE_NOOP("HistoryNotice", "the disk is full"),
    QT_TRANSLATE_NOOP("HistoryNotice", "the database file cannot be opened"),
    QT_TRANSLATE_NOOP("HistoryNotice", "the SQLite driver is missing"),
    QT_TRANSLATE_NOOP("HistoryNotice", "the database reports an error"),
};

const char *reasonOf(int cause)
{
    const int last = int(std::size(reasons)) - 1;
    return reasons[cause >= 0 && cause < last ? cause : last];
}

} // namespace

HistoryNotice::HistoryNotice(QObject *parent)
    : QObject(parent),
      m_path(Paths::file(QStringLiteral("/data/quelta.db"))),
      m_inbox(new ThreadInbox(this))
{
}

HistoryNotice::~HistoryNotice() = default;

QString HistoryNotice::text() const
{
    // Read anew at every language change.
    if (m_cause < 0)
        return QString();
    return tr("History cannot be stored: %1. The database file is left as it is: %2")
        .arg(tr(reasonOf(m_cause)), m_path);
}

HistoryNotice::Cause HistoryNotice::causeOf(const QSqlError &error, const QString &path)
{
    const QString code = error.nativeErrorCode();
    if (code == sqliteCorrupt || code == sqliteNotADatabase)
        return Damaged;
    if (code == sqliteReadOnly)
        return ReadOnly;
    // An I/O error is a full disk too when the disk has no room left (the journal files that
    // reading needs could not be made).
    if (code == sqliteFull ||
        (code == sqliteIoError &&
         QStorageInfo(QFileInfo(path).absolutePath()).bytesAvailable() < 65536))
        return DiskFull;
    if (code == sqliteCantOpen) {
        const QFileInfo file(path);
        const QFileInfo folder(file.absolutePath());
        const bool writable = folder.isWritable() && (!file.exists() || file.isWritable());
        return writable ? CannotOpen : ReadOnly;
    }
    const QString message = error.databaseText();
    if (message.contains(QLatin1String("no such table")) ||
        message.contains(QLatin1String("no column named")) ||
        message.contains(QLatin1String("no such column")))
        return WrongShape;
    return Failed;
}

void HistoryNotice::report(int cause, const QString &detail)
{
    if (thread() != QThread::currentThread()) {
        m_inbox->post([this, cause, detail] { report(cause, detail); });
        return;
    }
    if (m_told.contains(cause))
        return;
    m_told.insert(cause);
    m_telling = true;
    qCWarning(lcRecords).noquote()
        << QStringLiteral("History cannot be stored: %1 (%2). The database %3 is left as it "
                          "is; not logged again for this cause.")
               .arg(QString::fromLatin1(reasonOf(cause)), detail, m_path);
    m_cause = cause;
    emit textChanged();
}

void HistoryNotice::recovered()
{
    if (thread() != QThread::currentThread()) {
        m_inbox->post([this] { recovered(); });
        return;
    }
    if (m_told.isEmpty())
        return;
    m_told.clear();
    m_telling = false;
    qCInfo(lcRecords).noquote() << "History is stored again in" << m_path;
    m_cause = -1;
    emit textChanged();
}
