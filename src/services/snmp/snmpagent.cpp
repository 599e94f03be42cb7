#include "snmpagent.h"

#include "clock.h"
#include "logcategories.h"
#include "snmpupstree.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <map>
#include <vector>

#include "snmplibrary.h"

namespace {

// One UPS's MIB in one context: the tree it is served from. Its registration belongs to the
// library, which may free it on its own (a master that comes back refusing a context's roots),
// so it is withdrawn by root and context name, never through a pointer kept here.
struct Context
{
    QString name; // empty: the default context
    QByteArray contextName; // as registered
    UpsEntry entry;
    SnmpUpsTree tree;
    bool registered = false;
    // The agent's "master has our session" flag: a request from the master proves it.
    std::atomic<bool> *connected = nullptr;
};

const SnmpLibrary *lib = nullptr;
// The agent running now (the library is one per process), for the library's callbacks: their
// own argument is freed by the library at its shutdown, so it carries nothing.
SnmpAgent::Private *running = nullptr;

std::vector<oid> toOid(const SnmpUpsTree::Oid &in)
{
    return std::vector<oid>(in.begin(), in.end());
}

void setValue(netsnmp_variable_list *var, const SnmpUpsTree::Value &v)
{
    switch (v.type) {
    case SnmpUpsTree::Type::Integer: {
        const long n = long(v.number);
        lib->setVarTypedValue(var, ASN_INTEGER, &n, sizeof n);
        break;
    }
    case SnmpUpsTree::Type::Gauge:
    case SnmpUpsTree::Type::Counter:
    case SnmpUpsTree::Type::TimeTicks: {
        const u_long n = u_long(quint32(v.number));
        const u_char type = v.type == SnmpUpsTree::Type::Gauge ? ASN_GAUGE
            : v.type == SnmpUpsTree::Type::Counter             ? ASN_COUNTER
                                                               : ASN_TIMETICKS;
        lib->setVarTypedValue(var, type, &n, sizeof n);
        break;
    }
    case SnmpUpsTree::Type::Text:
        lib->setVarTypedValue(var, ASN_OCTET_STR, v.text.constData(), size_t(v.text.size()));
        break;
    case SnmpUpsTree::Type::ObjectId: {
        const std::vector<oid> o = toOid(v.objectId);
        lib->setVarTypedValue(var, ASN_OBJECT_ID, o.data(), o.size() * sizeof(oid));
        break;
    }
    }
}

// The library's call for the requests of one context's subtree: gets and get-nexts (it turns a
// get-bulk into get-nexts; a set is refused before it comes here, the MIB being read-only here).
int handle(netsnmp_mib_handler *handler, netsnmp_handler_registration *,
           netsnmp_agent_request_info *info, netsnmp_request_info *requests)
{
    const auto *context = static_cast<const Context *>(handler->myvoid);
    // After a ping the master was slow to answer, the library may re-register on the session
    // it has without telling that it is back.
    *context->connected = true;
    for (netsnmp_request_info *r = requests; r; r = r->next) {
        if (r->processed)
            continue;
        netsnmp_variable_list *var = r->requestvb;
        const SnmpUpsTree::Oid asked(var->name, var->name + var->name_length);
        if (info->mode == MODE_GET) {
            if (const SnmpUpsTree::Value *v = context->tree.find(asked))
                setValue(var, *v);
            else
                lib->setRequestError(info, r, SNMP_NOSUCHINSTANCE);
        } else if (info->mode == MODE_GETNEXT) {
            // Past the last instance the request is left as it came: the library goes on to
            // whatever is registered after this subtree.
            if (const SnmpUpsTree::Value *v = context->tree.next(asked)) {
                const std::vector<oid> o = toOid(v->oid);
                lib->setVarObjid(var, o.data(), o.size());
                setValue(var, *v);
            }
        } else {
            lib->setRequestError(info, r, SNMP_ERR_NOTWRITABLE);
        }
    }
    return SNMP_ERR_NOERROR;
}

} // namespace

