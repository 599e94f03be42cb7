#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

class ListModelEMailUser;
class ListModelNutUser;
class Settings;

// The settings management of the common settings page: saves the user's settings, the e-mail
// recipients and the network server's accounts (their hashes) to a settings file (one JSON
// object keyed by the settings keys), reads such a file back, and puts the defaults back (no
// recipient; the link to the UPS and the network accounts stay). Whoever keeps a copy of a setting
// follows the settings' own announcements; the screens reload their fields on settingsChanged.
class SettingsFileExchange : public QObject
{
    Q_OBJECT
    // The program starts with the desktop session (the system's autostart entry, read afresh).
    Q_PROPERTY(bool startWithDesktop READ startWithDesktop NOTIFY startWithDesktopChanged)
    // What the last import could not store, one sentence each for the page; empty when all of
    // it went in.
    Q_PROPERTY(QStringList importFailures READ importFailures NOTIFY importFailuresChanged)
public:
    SettingsFileExchange(Settings *settings, ListModelEMailUser *recipients,
                       ListModelNutUser *networkAccounts, QObject *parent = nullptr);

    Q_INVOKABLE bool settingsSaveAs(const QUrl &file);
    // False when the file could not be read, or when some of it could not be stored
    // (importFailures says what; the rest went in).
    Q_INVOKABLE bool settingsImport(const QUrl &file);
    Q_INVOKABLE void settingsRestore();
    // What a restore changes now, one line each for the user's question, then what it keeps.
    Q_INVOKABLE QStringList restoreChanges() const;

    QStringList importFailures() const;
    bool startWithDesktop() const;
    // Writes the entry starting this program (with its folder, when one was named) or removes
    // it; false when that failed.
    Q_INVOKABLE bool setStartWithDesktop(bool on);

signals:
    void startWithDesktopChanged();
    void importFailuresChanged();
    // The settings were replaced: the pages show them afresh.
    void settingsChanged();

private:
    void setImportFailures(const QStringList &failures);

    Settings *m_settings;
    ListModelEMailUser *m_recipients;
    ListModelNutUser *m_networkAccounts;
    QStringList m_importFailures;
};
