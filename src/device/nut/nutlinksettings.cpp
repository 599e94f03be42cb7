#include "nutlinksettings.h"

#include "settings.h"

NutLinkSettings::NutLinkSettings(Settings *settings, QObject *parent)
    : QObject(parent), m_settings(settings)
{
    using N = NutLinkSettings;
    const QList<QPair<int, void (N::*)()>> signalOf = {
        {Settings::UpsNutHost, &N::hostChanged},
        {Settings::UpsNutPort, &N::portChanged},
        {Settings::UpsNutUps, &N::upsNameChanged},
        {Settings::UpsNutUser, &N::userChanged},
        {Settings::UpsNutPassword, &N::passwordChanged},
        {Settings::UpsNutCaFile, &N::caFileChanged},
        {Settings::UpsNutAllowPlain, &N::allowPlainChanged}};
    connect(settings, &Settings::changed, this, [this, signalOf](const QString &key) {
        for (const auto &entry : signalOf) {
            if (key == m_settings->keyName(entry.first))
                emit(this->*entry.second)();
        }
    });
}

QString NutLinkSettings::text(int type) const
{
    return m_settings->text(type);
}

void NutLinkSettings::store(int type, const QVariant &value)
{
    if (!m_settings->holds(type, value))
        m_settings->setSettings(type, value);
}

QString NutLinkSettings::host() const
{
    return text(Settings::UpsNutHost);
}

void NutLinkSettings::setHost(const QString &host)
{
    store(Settings::UpsNutHost, host);
}

int NutLinkSettings::port() const
{
    return m_settings->getSettings(Settings::UpsNutPort).toInt();
}

void NutLinkSettings::setPort(int port)
{
    store(Settings::UpsNutPort, port);
}

QString NutLinkSettings::upsName() const
{
    return text(Settings::UpsNutUps);
}

void NutLinkSettings::setUpsName(const QString &name)
{
    store(Settings::UpsNutUps, name);
}

QString NutLinkSettings::user() const
{
    return text(Settings::UpsNutUser);
}

void NutLinkSettings::setUser(const QString &user)
{
    store(Settings::UpsNutUser, user);
}

QString NutLinkSettings::password() const
{
    return text(Settings::UpsNutPassword);
}

void NutLinkSettings::setPassword(const QString &password)
{
    store(Settings::UpsNutPassword, password);
}

QString NutLinkSettings::caFile() const
{
    return text(Settings::UpsNutCaFile);
}

void NutLinkSettings::setCaFile(const QString &path)
{
    store(Settings::UpsNutCaFile, path);
}

bool NutLinkSettings::allowPlain() const
{
    const QVariant value = m_settings->getSettings(Settings::UpsNutAllowPlain);
    return value.toBool() || value.toString() == QLatin1String("true");
}

void NutLinkSettings::setAllowPlain(bool allow)
{
    store(Settings::UpsNutAllowPlain, allow);
}
