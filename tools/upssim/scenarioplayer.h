#pragma once

#include <QObject>
#include <QScopedPointer>
#include <QString>

class CommandInterpreter;
class UpsModel;
class ScenarioPlayerPrivate;

// Plays a scenario script: scenario commands, one per line, with "sleep SECONDS" between them and
// "repeat" to start over; "#" starts a comment. "demo" is the built-in lively one. Pauses are in
// the UPS's time: a faster UPS clock (--speed, "speed") plays the script faster too.
class ScenarioPlayer : public QObject
{
    Q_OBJECT
public:
    ScenarioPlayer(CommandInterpreter *interpreter, const UpsModel *ups, QObject *parent = nullptr);
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
