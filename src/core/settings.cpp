#include "settings.h"

#include "clock.h"
#include "logcategories.h"
#include "paths.h"
#include "settingkeys.h"
#include "settingsfilecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocale>
#include <QMap>
#include <QSet>
#include <QSettings>
#include <QTimer>

#include <openssl/evp.h>

#include <functional>
#include <memory>

namespace {

using Converter = std::function<QVariant(const QVariant &)>;

// Only the first 16 characters of the constant are the AES-128 key.
const char passwordKey[] = "QWXZP#406182739!QWXZP#918273046~";
constexpr int blockSize = 16;

// One AES-128 block in place, no chaining, no padding.
bool cryptBlock(unsigned char *block, bool encrypt)
{
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    if (!ctx)
        return false;
    const auto *key = reinterpret_cast<const unsigned char *>(passwordKey);
    if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, key, nullptr, encrypt ? 1 : 0) !=
        1)
        return false;
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    unsigned char out[blockSize * 2];
    int outLength = 0;
    if (EVP_CipherUpdate(ctx.get(), out, &outLength, block, blockSize) != 1 ||
        outLength != blockSize)
        return false;
    memcpy(block, out, blockSize);
    return true;
}

QByteArray bytesOf(const QVariant &value)
{
    if (value.type() == QVariant::ByteArray)
        return value.toByteArray();
    return value.toString().toUtf8();
}

} // namespace

class SettingsPrivate
{
public:
    explicit SettingsPrivate(Settings *owner) : q(owner) { }

    void setAside(const SettingsFileCheck &check);
    void sync();
    void remember();
    void watch();
    void reread();
    void write(const QString &key, const QVariant &value, bool isRaw);
    QVariant read(const QString &key, bool isRaw) const;
    QVariant checked(const QString &key, const QVariant &stored) const;

    Settings *q;
    QString path;
    std::unique_ptr<QSettings> settings;
    QMap<int, QString> keyNames;
    QMap<QString, Converter> encoders;
    QMap<QString, Converter> decoders;
    mutable QSet<QString> reported; // "key=value" of the impossible values logged
    // Where the file was kept at the last load because it did not read back as the program's
    // own, and how many settings could be read from it.
    bool damaged = false;
    QString setAsidePath; // empty when it could not be kept
    int keptCount = 0;
    // The stored form of every key of the table as last read or written here, so a change
    // another program made to the file (the command line) is told key by key.
    QMap<QString, QVariant> known;
    bool writeFailed = false;
    std::unique_ptr<QFileSystemWatcher> watcher; // from the first load on
    // An editor may write the file in steps: it is read once it has been still for a moment.
    QTimer settle;
    QString refused; // why the file as it stands was not taken, told once
};

void SettingsPrivate::remember()
{
    known.clear();
    for (const SettingKeys::Key &row : SettingKeys::all()) {
        const QString key = QString::fromLatin1(row.name);
        known.insert(key, settings->value(key));
    }
}

// The settings facility replaces the file on every write, which ends a watch on the file: its
// folder is watched as well, and the file taken up again.
void SettingsPrivate::watch()
{
    if (!watcher) {
        watcher = std::make_unique<QFileSystemWatcher>();
        settle.setSingleShot(true);
        settle.setInterval(250);
        QObject::connect(&settle, &QTimer::timeout, q, [this] { reread(); });
        QObject::connect(watcher.get(), &QFileSystemWatcher::fileChanged, &settle,
                         qOverload<>(&QTimer::start));
        QObject::connect(watcher.get(), &QFileSystemWatcher::directoryChanged, &settle,
                         qOverload<>(&QTimer::start));
    }
    if (QFileInfo::exists(path) && !watcher->files().contains(path))
        watcher->addPath(path);
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(folder) && !watcher->directories().contains(folder))
        watcher->addPath(folder);
}

// Another program wrote the file (`quelta config set`, `--nut-user`, an editor): every key whose
// stored value is now another one is announced, so the running program takes it at once. A file
// that is gone, cannot be read or does not read as settings (an editor's save half done, junk)
// is not taken: the settings in force stay, and the next write puts them back.
void SettingsPrivate::reread()
{
    watch();
    if (!settings)
        return;
    QFile file(path);
    QString why;
    if (!file.exists()) {
        why = QStringLiteral("it is gone");
    } else if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
    } else {
        const SettingsFileCheck check(file.readAll());
        if (!check.isSound())
            why = check.fault();
    }
    if (!why.isEmpty()) {
        if (why != refused)
            qCWarning(lcShell).noquote()
                << QStringLiteral("The configuration file %1 was changed by another program and "
                                  "is not taken (%2); the settings in force stay")
                       .arg(path, why);
        refused = why;
        return;
    }
    refused.clear();
    // Reads the file again when it changed on the disk since this object last read or wrote it.
    settings->sync();
    QStringList changedKeys;
    for (const SettingKeys::Key &row : SettingKeys::all()) {
        const QString key = QString::fromLatin1(row.name);
        const QVariant stored = settings->value(key);
        if (stored == known.value(key))
            continue;
        known.insert(key, stored);
        changedKeys << key;
    }
    if (changedKeys.isEmpty())
        return;
    qCInfo(lcShell).noquote() << QStringLiteral("The configuration file %1 was changed by another "
                                                "program: %2")
                                     .arg(path, changedKeys.join(QStringLiteral(", ")));
    for (const QString &key : qAsConst(changedKeys)) {
        read(key, false); // an impossible value is told now
        emit q->changed(key);
    }
}

