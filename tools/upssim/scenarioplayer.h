#pragma once

#include <QObject>
#include <QScopedPointer>
#include <QString>

class CommandInterpreter;
class ScenarioPlayerPrivate;

// Plays a scenario script: scenario commands, one per line, with "sleep SECONDS" between them and
// "repeat" to start over; "#" starts a comment. "demo" is the built-in lively one.
class ScenarioPlayer : public QObject
{
    Q_OBJECT
public:
    explicit ScenarioPlayer(CommandInterpreter *interpreter, QObject *parent = nullptr);
    ~ScenarioPlayer() override;

    // The built-in script by name ("demo") or a script file; false with the reason otherwise.
    bool load(const QString &nameOrFile, QString *error);
    void start();

    static QString demoScript();

private slots:
    void step();

private:
    QScopedPointer<ScenarioPlayerPrivate> d;
};
