#pragma once

#include <QScopedPointer>
#include <QStringList>

class CommandLinePrivate;
class QCommandLineParser;

// The command line of both programs (the desktop one and the service): --help, --version,
// --headless, --home DIR, the network accounts' --nut-user ACTION [NAME] [--role ROLE], and the
// commands "config ..." and "status [--json]". It is read before the application object exists,
// so that the choice between the window and none is made from it and --help, --version, a
// command or a mistake need no display. Qt's own options of a windowed program (-session from
// the session manager, -platform, -style, ...) are accepted and left to Qt.
class CommandLine
{
public:
    // What the program is asked to do.
    enum class Task { Monitor, NutUser, Config, Status };

    CommandLine();
    ~CommandLine();

    // Other parts add their options here before parse().
    QCommandLineParser &parser();

    // False when the program must not run on: help or the version was asked for, or the line
    // was wrong. Then finish() prints what is due and gives the exit code.
    bool parse(const QStringList &arguments);
    // Help and version on standard output with exit code 0; a mistake on standard error, with a
    // hint at --help, and exit code 2. Needs the application object (for the program's name).
    int finish() const;

    Task task() const;
    // The words after "config" (the action, the key, the value).
    QStringList configArguments() const;
    bool json() const;

    bool headless() const;
    // The program folder given with --home, empty when not given.
    QString home() const;
    // The action of --nut-user (add, remove, list), empty when not given; then the names and
    // --role belong to it.
    QString nutUserAction() const;
    QStringList nutUserNames() const;
    QString nutUserRole() const;

private:
    QScopedPointer<CommandLinePrivate> d;
};