// A file that does not read back as the program's own (junk, random bytes, a block of zeros, a
// file cut short) is copied aside as it is, "config.cfg.damaged-yyyyMMddhhmmss", before
// anything is written; the new file gets the program's settings and the network accounts that
// stand whole in it, and the defaults for the rest.
void SettingsPrivate::setAside(const SettingsFileCheck &check)
{
    QString aside = path + QStringLiteral(".damaged-") +
        QLocale(QLocale::English).toString(Clock::now(), QStringLiteral("yyyyMMddhhmmss"));
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = aside.section(QLatin1Char('~'), 0, 0) + QLatin1Char('~') + QString::number(n);
    QMap<QString, QVariant> readable;
    for (const SettingKeys::Key &row : SettingKeys::all()) {
        const QString key = QString::fromLatin1(row.name);
        if (row.defaultValue.isValid() && settings->contains(key) && check.isWhole(key))
            readable.insert(key, settings->value(key));
    }
    // The network server's accounts live beside the settings and come along.
    for (const QString &key : settings->allKeys()) {
        if (key.startsWith(QLatin1String("network/users/")) && check.isWhole(key))
            readable.insert(key, settings->value(key));
    }
    settings.reset();
    const QString why = check.isSound()
        ? QStringLiteral("the settings reader reports a format error")
        : check.fault();
    // A copy keeps the file in its place should the program end before the new one is written;
    // a full disk may leave room for no copy, but a rename needs none.
    if (QFile::copy(path, aside) || QFile::rename(path, aside)) {
        // It may hold the SMTP password, as the file did.
        QFile::setPermissions(aside, QFile::ReadOwner | QFile::WriteOwner);
        qCWarning(lcShell).noquote()
            << QStringLiteral("The configuration file %1 does not read as this program's "
                              "settings (%2); it is kept as %3, and a new one is written with "
                              "the %4 settings read from it and the defaults for the rest")
                   .arg(path, why, aside)
                   .arg(readable.size());
        setAsidePath = aside;
    } else {
        setAsidePath.clear();
        qCWarning(lcShell).noquote()
            << QStringLiteral("The configuration file %1 does not read as this program's "
                              "settings (%2), and it cannot be kept as %3; it is rewritten with "
                              "the %4 settings read from it and the defaults for the rest")
                   .arg(path, why, aside)
                   .arg(readable.size());
    }
    damaged = true;
    keptCount = readable.size();
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    file.close();
    settings.reset(new QSettings(path, QSettings::IniFormat));
    for (auto it = readable.constBegin(); it != readable.constEnd(); ++it)
        settings->setValue(it.key(), it.value());
    emit q->fileNoticeChanged();
}

void SettingsPrivate::sync()
{
    if (!settings)
        return;
    settings->sync();
    // The status is sticky: a format error seen when the file was read says nothing about this
    // write.
    writeFailed = settings->status() == QSettings::AccessError;
    if (writeFailed)
        qCWarning(lcShell) << "Cannot write the configuration file" << path;
    // It holds the SMTP password: readable by its owner only.
    QFile file(path);
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    if (file.exists() && (file.permissions() & ~(ownerOnly | QFile::ReadUser | QFile::WriteUser)))
        file.setPermissions(ownerOnly);
}

void SettingsPrivate::write(const QString &key, const QVariant &value, bool isRaw)
{
    if (!settings)
        return;
    Converter encoder = encoders.value(key);
    const SettingKeys::Key *row = encoder ? nullptr : SettingKeys::findWatch(key);
    if (row && row->kind == SettingKeys::Kind::Secret)
        encoder = [](const QVariant &v) { return QVariant(Settings::encryptPassword(v)); };
    const QVariant stored = (!isRaw && encoder) ? encoder(value) : value;
    // Each write waits on the disk (its lock file and the file are synced): not for a value the
    // file holds already, as when the link's start writes its own settings back.
    if (!settings->contains(key) || settings->value(key) != stored) {
        settings->setValue(key, stored);
        sync();
    }
    if (known.contains(key))
        known.insert(key, settings->value(key));
    emit q->changed(key);
}

