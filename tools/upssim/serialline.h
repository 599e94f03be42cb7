#pragma once

#include <QByteArray>
#include <QObject>
#include <QScopedPointer>
#include <QString>

class SerialLinePrivate;

// The unit's end of the serial line: the master side of a pseudo-terminal whose terminal end the
// program under test opens, or a real serial device. Raw mode, so bytes pass unchanged. Incoming
// bytes are cut into request frames at each carriage return.
//
// With a pseudo-terminal the simulator keeps its own descriptor of the terminal end open, so the
// peer may close and reopen it any number of times without the master seeing a hang-up. A real
// device that hangs up (a USB adapter pulled) is watched by a slow timer until it can be read
// again, never by a busy loop.
class SerialLine : public QObject
{
    Q_OBJECT
public:
    explicit SerialLine(QObject *parent = nullptr);
    ~SerialLine() override;

    bool openPseudoTerminal(QString *error);
    bool openDevice(const QString &path, int baud, QString *error);
    QString path() const; // what the program under test must open

    // Puts bytes on the line; returns the count written, or -1 when the line takes none.
    qint64 write(const QByteArray &bytes);

signals:
    void frameReceived(const QByteArray &frame); // including its carriage return

private slots:
    void onReadable();
    void onRecheck();

private:
    QScopedPointer<SerialLinePrivate> d;
};
