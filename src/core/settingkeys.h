#pragma once

#include <QList>
#include <QStringList>
#include <QString>
#include <QVariant>

// Every key of the settings file: its number, its name, the kind of value it holds with what
// that value may be, and its default. The settings store completes the file from it and checks
// what it reads against it; a command line that sets keys goes by the same list.
namespace SettingKeys {

enum class Kind {
    Bool, // true or false (1 or 0)
    Number, // a whole number from min to max
    Choice, // one of the numbers in choices
    Text, // any text
    TimeOfDay, // hh:mm:ss
    Day, // yyyy-MM-dd, or empty
    Secret // a stored password: its own decoding says when it is damaged
};

struct Key
{
    int type; // Settings::SettingsType
    const char *name;
    Kind kind;
    QVariant defaultValue; // invalid: never written by default
    bool restored; // a restore writes the default
    int min = 0;
    int max = 0;
    QList<int> choices = {};
};

// In file order: load and restore walk it from top to bottom.
const QList<Key> &all();
// Null for a name or number that is no key. Names of the watched UPSes' array ("watch/size",
// "watch/3/host") are keys too; they have no number (type -1).
const Key *find(const QString &name);
const Key *findWatch(const QString &name);
// The fields of one watched UPS, in file order.
QStringList watchFields();
constexpr int maxWatched = 1000;
const Key *find(int type);

struct Verdict
{
    bool ok = true;
    QVariant value; // the value in its own type (bool, int or text) when ok
    QString expected; // what the key takes, for a message, when not ok
};

// Whether `value` (a stored or typed value) is one the key can hold.
Verdict check(const Key &key, const QVariant &value);

} // namespace SettingKeys
