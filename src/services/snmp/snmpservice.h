#pragma once

#include <QObject>

#include <memory>

class Settings;
class SnmpAgent;
class UpsDirectory;

// The UPS MIB over SNMP as the program sees it: the "snmp/..." settings (followed as they are
// written) and the agent, made with its thread when first switched on; switched off, it
// withdraws the MIB. The agent is handed a copy of the directory's entries at every change;
// nothing here waits for it.
class SnmpService : public QObject
{
    Q_OBJECT
public:
    SnmpService(Settings *settings, UpsDirectory *directory, QObject *parent = nullptr);
    ~SnmpService() override;

    // Reads the settings and starts the agent when it is switched on.
    void start();
    // Whether the master agent has the subagent's session now (tests, the status).
    bool connected() const;
    // The MIB is offered (switched on); the session may still be coming.
    bool serving() const { return m_serving; }

private:
    void apply();
    void publish();

    Settings *m_settings;
    UpsDirectory *m_directory;
    std::unique_ptr<SnmpAgent> m_agent;
    QString m_socket;
    bool m_serving = false;
    bool m_started = false;
};
