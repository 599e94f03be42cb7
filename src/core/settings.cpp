#include "settings.h"

#include "clock.h"
#include "cryptolibrary.h"
#include "filesaver.h"
#include "logcategories.h"
#include "paths.h"
#include "settingkeys.h"
#include "settingsfilecheck.h"
#include "settingsfileformat.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocale>
#include <QLockFile>
#include <QMap>
#include <QSet>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>

namespace {

using Converter = std::function<QVariant(const QVariant &)>;

// Only the first 16 characters of the constant are the AES-128 key.
const char passwordKey[] = "QWXZP#406182739!QWXZP#918273046~";
constexpr int blockSize = 16;

// One AES-128 block in place, no chaining, no padding.
bool cryptBlock(unsigned char *block, bool encrypt)
{
    const CryptoLibrary *crypto = CryptoLibrary::get();
    if (!crypto)
        return false;
    std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX *)> ctx(crypto->cipherCtxNew(),
                                                                    crypto->cipherCtxFree);
    if (!ctx)
        return false;
    const auto *key = reinterpret_cast<const unsigned char *>(passwordKey);
    if (crypto->cipherInitEx(ctx.get(), crypto->aes128Ecb(), nullptr, key, nullptr,
                             encrypt ? 1 : 0) != 1)
        return false;
    crypto->cipherCtxSetPadding(ctx.get(), 0);
    unsigned char out[blockSize * 2];
    int outLength = 0;
    if (crypto->cipherUpdate(ctx.get(), out, &outLength, block, blockSize) != 1 ||
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

    void setAside(const SettingsFileCheck &check, const QString &why, bool atLoad);
    bool save();
    void watch();
    void reread();
    bool refresh(QString *why);
    bool fileHolds() const;
    void take(const QMap<QString, QVariant> &now, bool removals, QStringList *changedKeys);
    void write(const QString &key, const QVariant &value, bool isRaw);
    QVariant read(const QString &key, bool isRaw) const;
    QVariant checked(const QString &key, const QVariant &stored) const;
    void setDamage(const QList<SettingsFileCheck::Problem> &problems);

    Settings *q;
    QString path;
    bool loaded = false;
    // The settings as stored (texts, lists, bytes), unknown keys and the network accounts
    // included, and the order the file gives them.
    QMap<QString, QVariant> values;
    QStringList order;
    // The bytes last read from or written to the file: other bytes there were written by
    // another program.
    QByteArray onDisk;
    QMap<int, QString> keyNames;
    QMap<QString, Converter> encoders;
    QMap<QString, Converter> decoders;
    mutable QSet<QString> reported; // "key=value" of the impossible values logged
    // Where the file was kept at the last load because it did not read whole, and how many
    // settings could be read from it.
    bool damaged = false;
    bool asideAtLoad = true; // else by a write while running, of the settings in force
    QString setAsidePath; // empty when it could not be kept
    int keptCount = 0;
    // What does not read in the file as another program left it while this one runs; empty
    // while it reads whole.
    QList<SettingsFileCheck::Problem> damage;
    bool writeFailed = false;
    bool unreadable = false; // at the load: nothing is written over it
    FileSaver saver {QStringLiteral("the configuration file"), lcShell};
    std::unique_ptr<QFileSystemWatcher> watcher; // from the first load on
    // An editor may write the file in steps: it is read once it has been still for a moment.
    QTimer settle;
    int stillTries = 0;
    QString refused; // why the file as it stands was not taken, told once
};

namespace {

constexpr int stillMs = 150;

bool isProgramKey(const QString &key)
{
    return SettingKeys::find(key) || key.startsWith(QLatin1String("network/users/"));
}

QString problemsText(const QList<SettingsFileCheck::Problem> &problems)
{
    if (problems.isEmpty())
        return QString();
    QString text = problems.first().text;
    if (problems.size() > 1)
        text += QStringLiteral(", and %1 more").arg(problems.size() - 1);
    return text;
}

// Milliseconds since the file last changed; a large number when it is not there.
qint64 ageOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::numeric_limits<qint64>::max();
    return info.lastModified().msecsTo(QDateTime::currentDateTime());
}

} // namespace

