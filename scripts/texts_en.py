"""English corrections for translations/en.ts.

The source texts are the keys of every catalogue and stay as they are; en.qm turns those that
are misspelt or ungrammatical into correct English, and leaves every other text untranslated
(the source text is shown). Keyed by source text, or by (context, source) where a context needs
its own wording."""

EN = {
    # Screens
    "Conneted": "Connected",
    "UPS disconnect": "UPS not connected",
    "Execute Cyle:": "Repeat:",
    "Execute Time:": "Time:",
    "Execute Date:": "Date:",
    "Execute Day:": "Day:",
    "Input Frequncy": "Input Frequency",
    "Self-test for 10 secords": "Self-test for 10 seconds",
    "Self-test for 10S": "Self-test for 10 seconds",
    "UPS Self-test for 10S": "UPS self-test for 10 seconds",
    "UPS Self-test to EOD": "UPS self-test to end of discharge",
    "UPS Self-test for(1~99)": "UPS self-test for (1~99)",
    "UPS Self-test cancel": "Cancel the UPS self-test",
    "UPS close output in(0~9)": "Switch the UPS output off in (0~9)",
    "Cancel UPS close output": "Cancel switching the UPS output off",
    "UPS buzzer toggle": "Switch the UPS beeper on or off",
    "Unkown code: ": "Unknown code: ",
    "One Shoot": "Once",
    "Shutdown system and close UPS": "Shut down the system and switch the UPS off",
    "System shutdown and close UPS": "System shutdown and UPS off",
    "Are you sure to delete this task?": "Do you really want to delete this task?",
    "Are you sure to restore settings?!": "Do you really want to restore the default settings?",
    "System Shutdown CountDown": "System Shutdown Countdown",
    "Following System Language": "Follow the system language",
    "Base Parameter": "Basic Parameters",
    "Record data interval(Sec):": "Recording interval (s):",
    "Daily Report Send Time(HH:MM:SS): ": "Daily report time (HH:MM:SS): ",
    "After main AC fault, shutdown system in(0~2880)":
        "After a mains failure, shut down the system in (0~2880)",
    "If low battery occurred, shutdown system in(0~600)":
        "When the battery runs low, shut down the system in (0~600)",
    "After main AC fault, shutdown system when battery capacity lower than(1~100)":
        "After a mains failure, shut down the system when the battery charge is below (1~100)",
    "Times need (1~9)": "Time needed (1~9)",
    "temperature(℃ )": "Temperature (℃)",
    "Look for...": "Browse...",
    # Alarm texts
    "MCU reseted": "MCU reset",
    "Bkfeed relay weld close": "Backfeed relay welded closed",
    "Bkfeed relay weld open": "Backfeed relay welded open",
    "Bkfeed relay locked": "Backfeed relay locked",
    "Output relay weld close": "Output relay welded closed",
    "Output relay weld open": "Output relay welded open",
    "Output meas mismatch": "Output measurement mismatch",
    "Charger meas mismatch": "Charger measurement mismatch",
    "DC bus OV HW CKT": "DC bus over voltage (hardware circuit)",
    "Inverter hardware CKT": "Inverter hardware circuit fault",
    "+Battery low pre alarm": "+Battery low early warning",
    "-Battery low pre alarm": "-Battery low early warning",
    "Input frequency out of tol.": "Input frequency out of tolerance",
    "Input voltage out of tol.": "Input voltage out of tolerance",
    "Buzzer open": "Beeper on",
    "Buzzer silent": "Beeper off",
    "In power off": "UPS shutdown pending",
    "UPS returns from power off": "UPS shutdown ended",
    "On Buck": "On buck",
    "Input Reversed": "Input reversed",
    "Inverter out of sync.": "Inverter out of sync",
    "-DC Bus soft start fail(Line)": "-DC bus soft start fail(line)",
}
