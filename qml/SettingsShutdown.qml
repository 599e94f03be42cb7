import QtQuick 2.15
import Qt.labs.platform 1.1 as Platform
import Quelta 1.0

SettingsShutdownForm {
    id: page

    // The fields follow the service, whoever changes it (this page, an import, a restore); a
    // field the user changes writes its value back.
    Binding { target: checkBoxPowerControl; property: "checked"; value: ServiceShutdown.queltaOffEnable }
    Binding { target: spinBoxMainFaultTime; property: "value"; value: ServiceShutdown.mainFaultOffTime }
    Binding { target: spinBoxBattLowTime; property: "value"; value: ServiceShutdown.battLowOffTime }
    Binding { target: spinBoxMainFaultCap; property: "value"; value: ServiceShutdown.mainFaultOffCap }
    Binding { target: checkBoxOsOff; property: "checked"; value: ServiceShutdown.osOffEnable }
    Binding { target: checkBoxExec; property: "checked"; value: Number(ServiceShutdown.execEnable) !== 0 }
    Binding { target: textFieldExecFile; property: "text"; value: ServiceShutdown.execFile }
    Binding { target: spinBoxExecTime; property: "value"; value: ServiceShutdown.execTime }
    Binding { target: checkBoxUpsOff; property: "checked"; value: ServiceShutdown.upsOffEnable }
    Binding { target: spinBoxUpsOffTime; property: "value"; value: ServiceShutdown.upsOffTime }
    labelEndDoesNothing.visible: ServiceShutdown.endDoesNothing
    labelEndDoesNothing.text: qsTr("Protection is on, but nothing is set to happen at the end of the countdown: the computer stays on. Choose \"Shutdown OS\", a command file or the UPS switch-off.")
    labelUnknownSupplies.visible: SupplyCount.unknown.length > 0
    labelUnknownSupplies.text: qsTr("No watched UPS is named %1: it is never judged and counts as able to feed this computer.")
                               .arg(SupplyCount.unknown.join(", "))

    // A chosen file as the command line; a path with blanks is quoted so it stays one program.
    function commandFromUrl(url) {
        var path = decodeURIComponent(String(url).replace(/^file:\/\//, ""))
        if (/^\/[A-Za-z]:/.test(path))
            path = path.substring(1)
        return path.indexOf(" ") >= 0 ? "\"" + path + "\"" : path
    }

    checkBoxPowerControl.onCheckedChanged: ServiceShutdown.queltaOffEnable = checkBoxPowerControl.checked
    spinBoxMainFaultTime.onEdited: ServiceShutdown.mainFaultOffTime = number
    spinBoxBattLowTime.onEdited: ServiceShutdown.battLowOffTime = number
    spinBoxMainFaultCap.onEdited: ServiceShutdown.mainFaultOffCap = number
    checkBoxOsOff.onCheckedChanged: ServiceShutdown.osOffEnable = checkBoxOsOff.checked
    checkBoxExec.onCheckedChanged: ServiceShutdown.execEnable = checkBoxExec.checked ? 1 : 0
    textFieldExecFile.onEditingFinished: ServiceShutdown.execFile = textFieldExecFile.text
    onVisibleChanged: if (!visible) ServiceShutdown.execFile = textFieldExecFile.text
    buttonBrowse.onClicked: commandDialog.open()
    spinBoxExecTime.onEdited: ServiceShutdown.execTime = number
    checkBoxUpsOff.onCheckedChanged: ServiceShutdown.upsOffEnable = checkBoxUpsOff.checked
    spinBoxUpsOffTime.onEdited: ServiceShutdown.upsOffTime = number

    Platform.FileDialog {
        id: commandDialog
        title: qsTr("Browse")
        fileMode: Platform.FileDialog.OpenFile
        folder: Platform.StandardPaths.writableLocation(Platform.StandardPaths.DesktopLocation)
        onAccepted: {
            textFieldExecFile.text = page.commandFromUrl(file)
            ServiceShutdown.execFile = textFieldExecFile.text
        }
    }
}