struct SnmpAgent::Private
{
    SnmpAgent *agent;
    QString socket; // the master's, as set in the library
    std::map<QString, std::unique_ptr<Context>> contexts;
    QByteArray lastLog;
    bool moving = false; // leaving one master for another: no warning that it went

    static int logged(int, int, void *server, void *)
    {
        Private *d = running;
        if (!d)
            return 0;
        const auto *m = static_cast<const snmp_log_message *>(server);
        const QByteArray text = QByteArray(m->msg).trimmed();
        // The library says the same again at every ping of a master that is away; and it looks
        // for MIB files, which a subagent serving by numbers does without.
        if (text.isEmpty() || text == d->lastLog || text.startsWith("Cannot find module") ||
            text.startsWith("MIB search path"))
            return 0;
        d->lastLog = text;
        // A new context's first registration makes the library register the context's roots
        // with the master too, which has them already and says so (duplicate registration);
        // the MIB's own registration goes through.
        // A move to another master goes through the library's handling of one that went.
        if (text == "registering pdu failed: 263!" || d->moving)
            qCDebug(lcNetwork).noquote() << "SNMP agent library:" << text;
        else if (m->priority <= LOG_WARNING)
            qCWarning(lcNetwork).noquote() << "SNMP agent library:" << text;
        else if (m->priority <= LOG_INFO)
            qCInfo(lcNetwork).noquote() << "SNMP agent library:" << text;
        return 0;
    }
    static int sessionStarted(int, int, void *, void *)
    {
        Private *d = running;
        if (!d)
            return 0;
        d->agent->m_connected = true;
        d->lastLog.clear();
        qCInfo(lcNetwork).noquote()
            << "SNMP: serving the UPS MIB through the master agent at" << d->socket;
        return 0;
    }
    static int sessionStopped(int, int, void *, void *)
    {
        Private *d = running;
        if (!d)
            return 0;
        d->lastLog.clear(); // its coming back is told again
        if (d->agent->m_connected.exchange(false) && !d->moving)
            qCWarning(lcNetwork).noquote()
                << "SNMP: the master agent went; connecting again when it is back";
        return 0;
    }

    // Leaves the master for the one at `to`, the way the library leaves a master that went; its
    // next attempt to connect again (within the ping interval) takes the new socket.
    void moveTo(const QString &to)
    {
        qCInfo(lcNetwork).noquote()
            << "SNMP: moving the subagent from the master agent at" << socket << "to" << to;
        socket = to;
        lib->dsSetString(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_X_SOCKET,
                         to.toLocal8Bit().constData());
        netsnmp_session *old = *lib->mainSession;
        if (!old)
            return; // away: the library's next attempt takes the new socket
        moving = true;
        old->callback(NETSNMP_CALLBACK_OP_DISCONNECT, old, 0, nullptr, old->callback_magic);
        moving = false;
        lib->snmpClose(old);
    }

