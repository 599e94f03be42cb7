import QtQuick 2.15
import Qt.labs.platform 1.1 as Platform
import Quelta 1.0

SettingsShutdownForm {
    id: page

    // The fields follow the settings, whoever writes them (this page, an import, a restore, the
    // command line); a field the user changes writes its value back.
    SettingValue { id: protectionOn; key: "shutdown/enable" }
    SettingValue { id: mainFaultTime; key: "shutdown/mainFaultTime" }
    SettingValue { id: battLowTime; key: "shutdown/battLowTime" }
    SettingValue { id: mainFaultCapacity; key: "shutdown/mainFaultCapacity" }
    SettingValue { id: minRuntime; key: "shutdown/minRuntime" }
    SettingValue { id: osOff; key: "shutdown/osOff" }
    SettingValue { id: execEnable; key: "shutdown/execEnable" }
    SettingValue { id: execFile; key: "shutdown/execFile" }
    SettingValue { id: execTime; key: "shutdown/execTime" }
    SettingValue { id: upsOff; key: "shutdown/UPSOff" }
    SettingValue { id: upsOffTime; key: "shutdown/UPSOffTime" }
    Binding { target: checkBoxPowerControl; property: "checked"; value: protectionOn.value }
    Binding { target: spinBoxMainFaultTime; property: "value"; value: mainFaultTime.value }
    Binding { target: spinBoxBattLowTime; property: "value"; value: battLowTime.value }
    Binding { target: spinBoxMainFaultCap; property: "value"; value: mainFaultCapacity.value }
    Binding { target: spinBoxMinRuntime; property: "value"; value: minRuntime.value }
    Binding { target: checkBoxOsOff; property: "checked"; value: osOff.value }
    Binding { target: checkBoxExec; property: "checked"; value: execEnable.value }
    Binding { target: textFieldExecFile; property: "text"; value: execFile.value }
    Binding { target: spinBoxExecTime; property: "value"; value: execTime.value }
    Binding { target: checkBoxUpsOff; property: "checked"; value: upsOff.value }
    Binding { target: spinBoxUpsOffTime; property: "value"; value: upsOffTime.value }
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

    checkBoxPowerControl.onCheckedChanged: protectionOn.set(checkBoxPowerControl.checked)
    spinBoxMainFaultTime.onEdited: mainFaultTime.set(number)
    spinBoxBattLowTime.onEdited: battLowTime.set(number)
    spinBoxMainFaultCap.onEdited: mainFaultCapacity.set(number)
    spinBoxMinRuntime.onEdited: minRuntime.set(number)
    checkBoxOsOff.onCheckedChanged: osOff.set(checkBoxOsOff.checked)
    checkBoxExec.onCheckedChanged: execEnable.set(checkBoxExec.checked)
    textFieldExecFile.onEditingFinished: execFile.set(textFieldExecFile.text)
    onVisibleChanged: if (!visible) execFile.set(textFieldExecFile.text)
    buttonBrowse.onClicked: commandDialog.open()
    spinBoxExecTime.onEdited: execTime.set(number)
    checkBoxUpsOff.onCheckedChanged: upsOff.set(checkBoxUpsOff.checked)
    spinBoxUpsOffTime.onEdited: upsOffTime.set(number)

    Platform.FileDialog {
        id: commandDialog
        title: qsTr("Browse")
        fileMode: Platform.FileDialog.OpenFile
        folder: Platform.StandardPaths.writableLocation(Platform.StandardPaths.DesktopLocation)
        onAccepted: {
            textFieldExecFile.text = page.commandFromUrl(file)
            execFile.set(textFieldExecFile.text)
        }
    }
}
