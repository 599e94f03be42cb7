#pragma once

#include <QObject>
#include <QTimer>

struct UpsState;

// A switch-off of the UPS output that was asked for and has not happened yet: when it is due,
// counted down once a second, so the screens can say "Output off in 00:54" while the load still
// has power. It ends when the output is off, when the UPS drops the request (a cancel from its
// panel, or from us), or when its time is over (what the UPS does then is measured, not guessed).
class OutputOffWatch : public QObject
{
    Q_OBJECT
public:
    explicit OutputOffWatch(QObject *parent = nullptr);

    // The UPS was asked to switch its output off in `seconds`; a new request replaces the old one
    // as the UPS's own timer does.
    void asked(int seconds);
    void cancelled();
    void updateState(const UpsState &state);

    bool pending() const { return m_due > 0; }
    // Seconds until the output goes off; -1 when none is pending.
    int secondsLeft() const;

public slots:
    // Once a second while pending (the timer, and tests that drive the clock).
    void tick();

signals:
    // Begun, ended, or one second less.
    void changed();

private:
    void end();

    QTimer m_timer;
    qint64 m_due = 0; // milliseconds since the epoch; 0: nothing pending
    bool m_seenActive = false; // the UPS said it holds the request
};
