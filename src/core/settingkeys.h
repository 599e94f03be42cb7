#pragma once

#include <QList>
#include <QString>
#include <QStringList>
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
    Path, // a file or device path, or empty
    TimeOfDay, // hh:mm:ss
    Day, // yyyy-MM-dd, or empty
    Address, // a host name or an IP address, or empty
    AddressList, // IP addresses, comma-separated
    NetworkList, // IP addresses or CIDR networks, comma-separated
    NameList, // names, comma-separated
    Secret // a stored password: its own decoding says when it is damaged
};

// A kind whose typed value is a QStringList.
bool isList(Kind kind);

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

// The numbers a settings form offers for a number key: its own range where a screen offers less
// than a hand-set value may hold (a countdown of days); the whole range otherwise.
struct Range
{
    int min;
    int max;
};
Range formRange(const Key &key);

struct Verdict
{
    bool ok = true;
    // The value in its own type when ok: bool, int, QString, or QStringList for the list kinds
    // (items trimmed, empty ones left out). A password's stored form is returned as it is.
    QVariant value;
    QString expected; // takes(key), in English, when not ok
};

// What the key takes, in words made from its kind and range: in English for the log and the
// file's check, in the user's language for the command line's answer.
QString takes(const Key &key, bool translated = false);

// Whether `value` is one the key can hold, in any form it may be stored in: a text, a list the
// file held as "a, b" or "a,b" unquoted, a bool or a number.
Verdict check(const Key &key, const QVariant &value);
// The value as one text, a list's items joined by ","; for messages and the command line.
QString text(const QVariant &value);
// Every key of the table, the watched list's fields for entries 1..watchCount included.
QStringList names(int watchCount);

} // namespace SettingKeys
