// The texts of every alarm code as the catalogue must show them. Each line starts with the hex
// offset of its first text; the texts after it, split by "|", have the offsets that follow.
#pragma once

const char *const expectedEvents = R"(00 Communication lost|Communication established|Input voltage fault
03 Input voltage returns to normal|Battery voltage low|Battery voltage returns to normal
06 Bypass supply|Rectifier supply|UPS fault|UPS returns to normal|UPS backup|UPS online
0C In self-test|Self-test finished|In power off|UPS returns from power off|Buzzer open
11 Buzzer silent|Boost or buck activated|UPS returns from boost or buck|On boost|On Buck
16 Shutdown countdown cancelled|UPS output-off cancelled
)";

const char *const expectedFamilyOne = R"(00 Input phase sequence error|Input voltage high|Input voltage low|Input voltage abnormal
04 Input N missing|Input frequency abnormal
10 +DC bus over voltage|-DC bus over voltage|DC bus OV HW CKT|DC Bus over voltage
14 +DC bus low voltage(output on)|-DC bus low voltage(output on)
16 +DC bus voltage low(output off)|-DC bus voltage low(output off)|DC bus voltage low
19 DC bus delta|DC bus delta(line)|DC bus delta(on battery)|+DC bus soft start fail(line)
1D -DC Bus soft start fail(Line)|+DC bus soft start fail(battery)
1F -DC bus soft start fail(battery)|+DC bus discharge fail|-DC bus discharge fail
22 Rectifier fault|Rectifier over current
30 Inverter output low|Inverter output high|Inverter hardware CKT|Inverter fault
34 Output relay weld close|Output relay weld open|Inverter overload
37 Inverter overload time out|Inverter DC over voltage|Output meas mismatch
3A Inverter soft start fail|Soft start fail
40 Output short circuit|Output over voltage|Output severe over voltage|Output low voltage
44 Output overload
50 Battery reversed connection|+Battery over voltage|-Battery over voltage
53 +Battery disconnected|-Battery disconnected|+Battery low pre alarm|-Battery low pre alarm
57 +Battery low voltage|-Battery low voltage|RBC needs replacement|+Charger error
5B -Charger error|+Charger over voltage|-Charger over voltage|+Charger low voltage
5F -Charger low voltage|Charger meas mismatch
70 Bypass phase sequence error|Bypass over current|Bypass voltage abnormal
73 Bypass frequency abnormal|Bypass overload|Bypass overload time out|PDU activated
77 Bypass not available|Bypass unable to trace
80 Battery over temperature critical|Battery low temperature
82 Battery over temperature(>50℃ charging)|Battery temp sensor disconnected|Fan inoperative
85 Fan logic power supply fault|Fuse blown|Heat sink 1 over temperature
88 Heat sink 2 over temperature|Inverter over temperature|Ambient over temperature
8B Ambient low temperature
90 Bypass SCR/relay short circuit|Bypass SCR/relay open circuit|Bkfeed relay weld close
93 Bkfeed relay weld open|Logic power supply error|EEPROM fault|RAM error
97 Parallel communication error|Internal communication error|CPLD fault|MCU reseted
9B Bkfeed relay locked|BMS communication error
A0 Parallel relay error|Parallel connect error|Parallel current sharing error
A3 Parallel overload|Parallel communication error
B0 Button error
B8 EPO activated|Firmware mismatch|Firmware upgrading
C0 AVR is running too long|AVR time is up|Battery load time is too long
)";

const char *const expectedFamilyTwo = R"(00 Rectifier over temperature|Rectifier parallel signal error|Rectifier over current
03 Rectifier logic power supply error|Input SCR inoperable|Discharge SCR error
06 Charge SCR error|Fan inoperable|Fan power supply error|Charger over temperature
0A Rectifier DC bus soft start error|Charger fault|PFC communication fault
0D Rectifier initializing fault|Rectifier power block not connected|Rectifier fault
10 Battery charging over voltage|Rectifier CPLD clock source fault|Charger over current
20 Inverter fault|Inverter IGBT short circuit|Inverter relay short circuit
23 Inverter relay broken|Inverter parallel signal fault|Output short circuit
26 Inverter communication fault|Inverter initializing fault|Inverter self-test error
29 Inverter DC offset over voltage|Inverter DC bus abnormal|Inverter PM not connected
2C Inverter APS fault|Inverter over temperature|Inverter load sharing error
2F Inverter parallel wire connection error|UPS mode incorrect|Inverter fuse blown
32 Inverter CPLD clock source fault|Bypass SCR short circuit|Bypass SCR broken
35 Backfeed on bypass
40 Input wire error|Input N missing detection|Battery over voltage|Battery EOD warning
44 Battery reversed|Battery EOD|Battery voltage low|No battery|Input Reversed
49 Input N missing|Input frequency out of tol.|Input voltage out of tol.
4C PFC communication abnormal|Input unavailable|Rectifier setting incorrect
4F Mains unable to trace in 1:1 mode|Mains relay short circuit|Mains relay broken
60 Inverter parallel signal abnormal|Inverter overload|Inverter out of sync.|Output abnormal
64 Bypass overload|Inverter communication abnormal|Inverter setting incorrect
67 Bypass input relay short circuit|Bypass input relay broken|Bypass unable to trace
6A Bypass unavailable|Bypass switch too frequent|Bypass reversed
70 Battery self-test error|No battery temperature sensor|Battery over temperature
73 Monitor EEPROM error|Parallel CAN abnormal|Battery over temperature critical
76 Ambient temperature >40℃ or < -20℃|Battery temperature low|Need to check battery
)";
