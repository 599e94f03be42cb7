#include "snmplibrary.h"

#include "librarysymbol.h"
#include "logcategories.h"

#include <QLibrary>

namespace {

template<typename F> bool resolve(QLibrary &library, const char *name, F *function)
{
    return resolveSymbol(library, name, function, lcNetwork, "the SNMP agent library");
}

const SnmpLibrary *open()
{
    // The agent library brings the SNMP library it is built on; both are looked up through it.
    static QLibrary library(QStringLiteral("netsnmpagent"), 40);
    static SnmpLibrary s {};
    if (!library.load()) {
        qCWarning(lcNetwork)
            << "Cannot open the SNMP agent library (Debian's package libsnmp40, which snmpd "
               "brings); the UPS MIB is not served:"
            << library.errorString();
        return nullptr;
    }
    const bool all = resolve(library, "netsnmp_ds_set_boolean", &s.dsSetBoolean) &&
        resolve(library, "netsnmp_ds_set_int", &s.dsSetInt) &&
        resolve(library, "netsnmp_ds_set_string", &s.dsSetString) &&
        resolve(library, "init_agent", &s.initAgent) &&
        resolve(library, "init_snmp", &s.initSnmp) &&
        resolve(library, "snmp_shutdown", &s.snmpShutdown) &&
        resolve(library, "snmp_enable_calllog", &s.enableCalllog) &&
        resolve(library, "snmp_register_callback", &s.registerCallback) &&
        resolve(library, "netsnmp_create_handler_registration", &s.createHandlerRegistration) &&
        resolve(library, "netsnmp_register_handler", &s.registerHandler) &&
        resolve(library, "unregister_mib_context", &s.unregisterMibContext) &&
        resolve(library, "snmp_select_info2", &s.selectInfo2) &&
        resolve(library, "snmp_read2", &s.read2) && resolve(library, "snmp_timeout", &s.timeout) &&
        resolve(library, "run_alarms", &s.runAlarms) &&
        resolve(library, "netsnmp_check_outstanding_agent_requests", &s.checkOutstandingRequests) &&
        resolve(library, "netsnmp_large_fd_set_init", &s.largeFdSetInit) &&
        resolve(library, "netsnmp_large_fd_setfd", &s.largeFdSetFd) &&
        resolve(library, "netsnmp_large_fd_is_set", &s.largeFdIsSet) &&
        resolve(library, "netsnmp_large_fd_set_cleanup", &s.largeFdSetCleanup) &&
        resolve(library, "snmp_set_var_typed_value", &s.setVarTypedValue) &&
        resolve(library, "snmp_set_var_objid", &s.setVarObjid) &&
        resolve(library, "netsnmp_set_request_error", &s.setRequestError) &&
        resolve(library, "snmp_varlist_add_variable", &s.varlistAddVariable) &&
        resolve(library, "snmp_free_varbind", &s.freeVarbind) &&
        resolve(library, "netsnmp_send_traps", &s.sendTraps) &&
        resolve(library, "netsnmp_get_agent_uptime", &s.agentUptime) &&
        resolve(library, "main_session", &s.mainSession) &&
        resolve(library, "snmp_close", &s.snmpClose);
    return all ? &s : nullptr;
}

} // namespace

const SnmpLibrary *SnmpLibrary::get()
{
    // Opened once; C++ makes the first call from any thread wait for it.
    static const SnmpLibrary *const library = open();
    return library;
}