// Whoever replaces the file ends a watch on it: its folder is watched as well, and the file
// taken up again.
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

void SettingsPrivate::setDamage(const QList<SettingsFileCheck::Problem> &problems)
{
    QStringList before, after;
    for (const auto &p : qAsConst(damage))
        before << p.text;
    for (const auto &p : problems)
        after << p.text;
    damage = problems;
    if (before != after)
        emit q->fileNoticeChanged();
}

// Takes the values of `now` that differ from those in force: every key of the file when it read
// whole (`removals`: a key taken out holds its default), else only the lines that read.
void SettingsPrivate::take(const QMap<QString, QVariant> &now, bool removals,
                           QStringList *changedKeys)
{
    QStringList keys = now.keys();
    if (removals) {
        for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
            if (!now.contains(it.key()))
                keys << it.key();
        }
    }
    for (const QString &key : qAsConst(keys)) {
        const bool had = values.contains(key);
        const bool has = now.contains(key);
        if (had == has && (!has || values.value(key) == now.value(key)))
            continue;
        if (has) {
            values.insert(key, now.value(key));
            if (!order.contains(key))
                order.append(key);
        } else {
            values.remove(key);
            order.removeAll(key);
        }
        // The watched list and the fixed keys are announced; the accounts' list reads its
        // group itself.
        if (SettingKeys::find(key))
            changedKeys->append(key);
    }
}

// The file holds the settings in force, byte for byte, as last read or written here. Read without
// the lock: every write replaces the file whole.
bool SettingsPrivate::fileHolds() const
{
    if (unreadable || !damage.isEmpty())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == onDisk &&
        SettingsFileFormat::write(order, values) == onDisk;
}

// Reads the file when another program changed it. False, with why, when it is not taken whole
// (gone, unreadable, or lines that do not read: those that do are taken).
bool SettingsPrivate::refresh(QString *why)
{
    QFile file(path);
    if (!file.exists()) {
        *why = QStringLiteral("it is gone");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return false;
    }
    const QByteArray content = file.readAll();
    if (content == onDisk) {
        if (!damage.isEmpty())
            *why = problemsText(damage);
        return damage.isEmpty();
    }
    onDisk = content;
    const SettingsFileCheck check(content);
    QStringList changedKeys;
    take(check.values(), check.isSound(), &changedKeys);
    setDamage(check.problems());
    if (!check.isSound())
        *why = problemsText(check.problems());
    if (!changedKeys.isEmpty()) {
        qCInfo(lcShell).noquote()
            << QStringLiteral("The configuration file %1 was changed by another program: %2")
                   .arg(path, changedKeys.join(QStringLiteral(", ")));
        for (const QString &key : qAsConst(changedKeys)) {
            read(key, false); // an impossible value is told now
            emit q->changed(key);
        }
    }
    return check.isSound();
}

// Another program wrote the file (`quelta config set`, `--nut-user`, an editor): every key whose
// stored value is now another one is announced, so the running program takes it at once. Lines
// that do not read are told, and their keys keep the values in force; a file that is gone or
// cannot be read is not taken at all.
void SettingsPrivate::reread()
{
    watch();
    if (!loaded)
        return;
    // Half written by an editor: read once it has been still for a moment.
    if (ageOf(path) < stillMs && stillTries < 20) {
        ++stillTries;
        settle.start(stillMs);
        return;
    }
    stillTries = 0;
    QString why;
    if (refresh(&why)) {
        if (!refused.isEmpty())
            qCInfo(lcShell).noquote()
                << QStringLiteral("The configuration file %1 reads whole again").arg(path);
        refused.clear();
        return;
    }
    if (why != refused)
        qCWarning(lcShell).noquote()
            << QStringLiteral(
                   "The configuration file %1 was changed by another program and is "
                   "not taken whole (%2); the lines that read are taken, the settings in "
                   "force stay for the rest (config check lists the problems)")
                   .arg(path, why);
    refused = why;
}

