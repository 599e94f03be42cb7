// The serial line end to end. First the UPS simulator as the line shows it: the exact bytes of
// every reply, the state behind them, the control requests, the line behaviours and the pacing.
// Then the link on top of it: a simulated UPS on a pseudo-terminal, published under a path of our
// own, watched through DevComm; what the link reads is checked in its typed state; what the
// program makes of it is the composition root's suite.
#include "clock.h"
#include "devcomm.h"
#include "megatecreply.h"
#include "platform.h"
#include "seriallink.h"
#include "settings.h"
#include "testroot.h"
#include "upslink.h"
#include "upssimprocess.h"

#include <QLocalSocket>
#include <QSerialPort>
#include <QtTest>

#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The program's end of the line, as a plain raw descriptor.
class Line
{
public:
    explicit Line(const QString &path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0)
            return;
        termios tio {};
        tcgetattr(m_fd, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
        tcflush(m_fd, TCIOFLUSH);
    }
    explicit Line(int fd) : m_fd(fd) { }
    ~Line()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    void send(const QByteArray &bytes)
    {
        QCOMPARE(::write(m_fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }

    // Everything that arrives within `ms`, or until `count` bytes (0: a carriage return) are in.
    QByteArray read(int ms, int count = 0)
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            pollfd p {m_fd, POLLIN, 0};
            if (::poll(&p, 1, int(std::max<qint64>(1, ms - clock.elapsed()))) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, int(n));
            if ((count == 0 && got.endsWith('\r')) || (count > 0 && got.size() >= count))
                break;
        }
        return got;
    }

    QByteArray ask(const QByteArray &request, int ms = 2000)
    {
        send(request);
        return read(ms);
    }

private:
    int m_fd = -1;
};

// The fields of a reply line: the span between the start character and the carriage return.
QList<QByteArray> fields(const QByteArray &reply)
{
    return reply.mid(1, reply.size() - 2).split(' ');
}

quint8 statusByte(const QByteArray &q1)
{
    return MegatecReply::statusByte(fields(q1).value(7)).value_or(0xff);
}

int exitCode(const QStringList &options)
{
    QProcess upssim;
    upssim.start(QUELTA_BIN_DIR "/upssim", options);
    return upssim.waitForFinished(3000) ? upssim.exitCode() : -1;
}

} // namespace

class TestSerialLink : public QObject
{
    Q_OBJECT

private:
    const UpsState &state() const { return dev->state(); }
    bool online() const { return state().online(); }
    QSerialPort *port() const
    {
        return link->findChild<QSerialPort *>(QStringLiteral("serialPort"));
    }
    QTimer *pollTimer() const { return link->findChild<QTimer *>(QStringLiteral("pollTimer")); }

    void startSimulator()
    {
        sim.reset(new UpsSimProcess({QStringLiteral("--instant"), QStringLiteral("--link"), path}));
        QVERIFY(sim->isReady());
    }

    // Polls driven by hand with the poll timer held: only an accepted answer starts it again
    // (at once, or for the status query when the last went out less than 200 ms before), which is
    // how one is recognised. No answer comes to a control request, nor
    // to one the simulator says it ignored; a reply spoiled on the line is given a moment.
    int pollByHand(int times)
    {
        static const QByteArrayList queries = {"BT\r", "BP\r", "Q1\r", "A1\r",
                                               "F\r",  "I\r",  "NQU\r"};
        int answered = 0;
        for (int i = 0; i < times; ++i) {
            const int lines = sim->eventLines().size();
            const int frames = sim->receivedFrames().size();
            // A second between two polls: every reply is told, none held as a steady reading.
            Clock::advance(1);
            link->poll();
            pollTimer()->stop();
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 250) {
                QCoreApplication::processEvents();
                if (link->pollInterval() >= 0 && link->pollInterval() <= 200) {
                    pollTimer()->stop();
                    ++answered;
                    break;
                }

                const QByteArrayList sent = sim->receivedFrames().mid(frames);
                if ((!sent.isEmpty() && !queries.contains(sent.last())) ||
                    !sim->eventLines().mid(lines).filter(QStringLiteral("NOTE ignored")).isEmpty())
                    break;
                QThread::msleep(1);
            }
        }
        return answered;
    }

    template<typename Done> bool pollUntil(Done done)
    {
        for (int i = 0; i < 60 && !done(); ++i)
            pollByHand(1);
        return done();
    }
    bool pollUntil(bool UpsState::*flag, bool value)
    {
        return pollUntil([=] { return state().*flag == value; });
    }
    bool answers()
    {
        return pollUntil([this] { return online(); });
    }

    std::unique_ptr<TestRoot> root;
    std::unique_ptr<UpsSimProcess> sim;
    std::unique_ptr<DevComm> dev;
    SerialLink *link = nullptr;
    QString path;

