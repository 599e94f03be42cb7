import QtQuick 2.15
import Quelta 1.0

// How a UPS state (DevStatusView.upsState) looks wherever it is shown: the header badge, the
// diagram's pill and the tray. Colours and tray icon come from here only, so the three always
// agree; which words is the status view's choice (the web page makes the same), here only
// translated.
QtObject {
    // The view of the UPS shown; none: no UPS yet.
    property DevStatusView status
    readonly property int upsState: status ? status.upsState : DevStatusView.UpsWaiting
    readonly property string wordsKey: status ? status.wordsKey : "waiting"

    readonly property string text: wordsKey === "portbusy" ? qsTr("Port busy")
        : wordsKey === "normal" ? qsTr("UPS Normal")
        : wordsKey === "onbattery" ? qsTr("On Battery")
        : wordsKey === "batterylow" ? qsTr("Battery Low")
        : wordsKey === "outputoffpending" ? qsTr("Output off in %1").arg(status.wordsTime)
        : wordsKey === "outputoffsoon" ? qsTr("Output off pending")
        : wordsKey === "outputoff" ? qsTr("Output Off")
        : wordsKey === "fault" ? qsTr("UPS Fault")
        : wordsKey === "commlost" ? qsTr("Communication Lost")
        : qsTr("UPS disconnect")
    readonly property color color: upsState === DevStatusView.UpsNormal ? Theme.stateNormal
        : upsState === DevStatusView.UpsOnBattery ? Theme.stateOnBattery
        : upsState === DevStatusView.UpsBatteryLow ? Theme.stateBatteryLow
        : upsState === DevStatusView.UpsOutputOffPending ? Theme.stateOutputOffPending
        : upsState === DevStatusView.UpsOutputOff ? Theme.stateOutputOff
        : upsState === DevStatusView.UpsFault ? Theme.stateFault
        : upsState === DevStatusView.UpsCommLost ? Theme.stateCommLost : Theme.stateWaiting
    readonly property color softColor: upsState === DevStatusView.UpsNormal ? Theme.stateNormalSoft
        : upsState === DevStatusView.UpsOnBattery ? Theme.stateOnBatterySoft
        : upsState === DevStatusView.UpsBatteryLow ? Theme.stateBatteryLowSoft
        : upsState === DevStatusView.UpsOutputOffPending ? Theme.stateOutputOffPendingSoft
        : upsState === DevStatusView.UpsOutputOff ? Theme.stateOutputOffSoft
        : upsState === DevStatusView.UpsFault ? Theme.stateFaultSoft
        : upsState === DevStatusView.UpsCommLost ? Theme.stateCommLostSoft : Theme.stateWaitingSoft
    readonly property string trayIcon: "qrc:/res/image/tray_"
        + (upsState === DevStatusView.UpsNormal ? "normal"
           : upsState === DevStatusView.UpsOnBattery ? "onbattery"
           : upsState === DevStatusView.UpsBatteryLow ? "batterylow"
           : upsState === DevStatusView.UpsOutputOff || upsState === DevStatusView.UpsOutputOffPending ? "outputoff"
           : upsState === DevStatusView.UpsFault ? "fault"
           : upsState === DevStatusView.UpsCommLost ? "commlost" : "waiting") + ".ico"
}