QVariant SettingsPrivate::read(const QString &key, bool isRaw) const
{
    if (!settings)
        return QVariant();
    // A key taken out of the file by hand holds its default, as at the next start.
    if (!settings->contains(key)) {
        const SettingKeys::Key *row = isRaw ? nullptr : SettingKeys::find(key);
        return row ? row->defaultValue : QVariant();
    }
    const QVariant stored = settings->value(key);
    Converter decoder = decoders.value(key);
    if (isRaw)
        return stored;
    const SettingKeys::Key *row = decoder ? nullptr : SettingKeys::findWatch(key);
    if (row && row->kind == SettingKeys::Kind::Secret)
        return QString::fromUtf8(Settings::decryptPassword(stored, key));
    return decoder ? decoder(stored) : checked(key, stored);
}

// A value the key cannot hold (a hand-edited file) gives way to the default, said once.
QVariant SettingsPrivate::checked(const QString &key, const QVariant &stored) const
{
    const SettingKeys::Key *row = SettingKeys::find(key);
    if (!row)
        return stored;
    const SettingKeys::Verdict verdict = SettingKeys::check(*row, stored);
    if (verdict.ok)
        return stored;
    const QString text = stored.type() == QVariant::StringList
        ? stored.toStringList().join(QLatin1Char(','))
        : stored.toString();
    if (!reported.contains(key + QLatin1Char('=') + text)) {
        reported.insert(key + QLatin1Char('=') + text);
        qCWarning(lcShell).noquote()
            << QStringLiteral("The setting %1=%2 in %3 is not %4; %5 is used instead")
                   .arg(key, text, path, verdict.expected,
                        row->defaultValue.isValid() ? row->defaultValue.toString()
                                                    : QStringLiteral("nothing"));
    }
    return row->defaultValue;
}

Settings::Settings(QObject *parent) : QObject(parent), d(new SettingsPrivate(this))
{
    for (const SettingKeys::Key &row : SettingKeys::all())
        d->keyNames.insert(row.type, QString::fromLatin1(row.name));
    // Both passwords are stored obscured. The network link's is read as text, which is what
    // the settings page shows.
    for (const int type : {EMailAuthPassword, UpsNutPassword}) {
        const QString passwordKeyName = d->keyNames.value(type);
        d->encoders.insert(passwordKeyName,
                           [](const QVariant &v) { return QVariant(encryptPassword(v)); });
        if (type == EMailAuthPassword)
            d->decoders.insert(passwordKeyName,
                               [](const QVariant &v) { return QVariant(decryptPassword(v)); });
        else
            d->decoders.insert(passwordKeyName, [passwordKeyName](const QVariant &v) {
                return QVariant(QString::fromUtf8(decryptPassword(v, passwordKeyName)));
            });
    }
}

Settings::~Settings()
{
    delete d;
}

void Settings::load(const QString &fileName)
{
    d->path = fileName.isEmpty() ? Paths::file(QStringLiteral("/cfg/config.cfg")) : fileName;
    if (d->damaged) {
        d->damaged = false;
        d->setAsidePath.clear();
        emit fileNoticeChanged();
    }
    // Create the file owner-only before the settings facility writes into it.
    QFile file(d->path);
    const bool existed = file.exists();
    if (!existed && file.open(QIODevice::WriteOnly))
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray content =
        existed && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const bool readable = !existed || file.error() == QFileDevice::NoError;
    file.close();
    d->settings.reset(new QSettings(d->path, QSettings::IniFormat));
    if (d->settings->status() == QSettings::AccessError || !readable) {
        qCWarning(lcShell) << "The configuration file" << d->path
                           << "could not be read; defaults are used";
    } else if (existed) {
        const SettingsFileCheck check(content);
        if (!check.isSound() || d->settings->status() == QSettings::FormatError)
            d->setAside(check);
    }
    for (const SettingKeys::Key &row : SettingKeys::all()) {
        if (!row.defaultValue.isValid())
            continue;
        const QString key = QString::fromLatin1(row.name);
        if (!d->settings->contains(key))
            d->settings->setValue(key, row.defaultValue);
    }
    d->sync();
    d->remember();
    d->watch();
    // Every impossible value is told now, not when it is first used.
    for (const SettingKeys::Key &row : SettingKeys::all())
        d->read(QString::fromLatin1(row.name), false);
}

QString Settings::fileNotice() const
{
    if (!d->damaged)
        return QString();
    const QString kept = d->setAsidePath.isEmpty()
        ? tr("The settings file was damaged and could not be kept aside.")
        : tr("The settings file was damaged; it is kept as %1.")
              .arg(QDir::toNativeSeparators(d->setAsidePath));
    return kept + QLatin1Char(' ') +
        tr("The new one holds the settings that could be read from it (%1) and the defaults "
           "for the rest: check the settings, above all the shutdown and the UPS link.")
            .arg(d->keptCount);
}