private slots:
    void initTestCase()
    {
        root.reset(new TestRoot(TestRoot::WithSettings));
        Clock::setNow(QDateTime::currentDateTime());
        path = root->file(QStringLiteral("/ups"));
        startSimulator();
        Settings *settings = root->settings();
        settings->setSettings(Settings::UpsCommType, int(DevComm::COM));
        settings->setSettings(Settings::UpsComPort, path);
        // A hand-edited rate that is no number: the line runs at 2400, the file stays as is.
        settings->setSettings(Settings::UpsBaudRate, QStringLiteral("fast"), true);
        dev.reset(new DevComm(settings));
        link = dev->findChild<SerialLink *>();
        QVERIFY(link && !port()->isOpen()); // nothing is opened before the start
        dev->start();
        QCOMPARE(dev->baud(), 2400);
        QCOMPARE(port()->baudRate(), 2400);
        QCOMPARE(settings->getSettings(Settings::UpsBaudRate, true).toString(),
                 QStringLiteral("fast"));
        QCOMPARE(dev->commType(), int(DevComm::COM));
        QVERIFY(port()->isOpen());
        QVERIFY(sim->waitForFrame("BT\r"));
        // A pseudo-terminal has no rate: at 115200 baud a reply is read as soon as it is in.
        dev->setBaud(115200);
    }

    void firstCycle()
    {
        // Identity and ratings are asked in the first cycle.
        QVERIFY(pollUntil([this] { return !state().firmware.isEmpty(); }));
        QCOMPARE(state().ratedOutputVoltage.value_or(0), 230.0f);
        QCOMPARE(state().serialNumber, QStringLiteral("SIM000000000000000001"));
        // "None", the ports found, then the chosen one that is none of them; the order does not
        // follow the choice, so an entry picked in a list shown before still names its port.
        QCOMPARE(dev->comPort().first(), QStringLiteral("None"));
        QCOMPARE(dev->comPort().last(), path);
        QCOMPARE(dev->portName(0), QString());
        QCOMPARE(dev->portName(dev->comPortIndex()), path);
        QCOMPARE(dev->comPortIndex(), dev->comPort().size() - 1);
        // The next request at once after an answer, 1500 ms after one unanswered.
        QCOMPARE(pollByHand(1), 1);
        link->poll();
        QCOMPARE(link->pollInterval(), 1500);
        QTRY_VERIFY_WITH_TIMEOUT(pollByHand(1) == 1, 5000); // its late answer passed over
    }

    void upsAnsweringOnlyStatus()
    {
        QCOMPARE(pollByHand(1), 1); // the timer stopped and nothing in flight
        QVERIFY(sim->run({"battery 50", "answer Q1"}));
        sim->clearReceived();
        // BT, BP and A1 go unanswered, every Q1 (all but one request in eleven) is answered.
        const int answered = pollByHand(36);
        const QByteArrayList sent = sim->receivedFrames();
        QCOMPARE(sent.size(), 36);
        QCOMPARE(answered, sent.count("Q1\r"));
        QVERIFY(answered <= 33);
        QVERIFY(online());
        // The capacity estimated from the battery voltage agrees with the unit's own.
        QVERIFY(qAbs(state().batteryCharge.value_or(0) - 50.0f) < 1.0f);
        QVERIFY(state().chargeEstimated);
        QVERIFY(sim->run({"answer all", "battery 100"}));
        QCOMPARE(pollByHand(4), 4); // BT, BP, Q1 and A1 replies all accepted

        // Garbage on the line costs at most the replies it spoils; the polls go on.
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        QCOMPARE(sim->command(QStringLiteral("garbage 300")).left(2), QStringLiteral("ok"));
        pollByHand(8);
        QVERIFY(online());
        QCOMPARE(pollByHand(4), 4);
        QCOMPARE(lost.count(), 0);
    }

    // A unit that echoes each request in front of its reply stays online, and what it reads
    // follows the unit.
    void echoingLine()
    {
        QCOMPARE(pollByHand(1), 1);
        QVERIFY(sim->run({"echo on", "load 55"}));
        QCOMPARE(pollByHand(8), 8);
        QVERIFY(online());
        QCOMPARE(state().load.value_or(0), 55);
        QVERIFY(sim->run({"echo off", "load 35"}));
        QCOMPARE(pollByHand(4), 4);
        QCOMPARE(state().load.value_or(0), 35);

        // A unit that takes a moment before it answers: the link reads the reply when it could
        // first be whole, finds it is not, and takes the rest when it is in: every poll answered.
        QVERIFY(sim->run({"turnaround 40", "load 45"}));
        QCOMPARE(pollByHand(4), 4);
        QCOMPARE(state().load.value_or(0), 45);
        QVERIFY(sim->run({"turnaround 0"}));
    }

    // The requests reach the UPS through the driver (whose encodings are tested on their own)
    // and the UPS reports the change.
    void controlRequests()
    {
        using L = QList<QByteArray>;
        QCOMPARE(pollByHand(1), 1);
        sim->clearReceived();
        const bool beeper = state().beeper;
        // Two requests before the next poll: the later one goes out first.
        dev->toggleBeeper();
        dev->switchOutputOff(0);
        QVERIFY(pollUntil(&UpsState::shutdownActive, true));
        QVERIFY(pollUntil(&UpsState::beeper, !beeper));
        dev->cancelOutputOff();
        QVERIFY(pollUntil(&UpsState::shutdownActive, false));
        dev->setSelfTest(UpsLink::SelfTest10S, 0);
        QVERIFY(pollUntil(&UpsState::selfTest, true));
        dev->setSelfTest(UpsLink::SelfTestCustom, 30); // while one runs, only a cancel goes out
        dev->setSelfTest(UpsLink::SelfTestCancel, 0);
        QVERIFY(pollUntil(&UpsState::selfTest, false));
        dev->toggleBeeper();
        QVERIFY(pollUntil(&UpsState::beeper, beeper));
        QCOMPARE(sim->takeControlFrames(), (L {"S.2R9999\r", "Q\r", "C\r", "T\r", "CT\r", "Q\r"}));
    }

    // Silence loses the UPS at the ninth unanswered send; the polls go on and the first answer
    // brings it back.
    void silence()
    {
        QSignalSpy onlineSpy(dev.get(), &DevComm::onlineChanged);
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        QCOMPARE(pollByHand(1), 1); // nothing unanswered before the silence
        QVERIFY(sim->run({"silent on"}));
        // No event loop in between: nothing can be answered.
        for (int i = 0; i < 8; ++i)
            link->poll();
        QVERIFY(online());
        link->poll();
        QVERIFY(!online());
        QCOMPARE(state().link, UpsState::Link::Offline);
        QCOMPARE(dev->devData().value("devOnline"), QVariant(false));
        QVERIFY(!state().inputVoltage);
        QCOMPARE(onlineSpy.count(), 1);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(link->pollInterval(), 1500);
        QVERIFY(sim->run({"speak"}));
        QVERIFY(answers());

        dev->setBaud(9600);
        QCOMPARE(port()->baudRate(), 9600);
        QCOMPARE(root->settings()->getSettings(Settings::UpsBaudRate).toInt(), 9600);
        // A restore puts the rate back, and the line follows.
        root->settings()->restore();
        QCOMPARE(port()->baudRate(), 2400);
        QCOMPARE(dev->baud(), 2400);
        dev->setBaud(115200);
    }

    // A UPS that answers every query but the status query is lost as a silent one is: no status
    // reply for as long as silence takes (12.1 s) loses it, and its other answers neither put
    // that off nor bring it back. Meanwhile nothing it says is taken for the state: a mains
    // failure is not hidden behind "on mains" any longer than that. A status reply with a
    // field that is no number is no status reply.
    void statusQueryUnanswered()
    {
        auto *status = link->findChild<QTimer *>(QStringLiteral("statusTimer"));
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        // The identity read again since the silence, and a cycle ended.
        const bool cycled = pollUntil([this] {
            return !state().firmware.isEmpty() && sim->receivedFrames().last() == "A1\r";
        });
        QVERIFY(cycled);
        QVERIFY(status->isActive() && status->interval() <= 100 + 8 * 1500);
        const int left = status->remainingTime();
        QVERIFY(sim->run({"answer BT BP A1", "mains fail"}));
        // Real time must go by for the silence timer to show it runs on, not restarted.
        QTest::qWait(100);
        // Eight status queries in a row go unanswered (the ninth unanswered send would lose it).
        const int sentBefore = sim->receivedFrames().size();
        QCOMPARE(pollByHand(8), 0);
        QCOMPARE(sim->receivedFrames().mid(sentBefore).count("Q1\r"), 8);
        QVERIFY(online() && !state().onBattery);
        QVERIFY(status->isActive() && status->remainingTime() <= left - 100);

        status->start(1); // as if the 12.1 s were over
        QTRY_VERIFY_WITH_TIMEOUT(!online(), 1000);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(dev->devData().value("devOnline"), QVariant(false));
        QVERIFY(!state().inputVoltage && !state().onBattery);
        QVERIFY(pollByHand(10) >= 3); // identity and ratings are asked again, unanswered
        QVERIFY(!online());
        QCOMPARE(lost.count(), 1);

        QVERIFY(sim->run({"answer all"}));
        QVERIFY(answers());
        QVERIFY(state().onBattery);
        QVERIFY(status->isActive());

        // Status replies that are refused count as none.
        QVERIFY(sim->run({"mains return"}));
        QVERIFY(pollUntil(&UpsState::onBattery, false));
        const float input = state().inputVoltage.value_or(-1);
        QVERIFY(sim->run({"corrupt Q1 1 2X0.0", "input 215"}));
        pollByHand(8);
        QCOMPARE(state().inputVoltage.value_or(-1), input);
        status->start(1);
        QTRY_VERIFY_WITH_TIMEOUT(!online(), 1000);
        QVERIFY(sim->run({"corrupt off"}));
        QVERIFY(answers());
        QCOMPARE(state().inputVoltage.value_or(-1), 215.0f);
        QCOMPARE(lost.count(), 2);
        QVERIFY(sim->run({"input 230"}));
    }

    void portNamedByPathVanishes()
    {
        dev->scanPorts();
        QVERIFY(port()->isOpen());
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        QVERIFY(QFile::remove(path));
        QSignalSpy listSpy(dev.get(), &DevComm::comPortChanged);
        dev->scanPorts();
        QVERIFY(!port()->isOpen());
        QVERIFY(!online());
        QCOMPARE(lost.count(), 1);
        QCOMPARE(listSpy.count(), 0); // the list of ports did not change
        dev->scanPorts();
        QVERIFY(!port()->isOpen());

        // Back at the same name: opened again, and the UPS comes back.
        QVERIFY(QFile::link(sim->portPath(), path));
        dev->scanPorts();
        QVERIFY(port()->isOpen());
        QVERIFY(answers());
        QCOMPARE(dev->commType(), int(DevComm::COM));
    }

    void errorsOnTheOpenPort()
    {
        // A burst of errors closes the port once, and it is opened again while it is there.
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        for (int i = 0; i < 50; ++i)
            emit port()->errorOccurred(QSerialPort::ReadError);
        QTRY_VERIFY_WITH_TIMEOUT(!port()->isOpen(), 1000);
        QCoreApplication::processEvents();
        QCOMPARE(lost.count(), 1);
        QVERIFY(!online());
        for (int i = 0; i < 10 && !port()->isOpen(); ++i)
            dev->scanPorts();
        QVERIFY(port()->isOpen());
        QVERIFY(answers());

        // A failure of the port as it was is not held against the port opened after it.
        emit port()->errorOccurred(QSerialPort::ResourceError);
        QVERIFY(dev->openDevice(DevComm::COM, path));
        QCoreApplication::sendPostedEvents(link, QEvent::MetaCall);
        QVERIFY(port()->isOpen());
        QVERIFY(answers());

        // A port that fails again before the UPS answered is left alone twice as long. The
        // failures are handled without a turn of the event loop, so no answer comes in between.
        auto failAndCountScans = [this] {
            emit port()->errorOccurred(QSerialPort::WriteError);
            QCoreApplication::sendPostedEvents(link, QEvent::MetaCall);
            int scans = 0;
            while (!port()->isOpen() && scans < 50) {
                dev->scanPorts();
                ++scans;
            }
            return scans;
        };
        QCOMPARE(failAndCountScans(), 5);
        QCOMPARE(failAndCountScans(), 9);
        QCOMPARE(failAndCountScans(), 17);
        QVERIFY(answers());
        QCOMPARE(failAndCountScans(), 5);
        QVERIFY(answers());
    }

    void simulatorGoesAndComesBack()
    {
        QSignalSpy lost(dev.get(), &DevComm::linkLost);
        // The far end closes: the port fails on its own, without a scan, and does not spin.
        sim.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!port()->isOpen(), 5000);
        QVERIFY(!online());
        QVERIFY(link->pollInterval() < 0);
        dev->scanPorts();
        QVERIFY(!port()->isOpen());

        startSimulator();
        for (int i = 0; i < 6 && !port()->isOpen(); ++i)
            dev->scanPorts();
        QVERIFY(port()->isOpen());
        QVERIFY(answers());
        QCOMPARE(lost.count(), 1);
    }

    // The port another program holds (the service, say): not opened and told, tried again
    // at the pace of a port that refuses to open, taken once it is free.
    void portHeldByAnotherProgram()
    {
        bool busy = false;
        QVERIFY(dev->openDevice(DevComm::COM, QString())); // this program lets go
        const int other = platform::claimDevice(path.toStdWString(), &busy);
        QVERIFY(other >= 0 && !busy);
        QSignalSpy busySpy(dev.get(), &DevComm::linkBusyChanged);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("in use by another program"));
        QVERIFY(!dev->openDevice(DevComm::COM, path));
        QVERIFY(dev->linkBusy());
        QCOMPARE(busySpy.count(), 1);
        for (int i = 0; i < 30; ++i)
            dev->scanPorts();
        QVERIFY(!port()->isOpen());
        QCOMPARE(busySpy.count(), 1);

        platform::releaseDevice(other);
        for (int i = 0; i < 25 && !port()->isOpen(); ++i)
            dev->scanPorts();
        QVERIFY(port()->isOpen());
        QVERIFY(!dev->linkBusy());
        QCOMPARE(busySpy.count(), 2);
        QVERIFY(answers());
    }

    void openingNothingAndAnAbsentPort()
    {
        Settings *settings = root->settings();
        // "None" chosen: written, the line closed, and no entry for the port left.
        QSignalSpy listed(dev.get(), &DevComm::comPortChanged);
        QVERIFY(dev->openDevice(DevComm::COM, dev->portName(0)));
        QCOMPARE(dev->commType(), int(DevComm::COM));
        QCOMPARE(settings->getSettings(Settings::UpsCommType).toInt(), 1);
        QCOMPARE(settings->getSettings(Settings::UpsComPort).toString(), QString());
        QVERIFY(!port()->isOpen());
        QCOMPARE(listed.count(), 1);
        QVERIFY(!dev->comPort().contains(path));
        QCOMPARE(dev->comPortIndex(), 0);

        // A port that is not there: false, the choice is kept, and it opens once it appears.
        const QString later = root->file(QStringLiteral("/later"));
        QVERIFY(!dev->openDevice(DevComm::COM, later));
        QCOMPARE(dev->commType(), int(DevComm::COM));
        QCOMPARE(settings->getSettings(Settings::UpsComPort).toString(), later);
        QCOMPARE(dev->comPort().last(), later);
        QCOMPARE(dev->portName(dev->comPortIndex()), later);
        dev->scanPorts();
        QVERIFY(!port()->isOpen());
        QVERIFY(QFile::link(sim->portPath(), later));
        dev->scanPorts();
        QVERIFY(port()->isOpen());
        QVERIFY(answers());
    }

    // A port closes while a reply is under way on a slow line, by a stop or with the link: the
    // rest of the reply (12 bytes, 2.4 s at 50 baud) is not waited out on this thread.
    void closingDuringASlowReply()
    {
        UpsSimProcess slow({QStringLiteral("--baud"), QStringLiteral("50")});
        QVERIFY(slow.isReady());
        for (const bool destroyed : {false, true}) {
            auto slowLink = std::make_unique<SerialLink>();
            slowLink->setPortName(slow.portPath());
            slowLink->setBaudRate(50);
            slow.clearReceived();
            QVERIFY(slowLink->start());
            QVERIFY(slow.waitForFrame("BT\r"));
            QElapsedTimer closing;
            closing.start();
            if (destroyed) {
                slowLink.reset();
            } else {
                slowLink->stop();
                QVERIFY(!slowLink->isOpen());
            }
            QVERIFY2(closing.elapsed() < 1000, qPrintable(QString::number(closing.elapsed())));
        }
    }

    // The simulator on its own, each case with one of its own.
    void simulatorRepliesAndState();
    void simulatorControlRequests();
    void simulatorLineBehaviours();
    void simulatorPacingAndChannels();
    void simulatorScenarios();
};