// A file that does not read whole (junk, random bytes, a block of zeros, a file cut short, an
// unclosed quote) is copied aside as it is, "config.cfg.damaged-yyyyMMddhhmmss", before
// anything is written; the new file gets every setting of the program whose line read, the
// network accounts that stand whole in it, and the defaults for the rest.
// A file that does not read whole (junk, random bytes, a block of zeros, a file cut short, an
// unclosed quote) is copied aside as it is, "config.cfg.damaged-yyyyMMddhhmmss", before
// anything is written. At a load the new file gets every setting of the program whose line read,
// the network accounts that stand whole in it, and the defaults for the rest; while running,
// the settings in force (the lines that read taken into them).
void SettingsPrivate::setAside(const SettingsFileCheck &check, const QString &why, bool atLoad)
{
    QString aside = path + QStringLiteral(".damaged-") +
        QLocale(QLocale::English).toString(Clock::now(), QStringLiteral("yyyyMMddhhmmss"));
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = aside.section(QLatin1Char('~'), 0, 0) + QLatin1Char('~') + QString::number(n);
    if (atLoad) {
        values.clear();
        order.clear();
        for (const QString &key : check.order()) {
            if (isProgramKey(key)) {
                values.insert(key, check.values().value(key));
                order.append(key);
            }
        }
    }
    const QString replaced = atLoad
        ? QStringLiteral("a new one is written with the %1 settings read from it and the "
                         "defaults for the rest")
              .arg(values.size())
        : QStringLiteral("the settings in force are written in its place");
    // A copy keeps the file in its place should the program end before the new one is written;
    // a full disk may leave room for no copy, but a rename needs none.
    if (QFile::copy(path, aside) || QFile::rename(path, aside)) {
        // It may hold the SMTP password, as the file did.
        QFile::setPermissions(aside, QFile::ReadOwner | QFile::WriteOwner);
        qCWarning(lcShell).noquote()
            << QStringLiteral("The configuration file %1 does not read as this program's settings "
                              "(%2); it is kept as "
                              "%3, and %4")
                   .arg(path, why, aside, replaced);
        setAsidePath = aside;
    } else {
        setAsidePath.clear();
        qCWarning(lcShell).noquote()
            << QStringLiteral("The configuration file %1 does not read as this program's settings "
                              "(%2), and it cannot "
                              "be kept as %3; %4")
                   .arg(path, why, aside, replaced);
    }
    damaged = true;
    asideAtLoad = atLoad;
    keptCount = values.size();
    setDamage({});
    refused.clear();
    emit q->fileNoticeChanged();
}

bool SettingsPrivate::save()
{
    if (unreadable) {
        writeFailed = true;
        return false;
    }
    const QByteArray text = SettingsFileFormat::write(order, values);
    if (text == onDisk && QFileInfo::exists(path)) {
        writeFailed = false;
        return true;
    }
    // It holds the SMTP password: readable by its owner only.
    writeFailed = !saver.save(path, text, QFile::ReadOwner | QFile::WriteOwner);
    if (!writeFailed)
        onDisk = text;
    watch();
    return !writeFailed;
}

// Another program's write waits on this one, and this one on it; a lock that cannot be made
// (a folder this user may not write) leaves the write to fail on its own.
class FileLock
{
public:
    explicit FileLock(const QString &path) : m_lock(path + QStringLiteral(".lock"))
    {
        m_lock.setStaleLockTime(10000);
        m_lock.tryLock(3000);
    }

private:
    QLockFile m_lock;
};

void SettingsPrivate::write(const QString &key, const QVariant &value, bool isRaw)
{
    if (!loaded)
        return;
    Converter encoder = encoders.value(key);
    const SettingKeys::Key *row = encoder ? nullptr : SettingKeys::findWatch(key);
    if (row && row->kind == SettingKeys::Kind::Secret)
        encoder = [](const QVariant &v) {
            return QVariant(Settings::encryptPassword(v));
        };
    const QVariant stored = (!isRaw && encoder) ? encoder(value) : value;
    // A value held already is not written again. Compared as the file's text: QVariant's own
    // compare converts across types, and takes "maybe" for true.
    const auto held = [&] {
        return values.contains(key) &&
            SettingsFileFormat::writeValue(values.value(key)) ==
            SettingsFileFormat::writeValue(stored);
    };
    // Nor does it take the lock, whose own file is synced to disk: a start that writes nothing
    // should not wait for that.
    if (held() && fileHolds()) {
        emit q->changed(key);
        return;
    }
    {
        const FileLock lock(path);
        QString why;
        // What another program wrote is taken first, so this write keeps it.
        if (!refresh(&why) && QFileInfo::exists(path) && !damage.isEmpty()) {
            // The user's file is never lost: kept aside before the settings in force replace it.
            setAside(SettingsFileCheck(onDisk), why, false);
        }
        if (!held()) {
            values.insert(key, stored);
            if (!order.contains(key))
                order.append(key);
            save();
        }
    }
    emit q->changed(key);
}