QString Settings::fileName() const
{
    return d->path;
}

QVariantMap Settings::readGroup(const QString &group) const
{
    QVariantMap values;
    if (!d->settings)
        return values;
    // A settings object of its own reads the file again when another process changed it.
    QSettings file(d->path, QSettings::IniFormat);
    file.beginGroup(group);
    const QStringList keys = file.allKeys();
    for (const QString &key : keys)
        values.insert(key, file.value(key));
    return values;
}

bool Settings::writeGroup(const QString &group, const QVariantMap &values,
                          const QStringList &removed)
{
    if (!d->settings)
        return false;
    // A settings object of its own: its status tells this write's outcome alone. It shares
    // what is not written yet with the program's own, which so sees the same values.
    QSettings file(d->path, QSettings::IniFormat);
    file.beginGroup(group);
    QVariantMap before;
    for (const QString &key : file.allKeys())
        before.insert(key, file.value(key));
    for (const QString &key : removed)
        file.remove(key);
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        file.setValue(it.key(), it.value());
    file.endGroup();
    file.sync();
    const bool written = file.status() == QSettings::NoError;
    if (!written) {
        qCWarning(lcShell) << "Cannot write" << group << "to the configuration file" << d->path
                           << "; it stays as it was";
        // What could not be written must not be read back as if it had been.
        file.beginGroup(group);
        file.remove(QString());
        for (auto it = before.constBegin(); it != before.constEnd(); ++it)
            file.setValue(it.key(), it.value());
        file.endGroup();
        file.sync();
    }
    d->sync(); // owner-only, as every write leaves it
    emit changed(group);
    return written;
}

QString Settings::setAsidePath() const
{
    return d->setAsidePath;
}

bool Settings::writeFailed() const
{
    return d->writeFailed;
}

QString Settings::keyName(int type) const
{
    return d->keyNames.value(type);
}

QVariant Settings::getSettings(int type, bool isRaw) const
{
    if (!d->keyNames.contains(type))
        return QVariant();
    return d->read(d->keyNames.value(type), isRaw);
}

QVariant Settings::getSettings(const QString &name, bool isRaw) const
{
    return d->read(name, isRaw);
}

void Settings::setSettings(int type, const QVariant &value, bool isRaw)
{
    if (!d->keyNames.contains(type))
        return;
    d->write(d->keyNames.value(type), value, isRaw);
}

void Settings::setSettings(const QString &name, const QVariant &value, bool isRaw)
{
    d->write(name, value, isRaw);
}

void Settings::restore()
{
    if (!d->settings)
        return;
    QStringList restored;
    for (const SettingKeys::Key &row : SettingKeys::all()) {
        if (!row.restored)
            continue;
        restored << QString::fromLatin1(row.name);
        d->settings->setValue(restored.last(), row.defaultValue);
    }
    d->sync();
    d->remember();
    for (const QString &key : qAsConst(restored))
        emit changed(key);
}

QByteArray Settings::encryptPassword(const QVariant &value)
{
    const QByteArray plain = bytesOf(value);
    if (plain.isEmpty())
        return QByteArray();
    const int length = (plain.size() + blockSize - 1) / blockSize * blockSize;
    QByteArray buffer(length, '\0');
    memcpy(buffer.data(), plain.constData(), plain.size());
    // Only the first block is enciphered; the stored form of longer passwords depends on it.
    if (!cryptBlock(reinterpret_cast<unsigned char *>(buffer.data()), true)) {
        qCWarning(lcShell) << "Password encryption failed";
        return QByteArray();
    }
    return buffer.toBase64();
}

QByteArray Settings::decryptPassword(const QVariant &value, const QString &key)
{
    const QByteArray stored = bytesOf(value);
    if (stored.isEmpty())
        return QByteArray();
    QByteArray buffer = QByteArray::fromBase64(stored);
    if (buffer.size() < blockSize) {
        // A hand-edited value: never read past the decoded data.
        const QString which = key == QLatin1String("ups/nutPassword")
            ? QStringLiteral("network link's password (%1)").arg(key)
            : QStringLiteral("SMTP password (%1)").arg(key);
        qCWarning(lcShell).noquote()
            << QStringLiteral("The stored %1 is damaged and is ignored").arg(which);
        return QByteArray();
    }
    if (!cryptBlock(reinterpret_cast<unsigned char *>(buffer.data()), false)) {
        qCWarning(lcShell) << "Password decryption failed";
        return QByteArray();
    }
    if (buffer.at(buffer.size() - 1) != '\0')
        return buffer;
    const int end = buffer.indexOf('\0');
    return buffer.left(end);
}
