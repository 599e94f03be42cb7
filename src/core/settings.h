#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>

class SettingsPrivate;

// The user's settings in "/cfg/config.cfg" (INI form), each with a fixed number and key, read
// line by line (SettingsFileCheck) so a damaged line costs only its own value, and typed by the
// key table (SettingKeys): getSettings gives a bool, an int, a text, or a QStringList for a list.
// Every write reaches the disk before the call returns and is announced with changed(key), so
// whoever keeps a copy of a setting follows an import, a restore or an edit from the screens.
// The SMTP and network link passwords are stored obscured, not encrypted: AES with a key built
// into the program, in a file only its owner may read.
class Settings : public QObject
{
    Q_OBJECT
    // For the window and `status`: the settings file did not read whole at the start and was
    // set aside, or another program left lines in it that do not read; empty while it reads.
    Q_PROPERTY(QString fileNotice READ fileNotice NOTIFY fileNoticeChanged)
public:
    enum SettingsType {
        LanguageAuto = 0,
        LanguageType = 1,

        EMailEnable = 256,
        EMailSenderName = 257,
        EMailSenderAddress = 258,
        EMailServerAddress = 259,
        EMailServerPort = 260,
        EMailAuthEnable = 261,
        EMailAuthName = 262,
        EMailAuthPassword = 263,
        EMailDailyEnable = 264,
        EMailDailyTime = 265,
        EMailReceiver = 266,
        EMailEncrypt = 267,

        ShutdownEnable = 512,
        ShutdownMainFaultTime = 513,
        ShutdownBattLowTime = 514,
        ShutdownMainFaultCap = 515,
        ShutdownMode = 516,
        ShutdownAutoSave = 517,
        ShutdownUPSOff = 518,
        ShutdownUPSOffTime = 519,
        ShutdownExec = 520,
        ShutdownExecTime = 521,
        ShutdownExecFile = 522,
        ShutdownOsOff = 523,
        ShutdownSupplies = 524,
        ShutdownMinSupplies = 525,
        ShutdownMinRuntime = 526,

        UpsCommType = 768,
        UpsBaudRate = 769,
        UpsComPort = 770,
        UpsDataSaveCycle = 771,
        UpsNutHost = 772,
        UpsNutPort = 773,
        UpsNutUps = 774,
        UpsNutUser = 775,
        UpsNutPassword = 776,
        UpsNutCaFile = 777,
        UpsNutAllowPlain = 778,

        NotifyEnable = 1024,

        BatteryInstalled = 1280,
        BatteryReplaceMonths = 1281,
        BatteryFirstSeen = 1282,
        BatteryNoticeGiven = 1283,
        BatteryNoticeMailed = 1284,

        NetworkEnable = 1536,
        NetworkListen = 1537,
        NetworkPort = 1538,
        NetworkAllow = 1539,
        NetworkUpsName = 1540,
        NetworkAliases = 1541,
        NetworkHostSync = 1542,
        NetworkMaxClients = 1543,
        NetworkCertFile = 1544,
        NetworkKeyFile = 1545,

        WebEnable = 1792,
        WebListen = 1793,
        WebPort = 1794,
        WebAllow = 1795,
        WebCertFile = 1796,
        WebKeyFile = 1797,

        SnmpEnable = 2048,
        SnmpAgentxSocket = 2049
    };
    Q_ENUM(SettingsType)

    explicit Settings(QObject *parent = nullptr);
    ~Settings() override;

    // Opens the file ("/cfg/config.cfg" of the program folder unless another is named) and writes
    // the default of every missing key. Nothing is read or written before.
    void load(const QString &fileName = QString());
    // The file the settings live in; empty before load().
    QString fileName() const;

    QString keyName(int type) const;
    // The last write did not reach the file (no right to write it, a full disk).
    bool writeFailed() const;

    QString fileNotice() const;
    // Where the file that did not read back as the program's own was kept at the last load;
    // empty when it did, or when it could not be kept.
    QString setAsidePath() const;

    Q_INVOKABLE QVariant getSettings(int type, bool isRaw = false) const;
    // A key's value in the type the key table gives it, for code that reads one: a text, path,
    // address or password as text, a number or choice as an int, a flag as a bool, a list's
    // items (a value the key cannot hold already reads as its default).
    QString text(int type) const;
    int number(int type) const;
    bool flag(int type) const;
    QStringList list(int type) const;
    // Whether writing `value` would leave the file as it is (compared as the file's text).
    bool holds(int type, const QVariant &value) const;
    Q_INVOKABLE QVariant getSettings(const QString &name, bool isRaw = false) const;
    // What a form may offer for a number key: {"min", "max", "default"}; empty for no such key.
    Q_INVOKABLE QVariantMap formRange(const QString &name) const;
    Q_INVOKABLE void setSettings(int type, const QVariant &value, bool isRaw = false);
    Q_INVOKABLE void setSettings(const QString &name, const QVariant &value, bool isRaw = false);
    Q_INVOKABLE void restore();

    // A group of keys that lives beside the settings and that others give meaning to (the
    // network server's accounts under "network/users"): this class stays the one writer of the
    // file. Its keys, relative to `group`, read afresh from the file, so a change another
    // process made (the command line while the program runs) is seen.
    QVariantMap readGroup(const QString &group) const;
    // Removes `removed` (keys or subgroups relative to `group`; "" for all of it), then writes
    // `values`, as one write that reaches the disk, announced as changed(group). False, and the
    // group as it was here too, when the file could not be written.
    bool writeGroup(const QString &group, const QVariantMap &values,
                    const QStringList &removed = {});

    // What is wrong with a settings file's text: lines that do not read, and values the key
    // table refuses, each with its line (0: the file as a whole), in line order.
    struct Problem
    {
        int line;
        QString text;
    };
    static QList<Problem> check(const QByteArray &content);
    // Waits, a few seconds at most, until the file has not changed for a moment (an editor may
    // write it in steps); false when it kept changing.
    static bool waitStill(const QString &path);

    static QByteArray encryptPassword(const QVariant &value);
    // `key` names the password in the warning about a damaged stored form.
    static QByteArray decryptPassword(const QVariant &value,
                                      const QString &key = QStringLiteral("email/authPasswd"));

signals:
    void settingsChanged();
    // A write under this key (by number or by name, or a restore).
    void changed(const QString &key);
    void fileNoticeChanged();

private:
    SettingsPrivate *d;
};