// That the driver accepts every reply shows in the serial link suite; here what only the bytes
// show: fixed widths and columns, the fault words, the battery voltage scale.
void TestSerialLink::simulatorRepliesAndState()
{
    UpsSimProcess sim;
    QVERIFY(sim.isReady());
    Line line(sim.portPath());
    QVERIFY(line.isOpen());

    // Fixed widths, zero-padded, as the driver's length check expects.
    const QRegularExpression q1Layout(QStringLiteral(
        R"(^\(\d{3}\.\d \d{3}\.\d \d{3}\.\d \d{3} \d\d\.\d (\d\.\d\d|\d\d\.\d) \d\d\.\d [01]{8}\r$)"));
    QByteArray q1 = line.ask("Q1\r");
    QVERIFY2(q1Layout.match(QString::fromLatin1(q1)).hasMatch(), q1.constData());
    const QByteArray bt = line.ask("BT\r");
    QVERIFY2(QRegularExpression(QStringLiteral(R"(^#\d{4} \d{5}\r$)"))
                 .match(QString::fromLatin1(bt))
                 .hasMatch(),
             bt.constData());
    QCOMPARE(fields(bt)[0].toInt(), fields(bt)[1].toInt() / 60); // minutes, then seconds
    QCOMPARE(statusByte(q1), quint8(0x90)); // a healthy standby unit on mains, beeper enabled
    // The battery voltage of a full battery is what the rating makes 100 %: 27.2 V per 24 V.
    const QByteArray rating = line.ask("F\r");
    QCOMPARE(rating, QByteArray("#230.0 004 024.0 50.0\r"));
    QCOMPARE(fields(q1)[5].toDouble(), 27.2 * fields(rating)[2].toDouble() / 24.0);

    QVERIFY(sim.run({"identity company Example Power Co", "identity model LX-3000 tower unit",
                     "identity version 02.14", "identity serial 1234567890ABCDEFGHIJKLMNOP"}));
    QCOMPARE(line.ask("I\r"), QByteArray("#Example Power C LX-3000 to 02.14     \r"));
    QCOMPARE(line.ask("NQU\r"),
             QByteArray("#1234567890ABCDEFGHIJK LX-3000 tower unit   Example Po\r"));
    QVERIFY(sim.run({"faultkind 2", "faultword 0 8a0", "faultbit 12 15 on"}));
    QCOMPARE(line.ask("A1\r"),
             QByteArray("#02 08A0 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 8000\r"));
    QVERIFY(sim.run({"faults clear"}));
    QCOMPARE(fields(line.ask("A1\r"))[13], QByteArray("0000"));
    // What a unit cannot handle comes back unchanged.
    QCOMPARE(line.ask("Q2\r"), QByteArray("Q2\r"));
    QVERIFY(sim.waitForFrame("Q2\r", 1000));

    // The scenario state as the line shows it.
    QVERIFY(sim.run({"mains fail"}));
    q1 = line.ask("Q1\r");
    QCOMPARE(statusByte(q1) & 0x01, 0x01);
    QCOMPARE(fields(q1)[0], QByteArray("000.0"));
    QCOMPARE(fields(q1)[2], QByteArray("230.0")); // the inverter carries the load
    // Battery level, its voltage and BP agree with each other and with the rating.
    QVERIFY(sim.run({"mains return", "battery 50"}));
    QCOMPARE(line.ask("BP\r"), QByteArray("#0500\r"));
    QCOMPARE(fields(line.ask("Q1\r"))[5], QByteArray("23.6"));
    QVERIFY(sim.run({"standby off"}));
    q1 = line.ask("Q1\r");
    QCOMPARE(fields(q1)[5], QByteArray("1.97")); // per cell on an on-line unit
    QCOMPARE(statusByte(q1) & 0x10, 0);
    QVERIFY(sim.run({"lowbatt on", "bypass on", "fault on", "beeper off", "load 104"}));
    q1 = line.ask("Q1\r");
    QCOMPARE(statusByte(q1), quint8(0x0e));
    QCOMPARE(fields(q1)[3], QByteArray("104"));
    // Low battery follows the capacity while on battery.
    QVERIFY(sim.run({"lowbatt auto", "bypass off", "fault off", "battery 15"}));
    QCOMPARE(statusByte(line.ask("Q1\r")), quint8(0x00));
    QVERIFY(sim.run({"mains fail"}));
    QCOMPARE(statusByte(line.ask("Q1\r")) & 0x03, 0x03);
    QVERIFY(sim.waitForEvent("STATE battery-low on", 1000));

    for (const char *bad : {"battery 101", "faultword 13 1", "answer Q7", "frobnicate"})
        QVERIFY2(sim.command(bad).startsWith("error"), bad);
    QVERIFY(sim.command("state").contains("mains=0"));
    QCOMPARE(sim.command("request BP"), QString("ok \"#0150\\r\""));
}

