#pragma once

#include <QObject>
#include <QString>

class Settings;

// The settings of the link to a network UPS server ("ups/nut..."), by name for the settings
// page: each is read from the settings and written through at once, and announced again when
// the file changes under it (an import, a restore), each by its own signal.
class NutLinkSettings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString host READ host WRITE setHost NOTIFY hostChanged)
    // 0 while none is stored.
    Q_PROPERTY(int port READ port WRITE setPort NOTIFY portChanged)
    Q_PROPERTY(QString upsName READ upsName WRITE setUpsName NOTIFY upsNameChanged)
    Q_PROPERTY(QString user READ user WRITE setUser NOTIFY userChanged)
    Q_PROPERTY(QString password READ password WRITE setPassword NOTIFY passwordChanged)
    Q_PROPERTY(QString caFile READ caFile WRITE setCaFile NOTIFY caFileChanged)
    Q_PROPERTY(bool allowPlain READ allowPlain WRITE setAllowPlain NOTIFY allowPlainChanged)

public:
    explicit NutLinkSettings(Settings *settings, QObject *parent = nullptr);

    QString host() const;
    void setHost(const QString &host);
    int port() const;
    void setPort(int port);
    QString upsName() const;
    void setUpsName(const QString &name);
    QString user() const;
    void setUser(const QString &user);
    QString password() const;
    void setPassword(const QString &password);
    QString caFile() const;
    void setCaFile(const QString &path);
    bool allowPlain() const;
    void setAllowPlain(bool allow);

signals:
    void hostChanged();
    void portChanged();
    void upsNameChanged();
    void userChanged();
    void passwordChanged();
    void caFileChanged();
    void allowPlainChanged();

private:
    QString text(int type) const;
    // Writes a value that differs from the stored one; the link takes each write as an edit.
    void store(int type, const QVariant &value);

    Settings *m_settings;
};
