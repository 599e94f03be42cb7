#include "translator.h"

#include "languages.h"
#include "logcategories.h"
#include "paths.h"
#include "settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

class TranslatorPrivate
{
public:
    QString catalogueFile(int language) const;
    void load(int language);

    Translator *q = nullptr;
    Settings *settings = nullptr;
    bool initialised = false;
    QTranslator english;
    QTranslator translator;
    int inUse = Translator::EN_GB;
    // The catalogues in force, one file a line; empty when none could be loaded.
    QString installed;
    QString catalogueFolder;
    int language = Translator::EN_GB;
    bool autoLanguage = true;
    bool isLoading = false;
};

// The catalogue's path, or an empty text when the language has none or it is missing.
QString TranslatorPrivate::catalogueFile(int language) const
{
    if (language == Translator::Auto)
        return catalogueFile(Translator::languageFor(QLocale::system()));
    const QString name = Languages::catalogueName(language);
    if (name.isEmpty())
        return QString();
    const QString relative = QStringLiteral("/translations/") + name + QStringLiteral(".qm");
    if (catalogueFolder.isEmpty())
        return Paths::shipped(relative);
    const QString path = catalogueFolder + QLatin1Char('/') + name + QStringLiteral(".qm");
    return QFileInfo::exists(path) ? path : QString();
}

void TranslatorPrivate::load(int language)
{
    if (language < Translator::Auto || language > Translator::ZH_TW) {
        qCWarning(lcShell) << "Ignoring unknown language" << language;
        return;
    }
    isLoading = true;
    // A missing catalogue must not leave the previous language in force: take the objects out
    // first and put them back only when a catalogue loaded. The last one installed is asked
    // first, so English goes in first, beneath the language shown.
    const QString before = installed;
    QCoreApplication::removeTranslator(&translator);
    QCoreApplication::removeTranslator(&english);
    installed.clear();
    const QString englishFile = catalogueFile(Translator::EN_GB);
    if (!englishFile.isEmpty() && english.load(englishFile)) {
        QCoreApplication::installTranslator(&english);
        installed = englishFile;
    }
    inUse = language == Translator::Auto ? Translator::languageFor(QLocale::system()) : language;
    if (inUse != Translator::EN_GB) {
        const QString file = catalogueFile(inUse);
        if (!file.isEmpty() && translator.load(file)) {
            QCoreApplication::installTranslator(&translator);
            installed += QLatin1Char('\n') + file;
        } else {
            qCInfo(lcShell).nospace().noquote()
                << "No translation catalogue for language " << language
                << (language == Translator::Auto ? " (" + QLocale::system().name() + ")"
                                                 : QString())
                << "; the English texts are shown";
            inUse = Translator::EN_GB;
        }
    }
    // Only when the catalogues changed, not when the window was made with them in force.
    if (installed != before)
        emit q->cataloguesChanged();
    isLoading = false;
}

Translator::Translator(Settings *settings, QObject *parent)
    : QObject(parent), d(new TranslatorPrivate)
{
    d->q = this;
    d->settings = settings;
    // A choice that differs from the one in force came from elsewhere: apply it.
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (!d->initialised || !key.startsWith(QLatin1String("language/")))
            return;
        const QVariant storedAuto = d->settings->getSettings(Settings::LanguageAuto);
        const int storedType = d->settings->getSettings(Settings::LanguageType).toInt();
        if (storedAuto.isValid() &&
            (storedAuto.toBool() != d->autoLanguage ||
             (!d->autoLanguage && storedType != d->language)))
            init();
    });
}

Translator::~Translator()
{
    delete d;
}

int Translator::language() const
{
    return d->language;
}

void Translator::setLanguage(int language)
{
    if (language == d->language)
        return;
    d->language = language;
    if (language != Auto)
        d->settings->setSettings(Settings::LanguageType, language);
    d->load(language);
    emit languageChanged();
}

bool Translator::autoLanguage() const
{
    return d->autoLanguage;
}

void Translator::setAutoLanguage(bool autoLanguage)
{
    if (autoLanguage == d->autoLanguage)
        return;
    d->autoLanguage = autoLanguage;
    d->settings->setSettings(Settings::LanguageAuto, autoLanguage);
    emit autoLanguageChanged();
}

bool Translator::isLoading() const
{
    return d->isLoading;
}

int Translator::languageInUse() const
{
    return d->inUse;
}

Translator::Language Translator::languageFor(const QLocale &locale)
{
    return Language(Languages::forLocale(locale));
}

void Translator::init()
{
    d->initialised = true;
    Settings *settings = d->settings;
    const QVariant storedAuto = settings->getSettings(Settings::LanguageAuto);
    if (storedAuto.isValid()) {
        d->autoLanguage = storedAuto.toBool();
        d->language = settings->getSettings(Settings::LanguageType).toInt();
        d->load(d->autoLanguage ? Auto : d->language);
    } else {
        d->load(Auto);
        settings->setSettings(Settings::LanguageAuto, true);
    }
    emit autoLanguageChanged();
    emit languageChanged();
}

void Translator::setCatalogueFolder(const QString &folder)
{
    d->catalogueFolder = folder;
}