QVariant SettingsPrivate::read(const QString &key, bool isRaw) const
{
    if (!loaded)
        return QVariant();
    // A key taken out of the file by hand holds its default, as at the next start.
    if (!values.contains(key)) {
        const SettingKeys::Key *row = isRaw ? nullptr : SettingKeys::find(key);
        if (!row || row->kind == SettingKeys::Kind::Secret)
            return row ? row->defaultValue : QVariant();
        if (!row->defaultValue.isValid())
            return SettingKeys::isList(row->kind) ? QVariant(QStringList()) : QVariant();
        return SettingKeys::check(*row, row->defaultValue).value;
    }
    const QVariant stored = values.value(key);
    Converter decoder = decoders.value(key);
    if (isRaw)
        return stored;
    const SettingKeys::Key *row = decoder ? nullptr : SettingKeys::findWatch(key);
    if (row && row->kind == SettingKeys::Kind::Secret)
        return QString::fromUtf8(Settings::decryptPassword(stored, key));
    return decoder ? decoder(stored) : checked(key, stored);
}

// The one reading of a stored value: its typed form (a list key's items as a QStringList),
// or, for a value the key cannot hold (a hand-edited file), the default, said once.
QVariant SettingsPrivate::checked(const QString &key, const QVariant &stored) const
{
    const SettingKeys::Key *row = SettingKeys::find(key);
    if (!row)
        return stored;
    const SettingKeys::Verdict verdict = SettingKeys::check(*row, stored);
    if (verdict.ok)
        return verdict.value;
    const QString text = SettingKeys::text(stored);
    if (!reported.contains(key + QLatin1Char('=') + text)) {
        reported.insert(key + QLatin1Char('=') + text);
        qCWarning(lcShell).noquote()
            << QStringLiteral("The setting %1=%2 in %3 is not %4; %5 is used instead")
                   .arg(key, text, path, verdict.expected,
                        row->defaultValue.isValid() ? row->defaultValue.toString()
                                                    : QStringLiteral("nothing"));
    }
    if (row->defaultValue.isValid())
        return SettingKeys::check(*row, row->defaultValue).value;
    return SettingKeys::isList(row->kind) ? QVariant(QStringList()) : row->defaultValue;
}

