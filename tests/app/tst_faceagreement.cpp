// Every face shows a UPS from the same state: the window, the web page and API, the metrics, the
// NUT server, the SNMP agent and `status`. For every combination of link, status flags, output
// voltage, fault words and forced shutdown, they must say the same thing.
#include "devstatusview.h"
#include "nutserverstate.h"
#include "nutupspublisher.h"
#include "snmpupstree.h"
#include "upsentry.h"
#include "webapi.h"
#include "webmetrics.h"
#include "webtexts.h"

#include <QtTest>

namespace {

QSet<QString> metricFlags(const QByteArray &metrics)
{
    QSet<QString> set;
    static const QRegularExpression line(
        QStringLiteral("^quelta_ups_status\\{ups=\"[^\"]*\",flag=\"([A-Z]+)\"\\} 1$"),
        QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(QString::fromUtf8(metrics)); it.hasNext();)
        set.insert(it.next().captured(1));
    return set;
}

QSet<QString> nutFlags(const UpsState &s)
{
    const NutSnapshot snapshot = NutUpsPublisher::build(s, 0, {}, {});
    for (const NutVariable &v : NutServerState::served(snapshot, false)) {
        if (v.name == "ups.status") {
            const QStringList flags = QString::fromLatin1(v.value).split(QLatin1Char(' '));
            return QSet<QString>(flags.cbegin(), flags.cend());
        }
    }
    return {};
}

QSet<int> snmpAlarms(const UpsEntry &entry)
{
    SnmpUpsTree tree;
    tree.update(entry, 100, 1000);
    // upsAlarmDescr: each row points at one of the well-known alarms.
    SnmpUpsTree::Oid descr = SnmpUpsTree::upsMib();
    descr.insert(descr.end(), {1, 6, 2, 1, 2});
    QSet<int> out;
    for (const SnmpUpsTree::Value &v : tree.values()) {
        if (v.oid.size() > descr.size() && std::equal(descr.cbegin(), descr.cend(), v.oid.cbegin()))
            out.insert(int(v.objectId.back()));
    }
    return out;
}

} // namespace

