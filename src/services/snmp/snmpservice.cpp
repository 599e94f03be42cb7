#include "snmpservice.h"

#include "logcategories.h"
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
    return m_agent && m_agent->connected();
}

void SnmpService::apply()
{
    if (!m_started)
        return;
    const bool enabled = m_settings->getSettings(Settings::SnmpEnable).toBool();
    const QString socket = m_settings->getSettings(Settings::SnmpAgentxSocket).toString().trimmed();
    if (m_agent && enabled && socket == m_socket)
        return;
    if (m_agent) {
        m_agent.reset();
        qCInfo(lcNetwork).noquote() << "SNMP: the subagent stopped";
    }
    if (!enabled)
        return;
    if (socket.isEmpty()) {
        qCWarning(lcNetwork).noquote()
            << "snmp/agentxSocket is empty; the UPS MIB is not served";
        return;
    }
    m_socket = socket;
    m_agent = std::make_unique<SnmpAgent>(socket);
    publish();
}

void SnmpService::publish()
{
    if (m_agent)
        m_agent->setEntries(m_directory->entries());
}
