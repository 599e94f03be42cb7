#pragma once

#include <QObject>
#include <QScopedPointer>
#include <QString>

class UpsModel;
class RequestHandler;
class LinePacer;
class CommandInterpreterPrivate;

// Scenario commands, one per line, from standard input, the control socket or a scenario script.
// Every command answers with one line: "ok" (sometimes followed by a value) or "error <why>".
class CommandInterpreter : public QObject
{
    Q_OBJECT
public:
    CommandInterpreter(UpsModel *ups, RequestHandler *handler, LinePacer *pacer,
                       QObject *parent = nullptr);
    ~CommandInterpreter() override;

    QString execute(const QString &line);

    // The command summary shown by --help and by the "help" command.
    static QString usage();

signals:
    void quitRequested();

private:
    QScopedPointer<CommandInterpreterPrivate> d;
};
