#pragma once

#include <QString>

// The one place that builds file paths. Every path is the root followed by a fixed relative path
// that begins with "/" ("/cfg/config.cfg", "/data/quelta.db", "/log/", ...).
//
// The root is, in this order: the environment variable QUELTA_HOME when set; the folder of the
// executable when it is writable and not an installed one (the portable layout); otherwise the
// per-user application data folder, so an installed program keeps its settings and history
// there, root as well as everyone else; the installed service program keeps them in the
// service's folder instead (setServiceRoot).
namespace Paths {

QString root();
QString file(const QString &relative);

// A read-only file shipped with the program (translations, the default USB list): beside the
// executable first (the build folder), then in the installed data folder, share/quelta beside
// the executable's bin folder. Empty when found in neither.
QString shipped(const QString &relative);

// Tests choose their own root; an empty text goes back to the rule above.
void setRoot(const QString &root);

// For the service program: where it keeps its files once installed, in place of the per-user
// folder, so its command line finds the running service without --home. Before root() is asked.
void setServiceRoot(const QString &folder);
// That folder; empty for the desktop program.
QString serviceRoot();

} // namespace Paths