void TestSerialLink::simulatorControlRequests()
{
    UpsSimProcess sim;
    QVERIFY(sim.isReady());
    Line line(sim.portPath());
    auto bits = [&line] {
        return statusByte(line.ask("Q1\r"));
    };

    // Control requests get no reply.
    line.send("T\r");
    QCOMPARE(line.read(150), QByteArray());
    QCOMPARE(bits() & 0x20, 0x20);
    line.send("T\r"); // a second test while one runs is refused
    line.send("CT\r");
    QCOMPARE(bits() & 0x20, 0);
    QVERIFY(sim.waitForEvent("NOTE ignored T (self-test already running)", 1000));

    // A test until low ends by itself at the low level.
    QVERIFY(sim.run({"runtime 0.03", "battery 24"})); // a tiny battery: seconds, not minutes
    line.send("TL\r");
    QCOMPARE(bits() & 0x20, 0x20);
    QVERIFY(sim.waitForEvent("STATE selftest end (battery low)", 3000));
    QCOMPARE(bits() & 0x20, 0);
    QVERIFY(sim.run({"runtime 12", "battery 100", "speed 2000"}));

    // On battery without a restart time: off after the delay, on again when the mains returns.
    // No test on battery.
    QVERIFY(sim.run({"mains fail"}));
    line.send("T\r");
    line.send("S01\r");
    QCOMPARE(bits() & 0x60, 0x40);
    QTRY_COMPARE_WITH_TIMEOUT(fields(line.ask("Q1\r"))[2], QByteArray("000.0"), 3000);
    QVERIFY(sim.run({"mains return"}));
    QTRY_COMPARE_WITH_TIMEOUT(bits() & 0x40, 0, 2000);

    // Out-of-range requests are not control requests: echoed back.
    QCOMPARE(line.ask("S11\r"), QByteArray("S11\r"));
}

