#pragma once

#include <QLibrary>
#include <QLoggingCategory>

// A library opened when its feature is first used rather than at start, so a program that
// never uses the feature does not map it (nor what it brings). What cannot be opened, or lacks
// a function, is said once in the log under `category`, naming the library.
class RuntimeLibrary
{
public:
    // `name` as the log says it; `package` where it comes from; `loss` what goes without it.
    RuntimeLibrary(const QString &file, int version, const QLoggingCategory &(*category)(),
                   const char *name, const char *package, const char *loss);

    // The library's functions, filled in by `resolveAll(*this, functions)`; null when the
    // library cannot be opened or lacks one. Called once per `Functions`, from the first use's
    // static (C++ makes a first use from any other thread wait for it).
    template<typename Functions, typename Resolve> const Functions *open(Resolve resolveAll)
    {
        static Functions functions {};
        return load() && resolveAll(*this, functions) ? &functions : nullptr;
    }

    template<typename F> bool resolve(const char *symbol, F *function)
    {
        *function = reinterpret_cast<F>(library_.resolve(symbol));
        return *function != nullptr || lacks(symbol);
    }

private:
    bool load();
    bool lacks(const char *symbol) const;

    QLibrary library_;
    const QLoggingCategory &(*category_)();
    const char *name_;
    const char *package_;
    const char *loss_;
};
