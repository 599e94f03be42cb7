import QtQuick 2.15
import Qt.labs.platform 1.1 as Platform
import Quelta 1.0

SettingsShutdownForm {
    id: page

    property bool loading: false
    // Set once the fields hold the service's values; nothing is written back before.
    property bool ready: false
    readonly property bool writing: ready && !loading

    function refresh() {
        loading = true
        checkBoxPowerControl.checked = ServiceShutdown.queltaOffEnable
        spinBoxMainFaultTime.value = ServiceShutdown.mainFaultOffTime
        spinBoxBattLowTime.value = ServiceShutdown.battLowOffTime
        spinBoxMainFaultCap.value = ServiceShutdown.mainFaultOffCap
        checkBoxOsOff.checked = ServiceShutdown.osOffEnable
        checkBoxExec.checked = Number(ServiceShutdown.execEnable) !== 0
        textFieldExecFile.text = ServiceShutdown.execFile
        spinBoxExecTime.value = ServiceShutdown.execTime
        checkBoxUpsOff.checked = ServiceShutdown.upsOffEnable
        spinBoxUpsOffTime.value = ServiceShutdown.upsOffTime
        loading = false
    }

    // A chosen file as the command line; a path with blanks is quoted so it stays one program.
    function commandFromUrl(url) {
        var path = decodeURIComponent(String(url).replace(/^file:\/\//, ""))
        if (/^\/[A-Za-z]:/.test(path))
            path = path.substring(1)
        return path.indexOf(" ") >= 0 ? "\"" + path + "\"" : path
    }

    Component.onCompleted: {
        refresh()
        ready = true
    }

    checkBoxPowerControl.onCheckedChanged: if (writing) ServiceShutdown.queltaOffEnable = checkBoxPowerControl.checked
    spinBoxMainFaultTime.onEdited: ServiceShutdown.mainFaultOffTime = number
    spinBoxBattLowTime.onEdited: ServiceShutdown.battLowOffTime = number
    spinBoxMainFaultCap.onEdited: ServiceShutdown.mainFaultOffCap = number
    checkBoxOsOff.onCheckedChanged: if (writing) ServiceShutdown.osOffEnable = checkBoxOsOff.checked
    checkBoxExec.onCheckedChanged: if (writing) ServiceShutdown.execEnable = checkBoxExec.checked ? 1 : 0
    textFieldExecFile.onEditingFinished: ServiceShutdown.execFile = textFieldExecFile.text
    onVisibleChanged: if (ready && !visible) ServiceShutdown.execFile = textFieldExecFile.text
    buttonBrowse.onClicked: commandDialog.open()
    spinBoxExecTime.onEdited: ServiceShutdown.execTime = number
    checkBoxUpsOff.onCheckedChanged: if (writing) ServiceShutdown.upsOffEnable = checkBoxUpsOff.checked
    spinBoxUpsOffTime.onEdited: ServiceShutdown.upsOffTime = number

    Connections {
        target: SettingsFileExchange
        function onSettingsChanged() {
            page.refresh()
        }
    }

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