void TestSerialLink::simulatorLineBehaviours()
{
    UpsSimProcess sim;
    QVERIFY(sim.isReady());
    Line line(sim.portPath());

    QVERIFY(sim.run({"garbage 20"}));
    const QByteArray garbage = line.read(2000, 20);
    QCOMPARE(garbage.size(), 20);
    QVERIFY(!garbage.contains('\r'));
    QVERIFY(sim.run({"inject (\\x01\\r"}));
    QCOMPARE(line.read(2000), QByteArray("(\x01\r"));

    // A field of a reply replaced, for a number of replies or until called off; the rest of
    // the line as it was.
    QVERIFY(sim.run({"corrupt Q1 6 2?.2 2"}));
    for (int i = 0; i < 2; ++i) {
        const QByteArray q1 = line.ask("Q1\r");
        QCOMPARE(q1.size(), 47);
        QCOMPARE(fields(q1)[5], QByteArray("2?.2"));
        QCOMPARE(fields(q1)[4], QByteArray("50.0"));
    }
    QCOMPARE(fields(line.ask("Q1\r"))[5], QByteArray("27.2"));
    QVERIFY(sim.run({"corrupt BP 1 \"\"", "corrupt A1 14 \\x00x\\x01y"}));
    QVERIFY(sim.command("state").contains("corrupt=A1:14,BP:1"));
    QCOMPARE(line.ask("BP\r"), QByteArray("#\r"));
    QVERIFY(line.ask("A1\r").endsWith(QByteArray(" \0x\x01y\r", 6)));
    QVERIFY(sim.run({"corrupt BP off"}));
    QCOMPARE(line.ask("BP\r"), QByteArray("#1000\r"));
    QVERIFY(sim.run({"corrupt off"}));
    QCOMPARE(line.ask("A1\r").right(6), QByteArray(" 0000\r"));
    for (const char *bad : {"corrupt Q9 1 x", "corrupt Q1 0 x", "corrupt Q1 1", "corrupt Q1 1 x 0"})
        QVERIFY2(sim.command(bad).startsWith("error"), bad);

    // Five chunks of ten bytes, 40 ms apart.
    QVERIFY(sim.run({"chunk 10 40"}));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(line.ask("Q1\r").size(), 47);
    QVERIFY(clock.elapsed() >= 4 * 40 - 10);
    QVERIFY(sim.run({"chunk off", "echo on"}));
    line.send("BP\r");
    QCOMPARE(line.read(2000, 9), QByteArray("BP\r#1000\r"));
}

