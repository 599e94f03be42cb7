#pragma once

#include <QObject>
#include <QScopedPointer>
#include <QString>

class CommandInterpreter;
class ControlServerPrivate;

// The control socket: a local (Unix) socket at a path, any number of clients, one command per
// line, one answer line per command back to the client that sent it.
class ControlServer : public QObject
{
    Q_OBJECT
public:
    explicit ControlServer(CommandInterpreter *interpreter, QObject *parent = nullptr);
    ~ControlServer() override;

    bool listen(const QString &path, QString *error);

private slots:
    void onNewConnection();

private:
    QScopedPointer<ControlServerPrivate> d;
};
