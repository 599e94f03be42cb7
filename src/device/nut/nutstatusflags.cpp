#include "nutstatusflags.h"

#include <QStringList>

namespace {

const char *const words[NutStatusFlags::Count] = {"FSD",   "OL",   "OB",  "LB",   "BYPASS",
                                                  "BOOST", "TRIM", "CAL", "OFF",  "ALARM",
                                                  "OVER",  "RB",   "HB",  "CHRG", "DISCHRG"};

} // namespace

const char *NutStatusFlags::word(Flag flag)
{
    for (int i = 0; i < Count; ++i) {
        if (flag == Flag(1 << i))
            return words[i];
    }
    return "";
}

std::optional<NutStatusFlags::Flag> NutStatusFlags::flag(const QString &word)
{
    for (int i = 0; i < Count; ++i) {
        if (word == QLatin1String(words[i]))
            return Flag(1 << i);
    }
    return std::nullopt;
}

NutStatusFlags::Flags NutStatusFlags::parse(const QString &status)
{
    Flags flags;
    for (const QString &word : status.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (const auto f = flag(word))
            flags |= *f;
    }
    return flags;
}

QByteArray NutStatusFlags::join(Flags flags)
{
    QByteArrayList out;
    for (int i = 0; i < Count; ++i) {
        if (flags.testFlag(Flag(1 << i)))
            out << words[i];
    }
    return out.join(' ');
}
