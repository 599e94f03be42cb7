import QtQuick 2.15
import Qt.labs.platform 1.1 as Platform
import Quelta 1.0

SettingsCommonForm {
    id: page

    readonly property var baudRates: [2400, 4800, 9600, 19200, 38400]
    // Set once the battery's date field holds the stored day; it writes nothing back before.
    property bool ready: false

    // The fields follow the link, the translator and the settings, whoever changes them (this
    // page, an import, a restore). A language switch gives the boxes new lists, whose index falls
    // back to 0: the boxes' bindings read the language too, so they are put back after it.
    SettingValue { id: saveCycle; key: "ups/saveCycle" }
    SettingValue { id: notifyOn; key: "notify/enable" }
    SettingValue { id: replaceMonths; key: "battery/replaceMonths" }
    SettingValue { id: nutHost; key: "ups/nutHost" }
    SettingValue { id: nutPort; key: "ups/nutPort" }
    SettingValue { id: nutUps; key: "ups/nutUps" }
    SettingValue { id: nutUser; key: "ups/nutUser" }
    SettingValue { id: nutPassword; key: "ups/nutPassword" }
    SettingValue { id: nutCaFile; key: "ups/nutCaFile" }
    SettingValue { id: nutAllowPlain; key: "ups/nutAllowPlain" }
    Binding {
        target: comboBoxCommType
        property: "currentIndex"
        value: (Translator.languageInUse, DevComm.commType === DevComm.COM ? 1 : DevComm.commType === DevComm.NUT ? 2 : 0)
    }
    Binding {
        target: comboBoxBaud
        property: "currentIndex"
        value: (Translator.languageInUse, Math.max(0, baudRates.indexOf(Number(DevComm.baud))))
    }
    // The port in use, also one typed or set elsewhere that is not among the ports found.
    Binding {
        target: comboBoxComPort
        property: "currentIndex"
        value: (Translator.languageInUse, DevComm.comPortIndex)
    }
    Binding { target: spinBoxSaveCycle; property: "value"; value: saveCycle.value }
    Binding { target: checkBoxAutoLanguage; property: "checked"; value: Translator.autoLanguage }
    Binding { target: checkBoxStartWithDesktop; property: "checked"; value: SettingsFileExchange.startWithDesktop }
    // The language shown, also while it follows the system.
    Binding { target: comboBoxLanguage; property: "currentIndex"; value: Translator.languageInUse }
    Binding { target: checkBoxNotify; property: "checked"; value: notifyOn.value }
    Binding { target: spinBoxReplaceMonths; property: "value"; value: replaceMonths.value }
    Binding { target: textFieldNutHost; property: "text"; value: nutHost.value }
    Binding { target: textFieldNutPort; property: "text"; value: String(nutPort.value) }
    Binding { target: textFieldNutUps; property: "text"; value: nutUps.value }
    Binding { target: textFieldNutUser; property: "text"; value: nutUser.value }
    Binding { target: textFieldNutPassword; property: "text"; value: nutPassword.value }
    Binding { target: textFieldNutCaFile; property: "text"; value: nutCaFile.value }
    Binding { target: checkBoxNutAllowPlain; property: "checked"; value: nutAllowPlain.value }

    labelBatteryDue.text: BatteryAge.dueDate === "" ? qsTr("Counted from the first day a UPS answers.")
                        : BatteryAge.due ? qsTr("Replacement due since %1.").arg(BatteryAge.dueDate)
                        : qsTr("Replacement due on %1.").arg(BatteryAge.dueDate)
    labelBatteryDue.color: BatteryAge.due ? Theme.fault : Theme.textDim

    // The stored installation day, when there is one; the field keeps its own day until then.
    function showInstalledDate() {
        if (BatteryAge.installedDate !== "")
            dateBatteryInstalled.date = new Date(BatteryAge.installedDate + "T12:00:00")
    }

    // The restore waits for the answer to its question; the other messages only inform.
    property bool restorePending: false

    function inform(text) {
        restorePending = false
        msgDialog.text = text
        msgDialog.dialogType = UiEnums.MsgDialogInformation
        msgDialog.buttons = UiEnums.MsgDialogButtonSure
        msgDialog.open()
    }

    function importFrom(url) {
        // A file that could not be read or written is a failure, not a finished operation; what
        // could not be stored is named.
        if (SettingsFileExchange.settingsImport(url))
            inform(qsTr("Operation finished!"))
        else
            inform([qsTr("Operation failed!")].concat(SettingsFileExchange.importFailures).join("\n"))
    }

    // The file a dialog's URL names, as the user knows it ("/home/..." or "C:/...").
    function localPath(url) {
        var text = String(url)
        if (text.indexOf("file://") !== 0)
            return text
        var path = decodeURIComponent(text.substring(7))
        return /^\/[A-Za-z]:\//.test(path) ? path.substring(1) : path
    }

    function exportTo(url) {
        inform(SettingsFileExchange.settingsSaveAs(url)
               ? qsTr("Operation finished!") + "\n" + qsTr("Saved as %1").arg(localPath(url))
               : qsTr("Operation failed!"))
    }

    function restoreDefaults() {
        var changes = SettingsFileExchange.restoreChanges()
        msgDialog.text = qsTr("Are you sure to restore settings?!") + "\n\n\u2022 " + changes.join("\n\u2022 ")
        msgDialog.dialogType = UiEnums.MsgDialogQuestion
        msgDialog.buttons = UiEnums.MsgDialogButtonSure | UiEnums.MsgDialogButtonCancel
        restorePending = true
        msgDialog.open()
    }

    // Unticking "Following System Language" has loaded the box's language already, so a choice
    // equal to the translator's is in force and needs no switch.
    function chooseLanguage(index) {
        if (checkBoxAutoLanguage.checked || Translator.language === index)
            return
        Translator.language = index
    }

    function followSystemLanguage(on) {
        Translator.autoLanguage = on
        if (on) {
            Translator.language = Translator.Auto
        } else if (comboBoxLanguage.currentIndex >= 0) {
            Translator.language = Translator.Auto
            Translator.language = comboBoxLanguage.currentIndex
        }
    }

    Component.onCompleted: {
        showInstalledDate()
        ready = true
    }

    // A box also reports as chosen the entry its binding puts back after a language switch gave
    // it a new list (when that entry was the last one clicked): only a choice that differs from
    // the link in use opens anything, so the link is never touched by a switch.
    function chooseType(index) {
        var type = index === 1 ? DevComm.COM : index === 2 ? DevComm.NUT : DevComm.USB
        if (type !== DevComm.commType)
            DevComm.openDevice(type, type === DevComm.COM ? DevComm.portName(DevComm.comPortIndex) : "")
    }
    function choosePort(name) {
        if (DevComm.commType !== DevComm.COM || name !== DevComm.portName(DevComm.comPortIndex))
            DevComm.openDevice(DevComm.COM, name)
    }
    // A path typed in the box: "None" (in the language shown) or nothing chooses none.
    function typedPort(text) {
        var name = text.trim()
        var index = DevComm.comPort.indexOf(name)
        choosePort(index >= 0 ? DevComm.portName(index) : name === "" ? "" : name)
        // The box shows what is in force again (a path it could not take stays in the list).
        comboBoxComPort.currentIndex = DevComm.comPortIndex
    }

    comboBoxCommType.onActivated: chooseType(index)
    cardNut.visible: comboBoxCommType.currentIndex === 2
    // Each field of the network link is stored when its editing ends; the link takes the
    // fields of one edit together.
    textFieldNutHost.onEditingFinished: nutHost.set(textFieldNutHost.text.trim())
    textFieldNutPort.onEditingFinished: {
        var port = parseInt(textFieldNutPort.text, 10)
        nutPort.set(port > 0 ? port : nutPort.range["default"])
    }
    textFieldNutUps.onEditingFinished: nutUps.set(textFieldNutUps.text.trim())
    textFieldNutUser.onEditingFinished: nutUser.set(textFieldNutUser.text)
    textFieldNutPassword.onEditingFinished: nutPassword.set(textFieldNutPassword.text)
    textFieldNutCaFile.onEditingFinished: nutCaFile.set(textFieldNutCaFile.text.trim())
    checkBoxNutAllowPlain.onClicked: nutAllowPlain.set(checkBoxNutAllowPlain.checked)
    buttonNutCaFile.onClicked: caFileDialog.open()
    labelNutProblem.text: comboBoxCommType.currentIndex === 2 && DevComm.linkProblem !== ""
                          ? qsTr("No data from the server: %1").arg(DevComm.linkProblem) : ""
    comboBoxComPort.model: DevComm.comPort
    comboBoxComPort.enabled: comboBoxCommType.currentIndex === 1
    labelPortBusy.visible: DevComm.linkBusy
    comboBoxComPort.onActivated: if (index >= 0) choosePort(DevComm.portName(index))
    comboBoxComPort.onAccepted: typedPort(comboBoxComPort.editText)
    labelPortProblem.text: comboBoxCommType.currentIndex === 1 ? DevComm.linkProblem : ""
    comboBoxBaud.enabled: comboBoxCommType.currentIndex === 1
    comboBoxBaud.onActivated: DevComm.setBaud(baudRates[index])
    spinBoxSaveCycle.onEdited: saveCycle.set(number)

    comboBoxLanguage.enabled: !checkBoxAutoLanguage.checked
    // The box reports a choice from inside its click. A switch made there retranslates every
    // binding, which gives the boxes new lists (their index falls back to 0); its binding then puts
    // the chosen index back while the box still holds it as the clicked one, and the box reports
    // the same choice again: a switch inside a switch, until the stack runs out. The switch
    // waits until the box is done with its click.
    comboBoxLanguage.onActivated: Qt.callLater(chooseLanguage, index)
    checkBoxAutoLanguage.onClicked: followSystemLanguage(checkBoxAutoLanguage.checked)
    checkBoxStartWithDesktop.onClicked: {
        if (!SettingsFileExchange.setStartWithDesktop(checkBoxStartWithDesktop.checked))
            inform(qsTr("Operation failed!"))
        checkBoxStartWithDesktop.checked = SettingsFileExchange.startWithDesktop
    }

    buttonImport.onClicked: importDialog.open()
    buttonExport.onClicked: exportDialog.open()
    buttonRestore.onClicked: restoreDefaults()

    checkBoxNotify.onClicked: notifyOn.set(checkBoxNotify.checked)
    dateBatteryInstalled.onTextChanged: {
        if (ready && dateBatteryInstalled.text !== BatteryAge.installedDate)
            BatteryAge.installedDate = dateBatteryInstalled.text
    }
    spinBoxReplaceMonths.onEdited: replaceMonths.set(number)

    labelAppVersion.text: App.version
    labelUsbVersion.text: DevComm.usbVersion

    Connections {
        target: msgDialog
        function onAccepted() {
            if (page.restorePending) {
                page.restorePending = false
                SettingsFileExchange.settingsRestore()
            }
        }
        function onRejected() {
            page.restorePending = false
        }
    }

    Connections {
        target: BatteryAge
        function onChanged() {
            page.showInstalledDate()
        }
    }

    Platform.FileDialog {
        id: caFileDialog
        title: qsTr("Look for...")
        fileMode: Platform.FileDialog.OpenFile
        nameFilters: [qsTr("Certificates (*.pem *.crt)"), qsTr("All files (*)")]
        onAccepted: {
            var path = decodeURIComponent(String(file).replace(/^file:\/\//, ""))
            textFieldNutCaFile.text = path
            nutCaFile.set(path)
        }
    }

    Platform.FileDialog {
        id: importDialog
        title: qsTr("Look for...")
        fileMode: Platform.FileDialog.OpenFile
        nameFilters: [qsTr("Configuration files (*.conf)")]
        folder: Platform.StandardPaths.writableLocation(Platform.StandardPaths.DesktopLocation)
        onAccepted: page.importFrom(file)
    }

    Platform.FileDialog {
        id: exportDialog
        title: qsTr("Save as...")
        fileMode: Platform.FileDialog.SaveFile
        defaultSuffix: "conf"
        nameFilters: [qsTr("Configuration files (*.conf)")]
        folder: Platform.StandardPaths.writableLocation(Platform.StandardPaths.DesktopLocation)
        onAccepted: page.exportTo(file)
    }
}
