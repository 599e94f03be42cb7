#pragma once

#include <QString>

class QLocale;

// The languages of the shipped catalogues, numbered as "language/type" stores them, and which of
// them serves a locale. The window and the web page choose by the same rule.
namespace Languages {

enum Language { English = 0, SimplifiedChinese = 1, French = 2, TraditionalChinese = 3 };
constexpr int count = 4;

// Chinese of Taiwan, Hong Kong and Macao or in traditional script, other Chinese, any French;
// English for every other locale.
Language forLocale(const QLocale &locale);

// The catalogue's file name without ".qm" ("en", "zh_CN", "fr_FR", "zh_TW"); empty for a number
// that is no language.
QString catalogueName(int language);

// The BCP 47 tag a page declares ("en", "zh-CN", "fr", "zh-TW").
QString tag(int language);

} // namespace Languages