class TestFaceAgreement : public QObject
{
    Q_OBJECT

private slots:
    void everyFaceTellsTheSameCondition()
    {
        WebTexts texts;
        texts.load(QStringLiteral(QUELTA_BIN_DIR "/translations"));
        DevStatusView window;
        const std::optional<float> outputs[] = {std::nullopt, 0.4f, 229.0f};
        int checked = 0;
        for (int link = 0; link < 3; ++link) {
            for (int status = 0; status < 256; ++status) {
                for (const std::optional<float> &output : outputs) {
                    for (int faults = 0; faults < 3; ++faults) {
                        for (int fsd = 0; fsd < 2; ++fsd) {
                            UpsState s;
                            s.link = UpsState::Link(link);
                            s.setStatusByte(quint8(status));
                            s.outputVoltage = output;
                            s.inputVoltage = 230.0f;
                            s.ratedOutputVoltage = 230.0f;
                            s.forcedShutdown = fsd;
                            // A fault of family 1, or a word of family 3, which carries none.
                            if (faults) {
                                s.faultKind = faults == 1 ? 1 : 3;
                                s.faultWords[4] = 0x10;
                            }
                            const QString where = QStringLiteral("link %1 status %2 output %3 "
                                                                 "faults %4 fsd %5")
                                                      .arg(link)
                                                      .arg(status, 2, 16)
                                                      .arg(output ? *output : -1)
                                                      .arg(faults)
                                                      .arg(fsd);
                            compare(s, texts, window, where);
                            ++checked;
                        }
                    }
                }
            }
        }
        QCOMPARE(checked, 3 * 256 * 3 * 3 * 2);

        // Fault texts standing beside the UPS's own fault flag give ALARM once, not twice.
        UpsEntry e;
        e.name = QStringLiteral("ups");
        e.state.link = UpsState::Link::Online;
        e.state.upsFailed = true;
        e.faults = QStringList {QStringLiteral("Inverter fault")};
        QCOMPARE(WebApi::statusFlags(e).count(QStringLiteral("ALARM")), 1);
    }

private:
    void compare(const UpsState &s, const WebTexts &texts, DevStatusView &window,
                 const QString &where)
    {
        const char *w = qPrintable(where);
        UpsEntry e;
        e.name = QStringLiteral("ups");
        e.state = s;
        window.setState(s);
        const UpsCondition::Condition condition = e.condition();

        // The window and the web page show one condition.
        QVERIFY2(window.upsState() == int(condition), w);
        const QJsonObject web = WebApi::ups(e, texts, 0);
        QVERIFY2(web.value(QStringLiteral("condition")).toString() ==
                     QLatin1String(UpsCondition::key(condition)),
                 w);
        // In the same words: the web page has words for each, and makes up no time for an
        // output-off the UPS announced without one.
        QVERIFY2(window.wordsKey() == QLatin1String(UpsCondition::words(condition, false, -1).key),
                 w);
        const QString words = texts.condition(0, e);
        QVERIFY2(!words.isEmpty() && !words.contains(QLatin1Char(':')), w);

        // `status` exits by the same condition.
        const UpsState::Health health = s.health();
        const bool critical = condition == UpsCondition::Fault ||
            condition == UpsCondition::OutputOff || condition == UpsCondition::BatteryLow ||
            (s.online() && s.forcedShutdown);
        QVERIFY2((health == UpsState::Health::NoUps) == !s.online(), w);
        QVERIFY2((health == UpsState::Health::Critical) == critical, w);
        QVERIFY2((health == UpsState::Health::OnBattery) ==
                     (condition == UpsCondition::OnBattery && !s.forcedShutdown),
                 w);

        // The flags of the web API, the metrics and the NUT server are one set.
        const QStringList webList = WebApi::statusFlags(e);
        const QSet<QString> webFlags(webList.cbegin(), webList.cend());
        QVERIFY2(metricFlags(WebMetrics::render({e}, texts)) == webFlags, w);
        const QSet<int> snmp = snmpAlarms(e);
        if (!s.online()) {
            QVERIFY2(webFlags.isEmpty(), w);
            return;
        }
        QSet<QString> nut = nutFlags(s);
        if (s.forcedShutdown)
            nut.insert(QStringLiteral("FSD")); // a watched UPS's primary said so
        QVERIFY2(nut == webFlags, w);

        // Each condition has the same word in every face, the window's fault lamp included.
        QVERIFY2((window.faultState() == DevStatusView::FlagActive) == s.faulted(), w);
        const bool fault = condition == UpsCondition::Fault;
        QVERIFY2(webFlags.contains(QStringLiteral("ALARM")) == s.faulted(), w);
        QVERIFY2(snmp.contains(SnmpUpsTree::AlarmGeneralFault) == s.faulted(), w);
        QVERIFY2(!s.faulted() || fault, w);
        QVERIFY2(webFlags.contains(QStringLiteral("OFF")) == s.outputOff(), w);
        QVERIFY2(snmp.contains(SnmpUpsTree::AlarmUpsOutputOff) == s.outputOff(), w);
        QVERIFY2(!s.outputOff() || fault || condition == UpsCondition::OutputOff, w);
        QVERIFY2(webFlags.contains(QStringLiteral("OB")) == s.onBattery, w);
        QVERIFY2(snmp.contains(SnmpUpsTree::AlarmOnBattery) == s.onBattery, w);
        QVERIFY2(webFlags.contains(QStringLiteral("LB")) == s.batteryLow, w);
        QVERIFY2(snmp.contains(SnmpUpsTree::AlarmLowBattery) == s.batteryLow, w);
        QVERIFY2(webFlags.contains(QStringLiteral("CAL")) == s.selfTest, w);
    }
};

QTEST_MAIN(TestFaceAgreement)
#include "tst_faceagreement.moc"
