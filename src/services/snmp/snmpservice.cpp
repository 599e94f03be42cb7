#include "snmpservice.h"

#include "logcategories.h"
#include "paths.h"
#include "settings.h"
#include "snmpagent.h"
#include "upsdirectory.h"

SnmpService::SnmpService(Settings *settings, UpsDirectory *directory, QObject *parent)
    : QObject(parent), m_settings(settings), m_directory(directory)
{
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (key.startsWith(QLatin1String("snmp/")))
            apply();
    });
    connect(directory, &UpsDirectory::entryChanged, this, &SnmpService::publish);
    connect(directory, &UpsDirectory::entryRemoved, this, &SnmpService::publish);
}

SnmpService::~SnmpService() = default;

void SnmpService::start()
{
    m_started = true;
    apply();
}

bool SnmpService::connected() const
{
    return m_agent && m_serving && m_agent->connected();
}

void SnmpService::apply()
{
    if (!m_started)
        return;
    const bool enabled = m_settings->flag(Settings::SnmpEnable);
    const QString socket = m_settings->text(Settings::SnmpAgentxSocket).trimmed();
    if (m_agent) {
        if (socket != m_socket) {
            if (socket.isEmpty()) {
                qCWarning(lcNetwork).noquote()
                    << "snmp/agentxSocket is empty; the subagent stays with" << m_socket;
            } else {
                m_socket = socket;
                m_agent->setSocket(socket);
            }
        }
        if (enabled != m_serving) {
            m_serving = enabled;
            m_agent->setServing(enabled);
            qCInfo(lcNetwork).noquote() << (enabled ? "SNMP: the UPS MIB is served again"
                                                    : "SNMP: the UPS MIB is withdrawn");
            publish();
        }
        return;
    }
    if (!enabled)
        return;
    if (socket.isEmpty()) {
        qCWarning(lcNetwork).noquote() << "snmp/agentxSocket is empty; the UPS MIB is not served";
        return;
    }
    m_socket = socket;
    m_serving = true;
    m_agent = std::make_unique<SnmpAgent>(socket, Paths::file(QStringLiteral("/data/snmp")));
    publish();
}

void SnmpService::publish()
{
    if (m_agent && m_serving)
        m_agent->setEntries(m_directory->entries());
}