    void send(const Context &c, const QVector<SnmpUpsTree::Notification> &notifications)
    {
        static const oid trapOid[] = {1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
        static const oid nameOid[] = {1, 3, 6, 1, 2, 1, 33, 1, 1, 5, 0};
        for (const SnmpUpsTree::Notification &n : notifications) {
            if (!agent->m_connected)
                return;
            netsnmp_variable_list *vars = nullptr;
            const std::vector<oid> t = toOid(n.trap);
            lib->varlistAddVariable(&vars, trapOid, OID_LENGTH(trapOid), ASN_OBJECT_ID, t.data(),
                                    t.size() * sizeof(oid));
            for (const SnmpUpsTree::Value &v : n.objects) {
                const std::vector<oid> o = toOid(v.oid);
                netsnmp_variable_list *var =
                    lib->varlistAddVariable(&vars, o.data(), o.size(), ASN_NULL, nullptr, 0);
                if (var)
                    setValue(var, v);
            }
            // Which UPS it is about, for a receiver of several.
            const QByteArray name = c.entry.name.toUtf8().left(63);
            lib->varlistAddVariable(&vars, nameOid, OID_LENGTH(nameOid), ASN_OCTET_STR,
                                    name.constData(), size_t(name.size()));
            const QByteArray context = c.name.toUtf8();
            lib->sendTraps(-1, -1, nullptr, 0, vars,
                           c.name.isEmpty() ? nullptr : context.constData(), 0);
            lib->freeVarbind(vars);
        }
    }

    void apply(const QVector<UpsEntry> &entries)
    {
        const quint32 uptime = quint32(lib->agentUptime());
        const qint64 now = Clock::secsSinceEpoch();
        QSet<QString> present;
        for (const UpsEntry &e : entries) {
            // This computer's UPS (no rows of a watched one) is the default context's.
            const QString name = e.recordUps.isEmpty() ? QString() : e.name;
            if (present.contains(name))
                continue;
            present.insert(name);
            std::unique_ptr<Context> &c = contexts[name];
            if (!c) {
                c = std::make_unique<Context>();
                c->name = name;
                c->connected = &agent->m_connected;
                c->entry = e;
                const QVector<SnmpUpsTree::Notification> first = c->tree.update(e, uptime, now);
                if (!add(*c)) {
                    contexts.erase(name);
                    continue;
                }
                send(*c, first);
            } else if (c->entry != e) {
                c->entry = e;
                send(*c, c->tree.update(e, uptime, now));
            }
        }
        for (auto it = contexts.begin(); it != contexts.end();) {
            if (present.contains(it->first)) {
                ++it;
                continue;
            }
            withdraw(*it->second);
            it = contexts.erase(it);
        }
    }

    void withdraw(Context &c)
    {
        if (!c.registered)
            return;
        std::vector<oid> root = toOid(SnmpUpsTree::upsMib());
        lib->unregisterMibContext(root.data(), root.size(), DEFAULT_MIB_PRIORITY, 0, 0,
                                  c.name.isEmpty() ? "" : c.contextName.constData());
        c.registered = false;
    }

    bool add(Context &c)
    {
        const std::vector<oid> root = toOid(SnmpUpsTree::upsMib());
        netsnmp_handler_registration *r = lib->createHandlerRegistration(
            "quelta-ups", handle, root.data(), root.size(), HANDLER_CAN_RONLY);
        if (!r)
            return false;
        r->handler->myvoid = &c;
        c.contextName = c.name.toUtf8();
        if (!c.name.isEmpty())
            r->contextName = strdup(c.contextName.constData());
        if (lib->registerHandler(r) != MIB_REGISTERED_OK) {
            qCWarning(lcNetwork).noquote()
                << "SNMP: cannot register the UPS MIB in the context" << c.name;
            return false; // the library freed the registration
        }
        c.registered = true;
        return true;
    }

    bool anyOnBattery() const
    {
        for (const auto &c : contexts) {
            if (c.second->entry.state.onBattery)
                return true;
        }
        return false;
    }
};

SnmpAgent::SnmpAgent(const QString &socket, const QString &folder)
    : m_folder(folder), m_socket(socket)
{
    if (pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcNetwork) << "SNMP: cannot make the agent's wake-up pipe";
        return;
    }
    m_thread = std::thread([this] { run(); });
}

SnmpAgent::~SnmpAgent()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    wake();
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : m_wake) {
        if (fd >= 0)
            ::close(fd);
    }
}

void SnmpAgent::setEntries(const QVector<UpsEntry> &entries)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending = entries;
        m_havePending = true;
    }
    wake();
}

void SnmpAgent::setServing(bool serving)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_serving = serving;
        m_havePending = true;
    }
    wake();
}

void SnmpAgent::setSocket(const QString &socket)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_socket = socket;
        m_havePending = true;
    }
    wake();
}

void SnmpAgent::wake()
{
    if (m_wake[1] >= 0) {
        const char c = 0;
        (void)!::write(m_wake[1], &c, 1);
    }
}

