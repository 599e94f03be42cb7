#pragma once

#include <QLibrary>
#include <QLoggingCategory>

// A function of a library opened at run time, looked up by name; a missing one is logged under
// `category`, naming the library as `what`.
template<typename F>
bool resolveSymbol(QLibrary &library, const char *name, F *function,
                   const QLoggingCategory &(*category)(), const char *what)
{
    *function = reinterpret_cast<F>(library.resolve(name));
    if (!*function)
        qCWarning(category) << what << "lacks" << name;
    return *function != nullptr;
}
