// The texts of every alarm code as the catalogue must show them, one "offset text" per line.
#pragma once

const char *const expectedEvents = R"(Communication lost
Communication established
Input voltage fault
Input voltage returns to normal
Battery voltage low
Battery voltage returns to normal
Bypass supply
Rectifier supply
UPS fault
UPS returns to normal
UPS backup
UPS online
In self-test
Self-test finished
In power off
UPS returns from power off
Buzzer open
Buzzer silent
Boost or buck activated
UPS returns from boost or buck
On boost
On Buck
)";

const char *const expectedFamilyOne = R"(00 Input phase sequence error
01 Input voltage high
02 Input voltage low
03 Input voltage abnormal
04 Input N missing
05 Input frequency abnormal
10 +DC bus over voltage
11 -DC bus over voltage
12 DC bus OV HW CKT
13 DC Bus over voltage
14 +DC bus low voltage(output on)
15 -DC bus low voltage(output on)
16 +DC bus voltage low(output off)
17 -DC bus voltage low(output off)
18 DC bus voltage low
19 DC bus delta
1A DC bus delta(line)
1B DC bus delta(on battery)
1C +DC bus soft start fail(line)
1D -DC Bus soft start fail(Line)
1E +DC bus soft start fail(battery)
1F -DC bus soft start fail(battery)
20 +DC bus discharge fail
21 -DC bus discharge fail
22 Rectifier fault
23 Rectifier over current
30 Inverter output low
31 Inverter output high
32 Inverter hardware CKT
33 Inverter fault
34 Output relay weld close
35 Output relay weld open
36 Inverter overload
37 Inverter overload time out
38 Inverter DC over voltage
39 Output meas mismatch
3A Inverter soft start fail
3B Soft start fail
40 Output short circuit
41 Output over voltage
42 Output severe over voltage
43 Output low voltage
44 Output overload
50 Battery reversed connection
51 +Battery over voltage
52 -Battery over voltage
53 +Battery disconnected
54 -Battery disconnected
55 +Battery low pre alarm
56 -Battery low pre alarm
57 +Battery low voltage
58 -Battery low voltage
59 RBC needs replacement
5A +Charger error
5B -Charger error
5C +Charger over voltage
5D -Charger over voltage
5E +Charger low voltage
5F -Charger low voltage
60 Charger meas mismatch
70 Bypass phase sequence error
71 Bypass over current
72 Bypass voltage abnormal
73 Bypass frequency abnormal
74 Bypass overload
75 Bypass overload time out
76 PDU activated
77 Bypass not available
78 Bypass unable to trace
80 Battery over temperature critical
81 Battery low temperature
82 Battery over temperature(>50℃ charging)
83 Battery temp sensor disconnected
84 Fan inoperative
85 Fan logic power supply fault
86 Fuse blown
87 Heat sink 1 over temperature
88 Heat sink 2 over temperature
89 Inverter over temperature
8A Ambient over temperature
8B Ambient low temperature
90 Bypass SCR/relay short circuit
91 Bypass SCR/relay open circuit
92 Bkfeed relay weld close
93 Bkfeed relay weld open
94 Logic power supply error
95 EEPROM fault
96 RAM error
97 Parallel communication error
98 Internal communication error
99 CPLD fault
9A MCU reseted
9B Bkfeed relay locked
9C BMS communication error
A0 Parallel relay error
A1 Parallel connect error
A2 Parallel current sharing error
A3 Parallel overload
A4 Parallel communication error
B0 Button error
B8 EPO activated
B9 Firmware mismatch
BA Firmware upgrading
C0 AVR is running too long
C1 AVR time is up
C2 Battery load time is too long
)";

const char *const expectedFamilyTwo = R"(00 Rectifier over temperature
01 Rectifier parallel signal error
02 Rectifier over current
03 Rectifier logic power supply error
04 Input SCR inoperable
05 Discharge SCR error
06 Charge SCR error
07 Fan inoperable
08 Fan power supply error
09 Charger over temperature
0A Rectifier DC bus soft start error
0B Charger fault
0C PFC communication fault
0D Rectifier initializing fault
0E Rectifier power block not connected
0F Rectifier fault
10 Battery charging over voltage
11 Rectifier CPLD clock source fault
12 Charger over current
20 Inverter fault
21 Inverter IGBT short circuit
22 Inverter relay short circuit
23 Inverter relay broken
24 Inverter parallel signal fault
25 Output short circuit
26 Inverter communication fault
27 Inverter initializing fault
28 Inverter self-test error
29 Inverter DC offset over voltage
2A Inverter DC bus abnormal
2B Inverter PM not connected
2C Inverter APS fault
2D Inverter over temperature
2E Inverter load sharing error
2F Inverter parallel wire connection error
30 UPS mode incorrect
31 Inverter fuse blown
32 Inverter CPLD clock source fault
33 Bypass SCR short circuit
34 Bypass SCR broken
35 Backfeed on bypass
40 Input wire error
41 Input N missing detection
42 Battery over voltage
43 Battery EOD warning
44 Battery reversed
45 Battery EOD
46 Battery voltage low
47 No battery
48 Input Reversed
49 Input N missing
4A Input frequency out of tol.
4B Input voltage out of tol.
4C PFC communication abnormal
4D Input unavailable
4E Rectifier setting incorrect
4F Mains unable to trace in 1:1 mode
50 Mains relay short circuit
51 Mains relay broken
60 Inverter parallel signal abnormal
61 Inverter overload
62 Inverter out of sync.
63 Output abnormal
64 Bypass overload
65 Inverter communication abnormal
66 Inverter setting incorrect
67 Bypass input relay short circuit
68 Bypass input relay broken
69 Bypass unable to trace
6A Bypass unavailable
6B Bypass switch too frequent
6C Bypass reversed
70 Battery self-test error
71 No battery temperature sensor
72 Battery over temperature
73 Monitor EEPROM error
74 Parallel CAN abnormal
75 Battery over temperature critical
76 Ambient temperature >40℃ or < -20℃
77 Battery temperature low
78 Need to check battery
)";