void SnmpAgent::run()
{
    lib = SnmpLibrary::get();
    if (!lib)
        return;
    Private d {this, {}, {}, {}, false};
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        d.socket = m_socket;
    }
    running = &d;
    // A subagent of the master at the socket, pinging it (and reconnecting) every 3 s; it reads
    // no configuration file, keeps no persistent file and takes no SIGALRM: its timers run here.
    lib->dsSetBoolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 1);
    lib->dsSetString(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_X_SOCKET,
                     d.socket.toLocal8Bit().constData());
    lib->dsSetBoolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    lib->dsSetBoolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    lib->dsSetBoolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    // What it still makes on disk (an empty folder of certificate indexes) goes in ours.
    lib->dsSetString(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR,
                     m_folder.toLocal8Bit().constData());
    lib->dsSetBoolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_ALARM_DONT_USE_SIG, 1);
    // It serves by numbers and needs no MIB file: none is looked for.
    lib->dsSetString(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIBDIRS, "");
    lib->enableCalllog();
    lib->registerCallback(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_LOGGING, Private::logged, nullptr);
    lib->registerCallback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_START,
                          Private::sessionStarted, nullptr);
    lib->registerCallback(SNMP_CALLBACK_APPLICATION, SNMPD_CALLBACK_INDEX_STOP,
                          Private::sessionStopped, nullptr);
    lib->initAgent("quelta");
    // Set once the agent's settings are registered, which gives it its default.
    lib->dsSetInt(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_AGENTX_PING_INTERVAL, 3);
    lib->initSnmp("quelta");

    std::vector<pollfd> polled;
    for (;;) {
        QVector<UpsEntry> entries;
        QString socket;
        bool changed = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop)
                break;
            changed = m_havePending;
            if (changed && m_serving)
                entries = m_pending;
            socket = m_socket;
            m_havePending = false;
        }
        if (changed && socket != d.socket)
            d.moveTo(socket);
        if (changed)
            d.apply(entries);
        const qint64 now = Clock::secsSinceEpoch();
        for (auto &c : d.contexts)
            d.send(*c.second, c.second->tree.due(now));

        netsnmp_large_fd_set fds;
        lib->largeFdSetInit(&fds, FD_SETSIZE);
        int count = 0;
        int block = 1;
        timeval tv {};
        lib->selectInfo2(&count, &fds, &tv, &block);
        polled.clear();
        for (int fd = 0; fd < count; ++fd) {
            if (lib->largeFdIsSet(fd, &fds))
                polled.push_back({fd, POLLIN, 0});
        }
        lib->largeFdSetCleanup(&fds);
        polled.push_back({m_wake[0], POLLIN, 0});
        int timeoutMs = block ? -1 : int(tv.tv_sec * 1000 + (tv.tv_usec + 999) / 1000);
        // The on-battery notification is repeated by the minute: look once a second meanwhile.
        if (d.anyOnBattery() && (timeoutMs < 0 || timeoutMs > 1000))
            timeoutMs = 1000;
        const int ready = ::poll(polled.data(), nfds_t(polled.size()), timeoutMs);
        if (ready > 0) {
            if (polled.back().revents) {
                char buffer[64];
                while (::read(m_wake[0], buffer, sizeof buffer) > 0) { }
            }
            netsnmp_large_fd_set readable;
            lib->largeFdSetInit(&readable, FD_SETSIZE);
            bool any = false;
            for (size_t i = 0; i + 1 < polled.size(); ++i) {
                if (polled[i].revents) {
                    lib->largeFdSetFd(polled[i].fd, &readable);
                    any = true;
                }
            }
            if (any)
                lib->read2(&readable);
            lib->largeFdSetCleanup(&readable);
        } else if (ready == 0 && !block) {
            lib->timeout();
        }
        lib->runAlarms();
        lib->checkOutstandingRequests();
    }
    for (auto &c : d.contexts)
        d.withdraw(*c.second);
    d.contexts.clear();
    lib->snmpShutdown("quelta");
    running = nullptr;
    m_connected = false;
}