void TestSerialLink::simulatorPacingAndChannels()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("ups");
    const QString control = dir.filePath("ups.ctl");
    {
        UpsSimProcess sim(
            {"--baud", "2400", "--link", link, "--control", control, "--command", "load 50"});
        QVERIFY(sim.isReady());
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.portPath());

        // 47 bytes of 10 bits at 2400 baud take at least 196 ms on the line.
        Line line(link);
        QElapsedTimer clock;
        clock.start();
        const QByteArray q1 = line.ask("Q1\r", 2000);
        QCOMPARE(q1.size(), 47);
        QVERIFY2(clock.elapsed() >= 180, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(fields(q1)[3], QByteArray("050"));

        // Two control clients, each answered on its own connection.
        QLocalSocket first, second;
        first.connectToServer(control);
        second.connectToServer(control);
        QVERIFY(first.waitForConnected(1000) && second.waitForConnected(1000));
        first.write("mains fail\n");
        second.write("state\n");
        QTRY_VERIFY_WITH_TIMEOUT(first.canReadLine() && second.canReadLine(), 2000);
        QCOMPARE(first.readLine(), QByteArray("ok\n"));
        QVERIFY(second.readLine().startsWith("ok mains="));
        QCOMPARE(statusByte(line.ask("Q1\r", 2000)) & 0x01, 0x01);
    }
    // Gone with the simulator.
    QVERIFY(!QFileInfo(link).isSymLink());

    // A given serial device instead of a pseudo-terminal of its own: here the terminal end of
    // one made by the test, which talks on the other end.
    Line master(posix_openpt(O_RDWR | O_NOCTTY));
    QVERIFY(master.isOpen());
    QVERIFY(grantpt(master.fd()) == 0 && unlockpt(master.fd()) == 0);
    const QString device = QString::fromLocal8Bit(ptsname(master.fd()));
    {
        UpsSimProcess sim({"--instant", "--device", device});
        QVERIFY(sim.isReady());
        QCOMPARE(sim.portPath(), device);
        QCOMPARE(master.ask("BP\r"), QByteArray("#1000\r"));
    }

    QCOMPARE(exitCode({"--help"}), 0);
    QCOMPARE(exitCode({"--baud", "fast"}), 2);
    QCOMPARE(exitCode({"--scenario", dir.filePath("none.txt")}), 1);
}

