#pragma once

#include <QObject>
#include <QUrl>

// The settings management of the common settings page: saves the user's settings and the
// e-mail recipients to a settings file (one JSON object keyed by the settings keys), reads such
// a file back, and puts the defaults back.
class PageSettingsCommon : public QObject
{
    Q_OBJECT
public:
    explicit PageSettingsCommon(QObject *parent = nullptr);

    Q_INVOKABLE bool settingsSaveAs(const QUrl &file);
    Q_INVOKABLE bool settingsImport(const QUrl &file);
    Q_INVOKABLE void settingsRestore();

signals:
    // The settings were replaced: the pages reload their services and the language.
    void settingsChanged();
};