Settings::Settings(QObject *parent) : QObject(parent), d(new SettingsPrivate(this))
{
    for (const SettingKeys::Key &row : SettingKeys::all())
        d->keyNames.insert(row.type, QString::fromLatin1(row.name));
    // Both passwords are stored obscured, and read as text, which is what the settings pages
    // show.
    for (const int type : {EMailAuthPassword, UpsNutPassword}) {
        const QString passwordKeyName = d->keyNames.value(type);
        d->encoders.insert(passwordKeyName,
                           [](const QVariant &v) { return QVariant(encryptPassword(v)); });
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
    d->setDamage({});
    d->refused.clear();
    d->values.clear();
    d->order.clear();
    d->onDisk.clear();
    d->loaded = true;
    QFile file(d->path);
    const bool existed = file.exists();
    bool readable = true;
    if (existed) {
        readable = file.open(QIODevice::ReadOnly);
        d->onDisk = readable ? file.readAll() : QByteArray();
        readable = readable && file.error() == QFileDevice::NoError;
        file.close();
    }
    d->unreadable = !readable;
    if (!readable) {
        // Defaults in force, and nothing written over a file that could not be read.
        qCWarning(lcShell) << "The configuration file" << d->path
                           << "could not be read; defaults are used, and nothing is written to it";
        d->writeFailed = true;
    }
    if (existed && readable) {
        const SettingsFileCheck check(d->onDisk);
        if (check.isSound()) {
            d->values = check.values();
            d->order = check.order();
        } else {
            d->setAside(check, problemsText(check.problems()), true);
        }
    }
    for (const SettingKeys::Key &row : SettingKeys::all()) {
        if (!row.defaultValue.isValid())
            continue;
        const QString key = QString::fromLatin1(row.name);
        if (!d->values.contains(key)) {
            d->values.insert(key, row.defaultValue);
            d->order.append(key);
        }
    }
    // Written, under the lock, only when defaults were added or the file is new.
    if (d->fileHolds()) {
        d->writeFailed = false;
    } else {
        const FileLock lock(d->path);
        d->save();
    }
    d->watch();
    // Every impossible value is told now, not when it is first used.
    const int watched = SettingKeys::check(*SettingKeys::findWatch(QStringLiteral("watch/size")),
                                           d->values.value(QStringLiteral("watch/size"), 0))
                            .value.toInt();
    for (const QString &key : SettingKeys::names(watched))
        d->read(key, false);
}

QString Settings::fileNotice() const
{
    QString notice;
    if (d->damaged) {
        const QString kept = d->setAsidePath.isEmpty()
            ? tr("The settings file was damaged and could not be kept aside.")
            : tr("The settings file was damaged; it is kept as %1.")
                  .arg(QDir::toNativeSeparators(d->setAsidePath));
        notice = kept + QLatin1Char(' ') +
            (d->asideAtLoad
                 ? tr("The new one holds the settings that could be read from it (%1) and the "
                      "defaults for the rest: check the settings, above all the shutdown and "
                      "the UPS link.")
                       .arg(d->keptCount)
                 : tr("The settings in force were written in its place."));
    }
    if (!d->damage.isEmpty()) {
        if (!notice.isEmpty())
            notice += QLatin1Char(' ');
        notice += tr("The settings file %1 was changed and does not read whole (%2). The lines "
                     "that read are taken; the others keep the settings in force. Repair it: "
                     "'config check' lists the problems.")
                      .arg(QDir::toNativeSeparators(d->path), problemsText(d->damage));
    }
    return notice;
}

QString Settings::fileName() const
{
    return d->path;
}

QVariantMap Settings::readGroup(const QString &group) const
{
    QVariantMap out;
    if (!d->loaded)
        return out;
    // Afresh from the file, so a change another process made is seen; a file that does not
    // read whole gives the values in force.
    QMap<QString, QVariant> values = d->values;
    QFile file(d->path);
    if (file.open(QIODevice::ReadOnly)) {
        const SettingsFileCheck check(file.readAll());
        if (check.isSound())
            values = check.values();
    }
    const QString prefix = group + QLatin1Char('/');
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        if (it.key().startsWith(prefix))
            out.insert(it.key().mid(prefix.size()), it.value());
    }
    return out;
}

bool Settings::writeGroup(const QString &group, const QVariantMap &values,
                          const QStringList &removed)
{
    if (!d->loaded)
        return false;
    bool written = false;
    {
        const FileLock lock(d->path);
        QString why;
        if (!d->refresh(&why) && QFileInfo::exists(d->path) && !d->damage.isEmpty())
            d->setAside(SettingsFileCheck(d->onDisk), why, false);
        const QMap<QString, QVariant> before = d->values;
        const QStringList orderBefore = d->order;
        const QString prefix = group + QLatin1Char('/');
        for (const QString &name : removed) {
            const QString gone = name.isEmpty() ? group : prefix + name;
            for (const QString &key : d->values.keys()) {
                if (key == gone || key.startsWith(gone + QLatin1Char('/'))) {
                    d->values.remove(key);
                    d->order.removeAll(key);
                }
            }
        }
        for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
            d->values.insert(prefix + it.key(), it.value());
            if (!d->order.contains(prefix + it.key()))
                d->order.append(prefix + it.key());
        }
        written = d->save();
        if (!written) {
            qCWarning(lcShell) << "Cannot write" << group << "to the configuration file" << d->path
                               << "; it stays as it was";
            // What could not be written must not be read back as if it had been.
            d->values = before;
            d->order = orderBefore;
        }
    }
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