void TestSerialLink::simulatorScenarios()
{
    // The demo's four minutes at two thousand times the pace: every kind of trouble, then again.
    {
        UpsSimProcess sim({"--instant", "--scenario", "demo", "--speed", "2000"});
        QVERIFY(sim.isReady());
        for (const char *event :
             {"STATE mains fail", "STATE mains return", "STATE selftest on", "STATE selftest off",
              "STATE faultword 8 0010", "STATE ups-fault on", "STATE ups-fault off",
              "STATE bypass on", "STATE beeper off", "STATE battery-low on",
              "STATE battery-low off"})
            QVERIFY2(sim.waitForEvent(event, 5000), event);
        QTRY_VERIFY_WITH_TIMEOUT(sim.eventLines().filter("SCENARIO mains fail -> ok").size() >= 3,
                                 5000);
        QVERIFY(sim.eventLines().filter("-> error").isEmpty());
    }

    // A script file: commands, pauses, a mistake that is reported and passed over.
    QTemporaryDir dir;
    const QString script = dir.filePath("trouble.txt");
    QVERIFY(TestRoot::writeFile(
        script, "# a short script\nload 77\nsleep 0.05\nfrobnicate\nmains fail   # and then\n"));
    UpsSimProcess sim({"--instant", "--scenario", script});
    QVERIFY(sim.isReady());
    QVERIFY(sim.waitForEvent("SCENARIO end", 2000));
    const QStringList lines = sim.eventLines().filter("SCENARIO");
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[1].startsWith("SCENARIO frobnicate -> error"));
    const QString state = sim.command("state");
    QVERIFY(state.contains("mains=0") && state.contains("load=77"));
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
