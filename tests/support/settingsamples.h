#pragma once

#include "settingkeys.h"

#include <QStringList>
#include <QVariant>

// For each key of the table a value it takes that is not its default, as the typed reading
// gives it back (`typed`), and the ways a person or the program may store it in the file.
namespace SettingSamples {

struct Sample
{
    QVariant typed; // bool, int, QString or QStringList; for a password the clear text
    QVariant stored; // what the program writes (a password enciphered)
    QList<QByteArray> forms; // other texts of the line's value that read as `typed`
};

// `round` gives another value each time (two rounds never give the same one).
Sample of(const QString &key, int round = 0);
// The typed reading of the key's default.
QVariant typedDefault(const QString &key);

} // namespace SettingSamples
