<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Alarm</name>
    <message>
        <source>Communication lost</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Communication established</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input voltage fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input voltage returns to normal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery voltage low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery voltage returns to normal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass supply</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier supply</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS returns to normal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS backup</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS online</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>In self-test</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Self-test finished</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>In power off</source>
        <translation>UPS shutdown pending</translation>
    </message>
    <message>
        <source>UPS returns from power off</source>
        <translation>UPS shutdown ended</translation>
    </message>
    <message>
        <source>Buzzer open</source>
        <translation>Beeper on</translation>
    </message>
    <message>
        <source>Buzzer silent</source>
        <translation>Beeper off</translation>
    </message>
    <message>
        <source>Boost or buck activated</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS returns from boost or buck</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On boost</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On Buck</source>
        <translation>On buck</translation>
    </message>
    <message>
        <source>Input phase sequence error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input voltage high</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input voltage low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input voltage abnormal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input N missing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input frequency abnormal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+DC bus over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-DC bus over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>DC bus OV HW CKT</source>
        <translation>DC bus over voltage (hardware circuit)</translation>
    </message>
    <message>
        <source>DC Bus over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+DC bus low voltage(output on)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-DC bus low voltage(output on)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+DC bus voltage low(output off)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-DC bus voltage low(output off)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>DC bus voltage low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>DC bus delta</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>DC bus delta(line)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>DC bus delta(on battery)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+DC bus soft start fail(line)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-DC Bus soft start fail(Line)</source>
        <translation>-DC bus soft start fail(line)</translation>
    </message>
    <message>
        <source>+DC bus soft start fail(battery)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-DC bus soft start fail(battery)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+DC bus discharge fail</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-DC bus discharge fail</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier over current</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter output low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter output high</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter hardware CKT</source>
        <translation>Inverter hardware circuit fault</translation>
    </message>
    <message>
        <source>Inverter fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output relay weld close</source>
        <translation>Output relay welded closed</translation>
    </message>
    <message>
        <source>Output relay weld open</source>
        <translation>Output relay welded open</translation>
    </message>
    <message>
        <source>Inverter overload</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter overload time out</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter DC over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output meas mismatch</source>
        <translation>Output measurement mismatch</translation>
    </message>
    <message>
        <source>Inverter soft start fail</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Soft start fail</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output short circuit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output severe over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output low voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output overload</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery reversed connection</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+Battery over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-Battery over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+Battery disconnected</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-Battery disconnected</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+Battery low pre alarm</source>
        <translation>+Battery low early warning</translation>
    </message>
    <message>
        <source>-Battery low pre alarm</source>
        <translation>-Battery low early warning</translation>
    </message>
    <message>
        <source>+Battery low voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-Battery low voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>RBC needs replacement</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+Charger error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-Charger error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+Charger over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-Charger over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>+Charger low voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-Charger low voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Charger meas mismatch</source>
        <translation>Charger measurement mismatch</translation>
    </message>
    <message>
        <source>Bypass phase sequence error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass over current</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass voltage abnormal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass frequency abnormal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass overload</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass overload time out</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>PDU activated</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass not available</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass unable to trace</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery over temperature critical</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery low temperature</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery over temperature(&gt;50℃ charging)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery temp sensor disconnected</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Fan inoperative</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Fan logic power supply fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Fuse blown</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Heat sink 1 over temperature</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Heat sink 2 over temperature</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter over temperature</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Ambient over temperature</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Ambient low temperature</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass SCR/relay short circuit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass SCR/relay open circuit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bkfeed relay weld close</source>
        <translation>Backfeed relay welded closed</translation>
    </message>
    <message>
        <source>Bkfeed relay weld open</source>
        <translation>Backfeed relay welded open</translation>
    </message>
    <message>
        <source>Logic power supply error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>EEPROM fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>RAM error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Parallel communication error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Internal communication error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>CPLD fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>MCU reseted</source>
        <translation>MCU reset</translation>
    </message>
    <message>
        <source>Bkfeed relay locked</source>
        <translation>Backfeed relay locked</translation>
    </message>
    <message>
        <source>BMS communication error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Parallel relay error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Parallel connect error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Parallel current sharing error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Parallel overload</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Button error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>EPO activated</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Firmware mismatch</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Firmware upgrading</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>AVR is running too long</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>AVR time is up</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery load time is too long</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier over temperature</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier parallel signal error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier logic power supply error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input SCR inoperable</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Discharge SCR error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Charge SCR error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Fan inoperable</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Fan power supply error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Charger over temperature</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier DC bus soft start error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Charger fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>PFC communication fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier initializing fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier power block not connected</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery charging over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier CPLD clock source fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Charger over current</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter IGBT short circuit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter relay short circuit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter relay broken</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter parallel signal fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter communication fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter initializing fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter self-test error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter DC offset over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter DC bus abnormal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter PM not connected</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter APS fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter load sharing error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter parallel wire connection error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS mode incorrect</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter fuse blown</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter CPLD clock source fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass SCR short circuit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass SCR broken</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Backfeed on bypass</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input wire error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input N missing detection</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery over voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery EOD warning</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery reversed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery EOD</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No battery</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Reversed</source>
        <translation>Input reversed</translation>
    </message>
    <message>
        <source>Input frequency out of tol.</source>
        <translation>Input frequency out of tolerance</translation>
    </message>
    <message>
        <source>Input voltage out of tol.</source>
        <translation>Input voltage out of tolerance</translation>
    </message>
    <message>
        <source>PFC communication abnormal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input unavailable</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rectifier setting incorrect</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mains unable to trace in 1:1 mode</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mains relay short circuit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mains relay broken</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter parallel signal abnormal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter out of sync.</source>
        <translation>Inverter out of sync</translation>
    </message>
    <message>
        <source>Output abnormal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter communication abnormal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inverter setting incorrect</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass input relay short circuit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass input relay broken</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass unavailable</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass switch too frequent</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bypass reversed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery self-test error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No battery temperature sensor</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery over temperature</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Monitor EEPROM error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Parallel CAN abnormal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Ambient temperature &gt;40℃ or &lt; -20℃</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery temperature low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Need to check battery</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Returned from: </source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Shutdown countdown cancelled</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS output-off cancelled</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>BatteryAge</name>
    <message>
        <source>Battery replacement due</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The UPS battery was installed on %1 and is due for replacement since %2. An old battery may not carry the computer through the next mains failure.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and end.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Show the version and end.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Run without the window and the tray: monitoring, alarms, samples, the shutdown countdown, mail and scheduled tasks go on. Log lines also go to standard error.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Keep settings, history and logs in DIR (the same as the environment variable QUELTA_HOME).</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Unexpected argument '%1'.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--home needs a folder.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Manage the accounts of the network server and end: 'add NAME --role monitor|admin' (the password is read from standard input), 'remove NAME' or 'list'. This works while the program runs on the same folder; it takes the change at once.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The role of an account added with --nut-user: monitor or admin.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--role goes with --nut-user add.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--json goes with status.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>With status: the state as one JSON document.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Try '%1 --help' for the options.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Instead of running, one of:
config list: every setting with its value;
config get KEY: one setting's value;
config set KEY VALUE: change a setting;
config set-password KEY: a password (the SMTP login's, the network link's) from the first line of standard input;
config check: each problem of the settings file with its line; exit status 0 when there is none, 2 when there are;
status: the state of the UPS of the running program; exit status 0 on mains, 1 on battery, 2 battery low, a fault or the output off, 3 no UPS or no program.
A running program takes a changed setting at once.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Watches UPSes and shuts the computer down in order when the power fails.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ConfigCommand</name>
    <message>
        <source>(set)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cannot read %1: %2.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>There is no setting %1; config list shows them all.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cannot write %1.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 is no password; set it with config set.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Password %1 cleared.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Password %1 set.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 is a password: set it with config set-password %1, which reads it from standard input.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 takes %2, not '%3'.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The settings file %1 does not read whole; nothing is written to it. Repair it: 'config check' lists the problems; edit the file, or put back an earlier copy of it.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Use config list, config get KEY, config set KEY VALUE, config set-password KEY or config check.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>There is no settings file %1 yet; the defaults are in force.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 reads whole; every value is one its setting takes.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 does not read whole: a line that does not read shows its default; 'config check' lists the problems.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>A password is %1 characters at most.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>A password is a line of text without control characters.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>DevComm</name>
    <message>
        <source>None</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>DevDataChartPage</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>DevDataDialPage</name>
    <message>
        <source>UPS Load</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery Capacity</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>DevDataInfoPage</name>
    <message>
        <source>UPS Manufacturer:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Model:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Version:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS SN:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery health</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>DevDataItemPage</name>
    <message>
        <source>Input Voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output Voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Frequncy</source>
        <translation>Input Frequency</translation>
    </message>
    <message>
        <source>UPS Load</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Temperature</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery Voltage</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>DevDataMimicPage</name>
    <message>
        <source>On Bypass</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On Mains</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>AC IN</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>AC/DC</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>DC/AC</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>AC OUT</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>BATT</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Boost or buck</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>DevStatusView</name>
    <message>
        <source>UPS says %1 · measured %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>measured %1</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>HistoryChartView</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Battery Voltage(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>HistoryNotice</name>
    <message>
        <source>the database file is damaged</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>the database file or its folder is read-only</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>its tables are not the ones this program makes</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>the disk is full</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>the database file cannot be opened</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>the SQLite driver is missing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>the database reports an error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>History cannot be stored: %1. The database file is left as it is: %2</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ListModelNutUser</name>
    <message>
        <source>Choose a role: monitor or admin.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>An account of this name exists already.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>This account no longer exists.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>A name is 1 to 32 letters, digits, dots, dashes or underscores.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>A password is 1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The configuration file could not be written.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>LogAlarmDataForm.ui</name>
    <message>
        <source>Date</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Alarm</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>LogChart</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Battery Voltage(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 samples</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No samples were stored on these days.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>LogClosedRecordsForm.ui</name>
    <message>
        <source>Application</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Window</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>LogDevDataForm.ui</name>
    <message>
        <source>Date</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Battery Voltage(V)</translation>
    </message>
    <message>
        <source>temperature(℃ )</source>
        <translation>Temperature (℃)</translation>
    </message>
</context>
<context>
    <name>LogHealth</name>
    <message>
        <source>Now %1 % of what its first discharges showed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Below %1 %: plan the battery's replacement.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On course to fall below %1 % around %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery health(%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Trend</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Worn below %1 %</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Date</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Health (%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Load (%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The stored discharges cannot be read.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The battery's health is measured from the first full-enough discharges: a mains failure or a self-test that runs a charged battery down to battery low. None is stored yet.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>LogSelfTest</name>
    <message>
        <source>Date</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Count</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Load(%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery Capacity(%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery voltage drop (V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Result</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>MainDevDataForm.ui</name>
    <message>
        <source>Mimic</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dial</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Data</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Chart</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Info.</source>
        <translation>Identity</translation>
    </message>
</context>
<context>
    <name>MainDevInfo</name>
    <message>
        <source>Normal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Conneted</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On Battery</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On Bypass</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On Mains</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>In progress</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Output Off In</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>System Shutdown CountDown</source>
        <translation>System Shutdown Countdown</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel output off</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Boost or buck</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Countdown, Nothing Set to Happen at Its End</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>MainDevInfoForm.ui</name>
    <message>
        <source>Battery Remaining Time</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Communication</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Status</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery Voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Work Status</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Self-Test</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>MainFooterMenuForm.ui</name>
    <message>
        <source>Device</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Schedule Task</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Control</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Historical Data</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Alarm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Overview</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>MainPanelControl</name>
    <message>
        <source>The UPS output switches off in about 12 seconds: this computer and everything else on the UPS lose power.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The UPS output switches off in %1 minute(s): this computer and everything else on the UPS lose power.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The UPS runs on its battery until the battery is low. Until it has charged again, it may not carry this computer through a mains failure.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The UPS runs on its battery for %1 minute(s). Until it has charged again, it may not carry this computer through a mains failure.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Issue the order?</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Order has been issued!</source>
        <translation>The order was sent to the UPS.</translation>
    </message>
</context>
<context>
    <name>MainPanelControlForm.ui</name>
    <message>
        <source>UPS Control</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>UPS self-test for 10 seconds</translation>
    </message>
    <message>
        <source>UPS Self-test to EOD</source>
        <translation>UPS self-test to end of discharge</translation>
    </message>
    <message>
        <source>UPS Self-test for(1~99)</source>
        <translation>UPS self-test for (1~99)</translation>
    </message>
    <message>
        <source>minute(s)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>Cancel the UPS self-test</translation>
    </message>
    <message>
        <source>UPS close output in(0~9)</source>
        <translation>Switch the UPS output off in (0~9)</translation>
    </message>
    <message>
        <source>minute(s); 0 is about 12 seconds</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel UPS close output</source>
        <translation>Cancel switching the UPS output off</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>Switch the UPS beeper on or off</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>MainPanelLogData</name>
    <message>
        <source>Operation failed!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Operation finished!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Saved as %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Save as...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Excel files (*.xlsx)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The start date is after the end date.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>This computer's UPS</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>MainPanelLogDataForm.ui</name>
    <message>
        <source>Data</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Alarm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Closed Records</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Self-test</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Historical Data</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Date Start:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Date End:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Chart</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery health</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>MainPanelOverview</name>
    <message>
        <source>Back to the overview</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>This computer</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>UPS self-test for 10 seconds</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>Cancel the UPS self-test</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>Switch the UPS beeper on or off</translation>
    </message>
</context>
<context>
    <name>MainPanelScheduleTask</name>
    <message>
        <source>Are you sure to delete this task?</source>
        <translation>Do you really want to delete this task?</translation>
    </message>
</context>
<context>
    <name>MainPanelScheduleTaskForm.ui</name>
    <message>
        <source>Schedule Task</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Add Task</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No task yet. A task runs a UPS self-test, switches the UPS on, or shuts this computer and the UPS down at a time you choose, once or every day, week or month. Click "Add Task" to make one.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>MainPanelSettings</name>
    <message>
        <source>Common Parameters</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>E-Mail</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Shutdown</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Network Sharing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Watched UPSes</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>MsgDialog</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>NumberField</name>
    <message>
        <source>The marked number must be from %1 to %2; %3 stays in force.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>NutLink</name>
    <message>
        <source>The UPS server refused the command %1: %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The UPS server is not connected.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The UPS server does not offer %1 for this UPS.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>NutUserCommand</name>
    <message>
        <source>A name is 1 to 32 letters, digits, dots, dashes or underscores.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>A password is 1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>There is no account %1.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The configuration file could not be written.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--nut-user list takes no name.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Use --nut-user add NAME --role monitor|admin, --nut-user remove NAME or --nut-user list.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Account %1 removed.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--nut-user add needs --role monitor or --role admin.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Account %1 changed (%2).</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Account %1 added (%2).</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PopupAddEMailUser</name>
    <message>
        <source>E-Mail address is invalid!</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PopupAddEMailUserForm.ui</name>
    <message>
        <source>E-Mail Receiver:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>PopupAddScheduleTask</name>
    <message>
        <source>Add Schedule Task</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Modify Schedule Task</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The hour must be from 0 to 23.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The minute must be from 0 to 59.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The second must be from 0 to 59.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The day of the month must be from 1 to 31.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>This date and time have already passed.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The task could not be stored.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PopupAddScheduleTaskForm.ui</name>
    <message>
        <source>Task Type:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Self-test for 10S</source>
        <translation>Self-test for 10 seconds</translation>
    </message>
    <message>
        <source>Self-test to EOD</source>
        <translation>Self-test to end of discharge</translation>
    </message>
    <message>
        <source>UPS Power on</source>
        <translation>Switch the UPS on</translation>
    </message>
    <message>
        <source>Shutdown system and close UPS</source>
        <translation>Shut down the system and switch the UPS off</translation>
    </message>
    <message>
        <source>Execute Time:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>Execute Cyle:</source>
        <translation>Repeat:</translation>
    </message>
    <message>
        <source>One Shoot</source>
        <translation>Once</translation>
    </message>
    <message>
        <source>Every day</source>
        <translation>Daily</translation>
    </message>
    <message>
        <source>Every Week</source>
        <translation>Weekly</translation>
    </message>
    <message>
        <source>Every Month</source>
        <translation>Monthly</translation>
    </message>
    <message>
        <source>Execute Date:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>Execute Day:</source>
        <translation>Day:</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Tuesday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Wednesday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Thursday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Friday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Saturday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sunday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>(1~31; the last day in shorter months)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>PopupCurrentAlarm</name>
    <message>
        <source>Alarm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>No alarm stands now.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PopupNutUser</name>
    <message>
        <source>1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Leave the password empty to keep it.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PopupNutUserForm.ui</name>
    <message>
        <source>User name:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Role:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Monitor (watch the UPS)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Admin (also run UPS commands)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Password:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>PopupSetEMailSender</name>
    <message>
        <source>User account is invalid!</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PopupSetEMailSenderForm.ui</name>
    <message>
        <source>E-Mail Sender</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Account:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Password:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>RuntimeLearner</name>
    <message>
        <source>Battery worn: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The battery now holds %1 % of what its first discharges showed: plan its replacement.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery of %1, measured by its discharges: %2 % of its first capacity (%3 discharges to battery low learned).</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery wearing: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The battery holds %1 % of what its first discharges showed and is on course to fall below 80 % in about %2 days: plan its replacement.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ScheduleTaskListDelegate</name>
    <message>
        <source>One Shoot</source>
        <translation>Once</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Weekly</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Monthly</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Unkown code: </source>
        <translation>Unknown code: </translation>
    </message>
    <message>
        <source>every Sunday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>every Monday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>every Tuesday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>every Wednesday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>every Thursday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>every Friday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>every Saturday</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>on day %1 of each month</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Self-test for 10 secords</source>
        <translation>Self-test for 10 seconds</translation>
    </message>
    <message>
        <source>Self-test to EOD</source>
        <translation>Self-test to end of discharge</translation>
    </message>
    <message>
        <source>UPS Power on</source>
        <translation>Switch the UPS on</translation>
    </message>
    <message>
        <source>System shutdown and close UPS</source>
        <translation>System shutdown and UPS off</translation>
    </message>
</context>
<context>
    <name>SerialLink</name>
    <message>
        <source>Port %1 not found</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Permission denied: add yourself to %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Port %1 cannot be opened: %2</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ServiceEMail</name>
    <message>
        <source>From Quelta</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>mail rejected</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Alarm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Daily Report</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS daily report.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Date</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Battery Voltage(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>no server address</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>no server port</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>no sender address (the test mail goes to it)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>no login account</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Test E-Mail</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>This is a test E-Mail!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>connection failed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>encryption failed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>authentication failed</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ServiceNetwork</name>
    <message>
        <source>Name at least one address to listen on (127.0.0.1 for this computer only, 0.0.0.0 and :: for every network).</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Not an IP address: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Not a network (such as 192.168.1.0/24 or fd00::/8): %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>A UPS name holds letters, digits and . _ - @ only: %1</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ServiceNotification</name>
    <message>
        <source>%1 minutes</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 seconds</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Communication restored</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quelta is talking to the UPS again.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Communication lost</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quelta cannot reach the UPS: it no longer sees a mains failure.</source>
        <translation>Quelta cannot reach the UPS: a mains failure would now go unnoticed.</translation>
    </message>
    <message>
        <source>The UPS is running on its battery.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery charge: %1 %.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mains failure</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mains returned</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The UPS is running on the mains again.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The UPS battery is low: the computer may lose power soon.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The UPS reports a fault; the alarm list tells more.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Shutdown countdown started</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Shutdown countdown cancelled</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The computer stays on.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Passed.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Failed: the battery ran low.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Failed: the UPS reported a fault.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The battery voltage fell by %1 V in %2.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Self-test finished</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Shutdown countdown shortened</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The computer shuts down in %1, at %2.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The countdown ends in %1, at %2. Nothing is set to happen then: the computer stays on.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The UPS battery is low: the UPS may switch off soon.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>(1 change since the last notice: %1 at %2)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>(%1 changes since the last notice, between %2 and %3)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Measured at this load, it lasts about %1.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ServiceShutdown</name>
    <message>
        <source>the system refused to power it off</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>the system offers no way to power it off</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>the power-off request failed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The computer could not be shut down: %1. Save your work and shut it down by hand.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The shutdown can no longer be cancelled: the other computers on the UPS have been told to shut down, or the power-off has been asked for.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Supplies lost: %1.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The computer was not shut down</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>SettingKeys</name>
    <message>
        <source>true or false</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>a whole number from %1 to %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>one of %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>any text</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>a time of day such as 07:30:00</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>a day such as 2026-12-31, or nothing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>a host name or an IP address, or nothing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>IP addresses separated by commas, such as 127.0.0.1,::1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>IP addresses or networks separated by commas, such as 192.168.1.0/24,fd00::/8</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>names separated by commas</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>a path</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Settings file damaged</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The settings file was damaged and could not be kept aside.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The settings file was damaged; it is kept as %1.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The new one holds the settings that could be read from it (%1) and the defaults for the rest: check the settings, above all the shutdown and the UPS link.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The settings file %1 was changed and does not read whole (%2). The lines that read are taken; the others keep the settings in force. Repair it: 'config check' lists the problems.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The settings in force were written in its place.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>SettingsCommon</name>
    <message>
        <source>Operation finished!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Operation failed!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Are you sure to restore settings?!</source>
        <translation>Do you really want to restore the default settings?</translation>
    </message>
    <message>
        <source>Look for...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>Configuration files (*.conf)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Save as...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Counted from the first day a UPS answers.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Replacement due since %1.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Replacement due on %1.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Saved as %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No data from the server: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Certificates (*.pem *.crt)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All files (*)</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>SettingsCommonForm.ui</name>
    <message>
        <source>Base Parameter</source>
        <translation>Basic Parameters</translation>
    </message>
    <message>
        <source>UPS Communication Type:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>USB</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>COM</source>
        <translation>Serial</translation>
    </message>
    <message>
        <source>COM port:</source>
        <translation>Serial port:</translation>
    </message>
    <message>
        <source>Baud rate:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Record data interval(Sec):</source>
        <translation>Recording interval (s):</translation>
    </message>
    <message>
        <source>Version Information</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quelta version:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>USB HID version:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Settings Management</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Language:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>English</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>中文简体 </source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Français</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Following System Language</source>
        <translation>Follow the system language</translation>
    </message>
    <message>
        <source>Settings Import:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Look for...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>Settings Export:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Save as...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Restore Default Settings</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Desktop notifications</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery installed on:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Replace after (months):</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>繁體中文</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Network (NUT)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Server (NUT)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Server:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Port:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS name:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>User:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Password:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>CA file:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>System certificates</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Browse</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Allow an unencrypted connection</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Another program holds the UPS port, the Quelta service for example. Quelta opens it once it is free.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Start with the desktop</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>SettingsEMail</name>
    <message>
        <source>Sending test E-Mail...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>E-Mail has been sent.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Failed to send test E-Mail!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>E-Mail address is invalid!</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>SettingsEMailForm.ui</name>
    <message>
        <source>E-Mail</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sender Information</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sender Name:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sender Address:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Server Address:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Server Port:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>25</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Encrypt:</source>
        <translation>Encryption:</translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>STARTTLS</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>SSL/TLS</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Account authentication:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Send Test Mail</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>E-mail Address</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Modify</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Daily Report Send Time(HH:MM:SS): </source>
        <translation>Daily report time (HH:MM:SS): </translation>
    </message>
</context>
<context>
    <name>SettingsFileExchange</name>
    <message>
        <source>The e-mail recipients could not be stored (%1); the old list is kept.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The network server's accounts could not be stored; the old ones are kept.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The protection is switched off: no shutdown on a mains failure.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Network sharing is switched off: the computers that watch this UPS over the network lose it.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>E-mail is switched off.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Every e-mail recipient is deleted (%1).</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The language, desktop notifications, the battery replacement interval and every shutdown, e-mail and network sharing setting go back to their defaults.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kept: the link to the UPS, the network accounts, the scheduled tasks and the battery installation date.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The watched UPSes could not be stored; the old list is kept.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kept too: the watched UPSes (%1).</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>SettingsNetwork</name>
    <message>
        <source>Off</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Serving the UPS on port %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>TLS certificate</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>PEM files (*.pem *.crt *.key)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All files (*)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>TLS key</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Name the UPS for the clients.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Switched off: cannot listen on %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cannot listen on %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Starting...</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>SettingsNetworkForm.ui</name>
    <message>
        <source>Network Sharing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Server</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Listen on:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Port:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Allowed networks:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS name:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Other names:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Wait for clients:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>second(s)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Clients at most:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>TLS certificate:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Browse</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>TLS key:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Users</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>admin</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>monitor</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Modify</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Connected Clients</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>logged in</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No client connected</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Allowed clients read the UPS without an account, as with NUT. An account is for logging in (a computer that shuts down with this UPS) and for commands.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>SettingsShutdown</name>
    <message>
        <source>Browse</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No watched UPS is named %1: it is never judged and counts as able to feed this computer.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Protection is on, but nothing is set to happen at the end of the countdown: the computer stays on. Choose "Shutdown OS", a command file or the UPS switch-off.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>SettingsShutdownForm.ui</name>
    <message>
        <source>Quelta power control</source>
        <translation>Shut this computer down on a mains failure</translation>
    </message>
    <message>
        <source>After main AC fault, shutdown system in(0~2880)</source>
        <translation>After a mains failure, shut down the system in (0~2880)</translation>
    </message>
    <message>
        <source>minute(s)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>If low battery occurred, shutdown system in(0~600)</source>
        <translation>When the battery runs low, shut down the system in (0~600)</translation>
    </message>
    <message>
        <source>After main AC fault, shutdown system when battery capacity lower than(1~100)</source>
        <translation>After a mains failure, shut down the system when the battery charge is below (1~100)</translation>
    </message>
    <message>
        <source>Shutdown OS</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Command file to execute:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Command file:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Browse</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Max. execution time:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Power Off</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Times need (1~9)</source>
        <translation>Time needed (1~9)</translation>
    </message>
    <message>
        <source>minute(s) before UPS turns off</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On battery, count the battery as low when less backup time is left than(0~1440, 0: off)</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>SettingsWatch</name>
    <message>
        <source>Watched UPSes</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>every UPS of %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>None: only this computer's UPS is watched.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Add a UPS or a whole server</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Shown name</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Server</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Port</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS name (* for every UPS of the server)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>User</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>CA file</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Allow an unencrypted connection</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Supplies of this computer</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPSes that feed it (shown names, local for its own)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>At least this many must be able to feed it</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No watched UPS is named %1: it is never judged and counts as able to feed this computer.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>StatusCommand</name>
    <message>
        <source>on mains</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>on battery</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>battery low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>on bypass</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>lowering a high mains voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>raising a low mains voltage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>self-test running</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>output off</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>forced shutdown</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>alarm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quelta does not run on the program folder %1.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quelta runs on the program folder %1, but this user may not ask it: run this as its user or as a member of its group.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quelta on the program folder %1 did not answer.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quelta on the program folder %1 watches no UPS.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1: no UPS answers</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>settings: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>battery health: %1 %</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>measured backup time: %1 s (%2 to %3 s)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>measured backup time: none (%1)</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TableModelAlarm</name>
    <message>
        <source>Date</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Alarm</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TableModelDevData</name>
    <message>
        <source>Date</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Battery Voltage(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Per-minute means</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TableModelSelfTest</name>
    <message>
        <source>Passed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Failed: battery low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Failed: UPS fault</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>UpsCard</name>
    <message>
        <source>This computer</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Charge</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Runtime</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Load</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Conneted</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>UpsStateLook</name>
    <message>
        <source>UPS Normal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On Battery</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery Low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output Off</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Communication Lost</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS disconnect</source>
        <translation>UPS not connected</translation>
    </message>
    <message>
        <source>Port busy</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output off pending</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output off in %1</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>Day</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Week</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Month</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Measurements</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No current alarm.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Last self-tests</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No self-test was recorded.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No samples were stored in this time.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Log in</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Log out</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS commands need a network account with the admin role.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS commands are offered over HTTPS only.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Wrong user name or password.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Not done: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Live</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Reconnecting...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No UPS of this name is known.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>1 sample</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Supplies lost: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 of %2 needed can still feed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS disconnect</source>
        <translation>UPS not connected</translation>
    </message>
    <message>
        <source>UPS Normal</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On Battery</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery Low</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output off in %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output Off</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Fault</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Communication Lost</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Port busy</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Battery Voltage(V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery Capacity</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery Remaining Time</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>System Shutdown CountDown</source>
        <translation>System Shutdown Countdown</translation>
    </message>
    <message>
        <source>UPS Output Off In</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Manufacturer:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Model:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Version:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS SN:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Alarm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Date</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Count</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery voltage drop (V)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Passed.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Failed: the battery ran low.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Failed: the UPS reported a fault.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery installed on:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Counted from the first day a UPS answers.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Replacement due on %1.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Replacement due since %1.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 samples</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Overview</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>UPS self-test for 10 seconds</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>Cancel the UPS self-test</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>Switch the UPS beeper on or off</translation>
    </message>
    <message>
        <source>UPS Control</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Order has been issued!</source>
        <translation>The order was sent to the UPS.</translation>
    </message>
    <message>
        <source>User name:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Password:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Historical Data</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UPS says %1 · measured %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>measured %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery health</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Battery health by discharge</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Health (%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Load (%)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>On course to fall below %1 % around %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Below %1 %: plan the battery's replacement.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The battery's health is measured from the first full-enough discharges: a mains failure or a self-test that runs a charged battery down to battery low. None is stored yet.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Output off pending</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shutdown event activated!</source>
        <translation>The shutdown countdown has started.</translation>
    </message>
    <message>
        <source>Quitting stops the protection: the computer will not be shut down when the mains fails. Quit anyway?</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Show</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel output off</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished" />
    </message>
</context>
</TS>
