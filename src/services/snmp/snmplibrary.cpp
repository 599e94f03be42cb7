#include "snmplibrary.h"

#include "logcategories.h"
#include "runtimelibrary.h"

const SnmpLibrary *SnmpLibrary::get()
{
    // The agent library brings the SNMP library it is built on; both are looked up through it.
    static const SnmpLibrary *const library =
        RuntimeLibrary(QStringLiteral("netsnmpagent"), 40, lcNetwork, "the SNMP agent library",
                       "Debian's package libsnmp40, which snmpd brings",
                       "the UPS MIB is not served")
            .open<SnmpLibrary>([](RuntimeLibrary &library, SnmpLibrary &s) {
                return library.resolve("netsnmp_ds_set_boolean", &s.dsSetBoolean) &&
                    library.resolve("netsnmp_ds_set_int", &s.dsSetInt) &&
                    library.resolve("netsnmp_ds_set_string", &s.dsSetString) &&
                    library.resolve("init_agent", &s.initAgent) &&
                    library.resolve("init_snmp", &s.initSnmp) &&
                    library.resolve("snmp_shutdown", &s.snmpShutdown) &&
                    library.resolve("snmp_enable_calllog", &s.enableCalllog) &&
                    library.resolve("snmp_register_callback", &s.registerCallback) &&
                    library.resolve("netsnmp_create_handler_registration",
                                    &s.createHandlerRegistration) &&
                    library.resolve("netsnmp_register_handler", &s.registerHandler) &&
                    library.resolve("unregister_mib_context", &s.unregisterMibContext) &&
                    library.resolve("snmp_select_info2", &s.selectInfo2) &&
                    library.resolve("snmp_read2", &s.read2) &&
                    library.resolve("snmp_timeout", &s.timeout) &&
                    library.resolve("run_alarms", &s.runAlarms) &&
                    library.resolve("netsnmp_check_outstanding_agent_requests",
                                    &s.checkOutstandingRequests) &&
                    library.resolve("netsnmp_large_fd_set_init", &s.largeFdSetInit) &&
                    library.resolve("netsnmp_large_fd_setfd", &s.largeFdSetFd) &&
                    library.resolve("netsnmp_large_fd_is_set", &s.largeFdIsSet) &&
                    library.resolve("netsnmp_large_fd_set_cleanup", &s.largeFdSetCleanup) &&
                    library.resolve("snmp_set_var_typed_value", &s.setVarTypedValue) &&
                    library.resolve("snmp_set_var_objid", &s.setVarObjid) &&
                    library.resolve("netsnmp_set_request_error", &s.setRequestError) &&
                    library.resolve("snmp_varlist_add_variable", &s.varlistAddVariable) &&
                    library.resolve("snmp_free_varbind", &s.freeVarbind) &&
                    library.resolve("netsnmp_send_traps", &s.sendTraps) &&
                    library.resolve("netsnmp_get_agent_uptime", &s.agentUptime) &&
                    library.resolve("main_session", &s.mainSession) &&
                    library.resolve("snmp_close", &s.snmpClose);
            });
    return library;
}
