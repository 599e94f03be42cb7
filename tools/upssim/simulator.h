#pragma once

#include <QObject>
#include <QScopedPointer>
#include <QString>

class SimulatorOptions;
class SimulatorPrivate;

// The whole simulator: the line, the UPS model behind it, the pacing of what it sends, and the
// command channels (standard input, control socket, scenario).
class Simulator : public QObject
{
    Q_OBJECT
public:
    explicit Simulator(QObject *parent = nullptr);
    ~Simulator() override; // removes the link and the socket file

    // Opens the line and the channels and announces the line; false with the reason otherwise.
    bool start(const SimulatorOptions &options, QString *error);

signals:
    void finished();

private slots:
    void onFrame(const QByteArray &frame);

private:
    QScopedPointer<SimulatorPrivate> d;
};
