#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

// The settings file's text, as the settings facility of Qt writes it and reads it back, one line
// at a time: a value never runs on into the next line. Values: text (quoted where it holds
// ";", "," or "=" or has spaces at an end; \" \\ \n \t \xNN ... escapes), lists of texts joined
// by unquoted commas, "@ByteArray(...)" for bytes, "@Invalid()" for nothing and "@@" for a
// text that begins with "@". Keys: "group/name" in a "[group]" section, deeper parts joined by
// "\", "%XX" for other bytes.
namespace SettingsFileFormat {

// The value of one line (the bytes after "="); false, and why, when it does not stand on its
// own: a quote left open, an escape that is none, a backslash that would run on to the next
// line. Bytes outside escapes are UTF-8 where they are valid UTF-8, else Latin-1.
bool readValue(const QByteArray &raw, QVariant *value, QString *why);
// A key or group name as written ("users\\alice", "my%20key") in its "a/b" form.
QString readKey(const QByteArray &raw);

// The whole file: the keys in the given order, grouped by their first part ("General" for
// those without one) in the order the groups first appear.
QByteArray write(const QStringList &order, const QMap<QString, QVariant> &values);
QByteArray writeValue(const QVariant &value);

} // namespace SettingsFileFormat
