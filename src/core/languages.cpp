#include "languages.h"

#include <QLocale>

namespace Languages {

Language forLocale(const QLocale &locale)
{
    switch (locale.language()) {
    case QLocale::Chinese:
        if (locale.script() == QLocale::TraditionalChineseScript ||
            locale.country() == QLocale::Taiwan || locale.country() == QLocale::HongKong ||
            locale.country() == QLocale::Macau)
            return TraditionalChinese;
        return SimplifiedChinese;
    case QLocale::French:
        return French;
    default:
        return English;
    }
}

QString catalogueName(int language)
{
    switch (language) {
    case English:
        return QStringLiteral("en");
    case SimplifiedChinese:
        return QStringLiteral("zh_CN");
    case French:
        return QStringLiteral("fr_FR");
    case TraditionalChinese:
        return QStringLiteral("zh_TW");
    default:
        return QString();
    }
}

QString tag(int language)
{
    switch (language) {
    case SimplifiedChinese:
        return QStringLiteral("zh-CN");
    case French:
        return QStringLiteral("fr");
    case TraditionalChinese:
        return QStringLiteral("zh-TW");
    default:
        return QStringLiteral("en");
    }
}

} // namespace Languages
