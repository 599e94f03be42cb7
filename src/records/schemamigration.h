#pragma once

#include <QStringList>

// The schema's version, kept in the database file (PRAGMA user_version), and the steps from one
// version to the next. Versions:
//   1  the tables as first made;
//   2  self-tests keep the battery voltage drop;
//   3  the retention triggers look at the oldest row through the date index first;
//   4  a sample's readings may be empty (a reading the UPS does not give is stored as none);
//   5  self-tests keep their outcome;
//   6  samples, alarms and self-tests name their UPS (empty for this computer's own);
//   7  the samples are summarised per minute and per hour, and indexed by UPS.
// A file made before versions were kept is read once to find where it stands, then stamped.
// All on the program's default connection.
namespace SchemaMigration {

constexpr int currentVersion = 8;

// The version in the file; -1 when it cannot be read.
int storedVersion();
// Writes the version into the file; false (logged) when that failed.
bool stamp(int version);
// Where a file that holds the program's tables but no version stands, read from its tables.
int inspect();
// Runs each step after `from` up to currentVersion, each in one transaction with its stamp, so
// a failed step leaves the file at the version before it. False (logged) at the first that
// fails.
bool migrate(int from);
// The summary tables, the list of samples left to summarise and the trigger that summarises
// each new sample.
QStringList summaryStatements();

} // namespace SchemaMigration
