#pragma once

#include "languages.h"

#include <QHash>
#include <QJsonObject>
#include <QString>

#include <array>

struct UpsEntry;

// The words of the web page in each of the program's languages, from the same catalogues the
// window uses (the window's own texts where it shows the same thing), so the page says what the
// window says. Loaded once; read from any thread afterwards.
class WebTexts
{
public:
    // `folder`: where the ".qm" catalogues are; empty: the shipped "/translations".
    void load(const QString &folder = QString());

    // The language of the program that an Accept-Language header asks for first; English when
    // it asks for none of them.
    static int languageOf(const QByteArray &acceptLanguage);

    // The page's words, keyed by the names the page uses, with "lang" the page's language tag.
    QJsonObject table(int language) const;
    QString word(int language, const QString &key) const;
    QString alarm(int language, int code) const;
    // What the window's header says about the UPS ("On Battery", "Output off in 00:54", ...).
    QString condition(int language, const UpsEntry &entry) const;

private:
    struct Catalogue
    {
        QJsonObject table;
        QHash<int, QString> alarms;
    };
    std::array<Catalogue, Languages::count> m_catalogues;
};
