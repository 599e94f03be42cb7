import QtQuick 2.15
import Quelta 1.0

// How a UPS state (DevStatusView.upsState) looks wherever it is shown: the header badge, the
// diagram's pill and the tray. Words, colours and tray icon come from here only, so the three
// always agree.
QtObject {
    property int upsState: DevStatusView.UpsWaiting
    // The words of a pending output-off ("Output off in 00:54"), from the status view.
    property string outputOffText
    // Without a UPS to read because another program (the Quelta service, say) holds its port.
    property bool portBusy: DevComm.linkBusy
        && (upsState === DevStatusView.UpsWaiting || upsState === DevStatusView.UpsCommLost)

    readonly property string text: portBusy ? qsTr("Port busy")
        : upsState === DevStatusView.UpsNormal ? qsTr("UPS Normal")
        : upsState === DevStatusView.UpsOnBattery ? qsTr("On Battery")
        : upsState === DevStatusView.UpsBatteryLow ? qsTr("Battery Low")
        : upsState === DevStatusView.UpsOutputOffPending ? outputOffText
        : upsState === DevStatusView.UpsOutputOff ? qsTr("Output Off")
        : upsState === DevStatusView.UpsFault ? qsTr("UPS Fault")
        : upsState === DevStatusView.UpsCommLost ? qsTr("Communication Lost")
        : qsTr("UPS disconnect")
    readonly property color color: upsState === DevStatusView.UpsNormal ? Theme.stateNormal
        : upsState === DevStatusView.UpsOnBattery ? Theme.stateOnBattery
        : upsState === DevStatusView.UpsBatteryLow ? Theme.stateBatteryLow
        : upsState === DevStatusView.UpsOutputOff || upsState === DevStatusView.UpsOutputOffPending ? Theme.stateOutputOff
        : upsState === DevStatusView.UpsFault ? Theme.stateFault
        : upsState === DevStatusView.UpsCommLost ? Theme.stateCommLost : Theme.stateWaiting
    readonly property color softColor: upsState === DevStatusView.UpsNormal ? Theme.stateNormalSoft
        : upsState === DevStatusView.UpsOnBattery ? Theme.stateOnBatterySoft
        : upsState === DevStatusView.UpsBatteryLow ? Theme.stateBatteryLowSoft
        : upsState === DevStatusView.UpsOutputOff || upsState === DevStatusView.UpsOutputOffPending ? Theme.stateOutputOffSoft
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