QString Settings::text(int type) const
{
    const SettingKeys::Key *key = SettingKeys::find(type);
    Q_ASSERT(key && !SettingKeys::isList(key->kind) && key->kind != SettingKeys::Kind::Bool &&
             key->kind != SettingKeys::Kind::Number && key->kind != SettingKeys::Kind::Choice);
    Q_UNUSED(key)
    return getSettings(type).toString();
}

bool Settings::holds(int type, const QVariant &value) const
{
    return SettingsFileFormat::writeValue(getSettings(type)) ==
        SettingsFileFormat::writeValue(value);
}

int Settings::number(int type) const
{
    const SettingKeys::Key *key = SettingKeys::find(type);
    Q_ASSERT(key &&
             (key->kind == SettingKeys::Kind::Number || key->kind == SettingKeys::Kind::Choice));
    Q_UNUSED(key)
    return getSettings(type).toInt();
}

bool Settings::flag(int type) const
{
    const SettingKeys::Key *key = SettingKeys::find(type);
    Q_ASSERT(key && key->kind == SettingKeys::Kind::Bool);
    Q_UNUSED(key)
    return getSettings(type).toBool();
}

QStringList Settings::list(int type) const
{
    const SettingKeys::Key *key = SettingKeys::find(type);
    Q_ASSERT(key && SettingKeys::isList(key->kind));
    Q_UNUSED(key)
    return getSettings(type).toStringList();
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

QVariantMap Settings::formRange(const QString &name) const
{
    const SettingKeys::Key *key = SettingKeys::find(name);
    if (!key || key->kind != SettingKeys::Kind::Number)
        return {};
    const SettingKeys::Range range = SettingKeys::formRange(*key);
    return {{QStringLiteral("min"), range.min},
            {QStringLiteral("max"), range.max},
            {QStringLiteral("default"), key->defaultValue}};
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
    if (!d->loaded)
        return;
    QStringList restored;
    {
        const FileLock lock(d->path);
        QString why;
        if (!d->refresh(&why) && QFileInfo::exists(d->path) && !d->damage.isEmpty())
            d->setAside(SettingsFileCheck(d->onDisk), why, false);
        for (const SettingKeys::Key &row : SettingKeys::all()) {
            if (!row.restored)
                continue;
            restored << QString::fromLatin1(row.name);
            if (row.defaultValue.isValid())
                d->values.insert(restored.last(), row.defaultValue);
            else
                d->values.remove(restored.last());
            if (!d->order.contains(restored.last()))
                d->order.append(restored.last());
        }
        d->save();
    }
    for (const QString &key : qAsConst(restored))
        emit changed(key);
}

QList<Settings::Problem> Settings::check(const QByteArray &content)
{
    QList<Problem> out;
    const SettingsFileCheck file(content);
    for (const SettingsFileCheck::Problem &p : file.problems() + file.repeats())
        out.append({p.line, p.text});
    const QMap<QString, QVariant> values = file.values();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const QString &key = it.key();
        const SettingKeys::Key *row = SettingKeys::find(key);
        const int line = file.lineOf(key);
        if (!row) {
            // A misspelt key of the program's own groups is as good as a missing one.
            const QString group = key.section(QLatin1Char('/'), 0, 0);
            static const QStringList own = {"language", "email",   "shutdown", "ups",  "notify",
                                            "battery",  "network", "web",      "watch"};
            if (own.contains(group) && !key.startsWith(QLatin1String("network/users/")))
                out.append({line,
                            QStringLiteral("line %1: %2 is no setting of this program")
                                .arg(line)
                                .arg(key)});
            continue;
        }
        if (row->kind == SettingKeys::Kind::Secret)
            continue;
        const SettingKeys::Verdict verdict = SettingKeys::check(*row, it.value());
        if (!verdict.ok)
            out.append({line,
                        QStringLiteral("line %1: %2=%3 is not %4")
                            .arg(line)
                            .arg(key, SettingKeys::text(it.value()), verdict.expected)});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Problem &a, const Problem &b) { return a.line < b.line; });
    return out;
}

bool Settings::waitStill(const QString &path)
{
    for (int waited = 0; waited < 3000; waited += 50) {
        if (ageOf(path) >= stillMs)
            return true;
        QThread::msleep(50);
    }
    return false;
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
