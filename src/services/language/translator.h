#pragma once

#include <QObject>

class QLocale;

class Settings;
class TranslatorPrivate;

// Switches the interface language at run time: English built in, the other languages from the
// shipped catalogues in "/translations". The English catalogue ("en.qm", corrections of the
// source texts) stays installed beneath the others, so English shows corrected wherever it
// shows. The choice lives in the settings ("language/auto",
// "language/type"); after each switch that changed the catalogues it says so, for a window to
// evaluate its texts again. Once initialised it follows a choice written by someone else (an
// import, a restore, the command line).
class Translator : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(bool autoLanguage READ autoLanguage WRITE setAutoLanguage NOTIFY autoLanguageChanged)
    Q_PROPERTY(bool isLoading READ isLoading)
    // The language shown now (never Auto): with the automatic choice, the system's language
    // where a catalogue exists for it, else English.
    Q_PROPERTY(int languageInUse READ languageInUse NOTIFY languageChanged)
public:
    // The numbers are stored under "language/type" (Languages::Language).
    enum Language { Auto = -1, EN_GB = 0, ZH_CN = 1, FR_FR = 2, ZH_TW = 3 };
    Q_ENUM(Language)

    explicit Translator(Settings *settings, QObject *parent = nullptr);
    ~Translator() override;

    int language() const;
    void setLanguage(int language);
    bool autoLanguage() const;
    void setAutoLanguage(bool autoLanguage);
    bool isLoading() const;
    int languageInUse() const;

    // The language whose catalogue serves a locale (Languages::forLocale).
    static Language languageFor(const QLocale &locale);

    // Applies the stored choice; start-up calls it once the root object exists.
    Q_INVOKABLE void init();

    // Where the catalogues are looked up; empty (the default) means the shipped
    // "/translations" folder. Tests point it at catalogues they build themselves.
    void setCatalogueFolder(const QString &folder);

signals:
    void languageChanged();
    void autoLanguageChanged();
    // Other catalogues are in force: every translated text shown must be made again now (the
    // window's engine retranslates). Emitted during the switch, while isLoading is true.
    void cataloguesChanged();

private:
    TranslatorPrivate *d;
};
