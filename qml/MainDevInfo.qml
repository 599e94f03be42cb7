import QtQuick 2.15
import Quelta 1.0

// The device status column: picks the words and tones for what the status view decided.
MainDevInfoForm {
    id: info

    readonly property int link: status ? status.linkState : DevStatusView.LinkUnknown

    function flagText(state, activeText) {
        return state === DevStatusView.FlagActive ? activeText
             : state === DevStatusView.FlagNormal ? qsTr("Normal") : "--"
    }
    function flagTone(state, activeTone) {
        return state === DevStatusView.FlagActive ? activeTone
             : state === DevStatusView.FlagNormal ? "ok" : "idle"
    }

    UpsStateLook {
        id: look
        status: info.status
    }
    linkText: look.text
    linkProblem: status && status.source && !status.online ? DevComm.linkProblem : ""
    linkColor: look.color
    countdownTitle: status && status.cardMode === DevStatusView.CardOutputOff ? qsTr("UPS Output Off In")
                  : ServiceShutdown.endDoesNothing ? qsTr("Countdown, Nothing Set to Happen at Its End")
                  : qsTr("System Shutdown CountDown")
    cancelText: !status ? ""
              : status.cancelKind === DevStatusView.CancelShutdown ? qsTr("Cancel shutdown")
              : status.cancelKind === DevStatusView.CancelOutputOff ? qsTr("Cancel output off") : ""
    cancelButton.onClicked: status.cancel("countdown card")
    commText: link === DevStatusView.LinkOnline ? qsTr("Conneted")
            : link === DevStatusView.LinkOffline ? qsTr("Disconnected") : "--"
    commTone: link === DevStatusView.LinkOnline ? "ok" : link === DevStatusView.LinkOffline ? "fault" : "idle"

    inputText: status ? flagText(status.inputState, qsTr("Fault")) : "--"
    inputTone: status ? flagTone(status.inputState, "fault") : "idle"
    batteryText: status ? flagText(status.batteryState, qsTr("Low")) : "--"
    batteryTone: status ? flagTone(status.batteryState, "warn") : "idle"
    faultText: status ? flagText(status.faultState, qsTr("Fault")) : "--"
    faultTone: status ? flagTone(status.faultState, "fault") : "idle"

    workText: !status ? "--"
            : status.workMode === DevStatusView.WorkOnBattery ? qsTr("On Battery")
            : status.workMode === DevStatusView.WorkOnBypass ? qsTr("On Bypass")
            : status.workMode === DevStatusView.WorkBoostOrBuck ? qsTr("Boost or buck")
            : status.workMode === DevStatusView.WorkOnMains ? qsTr("On Mains") : "--"
    workTone: !status ? "idle"
            : status.workMode === DevStatusView.WorkOnBattery ? "warn"
            : status.workMode === DevStatusView.WorkOnBypass || status.workMode === DevStatusView.WorkBoostOrBuck ? "info"
            : status.workMode === DevStatusView.WorkOnMains ? "ok" : "idle"

    selfTestText: !status ? "--"
                : status.selfTestState === DevStatusView.FlagActive ? qsTr("In progress")
                : status.selfTestState === DevStatusView.FlagNormal ? qsTr("No") : "--"
    selfTestTone: !status ? "idle"
                : status.selfTestState === DevStatusView.FlagActive ? "info"
                : status.selfTestState === DevStatusView.FlagNormal ? "ok" : "idle"
}
