#pragma once

#include <QObject>
#include <QSet>

#include <atomic>

class QSqlError;
class ThreadInbox;

// What keeps history (samples, alarms, self-test rows) from being stored: a damaged, read-only
// or wrong-shaped database, a full disk. Each cause is logged once, not at every insert, and
// told to the user once in the window through `text`; the database is left as it is. A write
// that works again ends the notice.
class HistoryNotice : public QObject
{
    Q_OBJECT
    // For the window: why history cannot be stored and where the file is; empty while it is.
    Q_PROPERTY(QString text READ text NOTIFY textChanged)

public:
    enum Cause { Damaged, ReadOnly, WrongShape, DiskFull, CannotOpen, NoDriver, Failed };
    Q_ENUM(Cause)

    explicit HistoryNotice(QObject *parent = nullptr);
    ~HistoryNotice() override;

    QString text() const;
    // Whether a cause is being told; any thread may ask.
    bool isTelling() const { return m_telling; }
    // The cause behind a failed statement on the database file at `path`.
    static Cause causeOf(const QSqlError &error, const QString &path);

public slots:
    // May be called from any thread; the notice lives with its owner.
    void report(int cause, const QString &detail);
    void recovered();

signals:
    void textChanged();

private:
    QString m_path;
    QSet<int> m_told; // the causes logged since history was last stored
    int m_cause = -1; // the one the window tells of
    std::atomic<bool> m_telling {false};
    ThreadInbox *m_inbox; // calls from the writer's thread, run on ours
};
