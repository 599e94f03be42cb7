import QtQuick 2.15
import Quelta 1.0
import "MailAddress.js" as MailAddress

SettingsEMailForm {
    id: page

    // Only the test mail this page asked for is reported here.
    property bool testing: false

    // The fields follow the settings, whoever writes them (this page, an import, a restore, the
    // command line); a field the user changes writes its value back.
    SettingValue { id: enable; key: "email/enable" }
    SettingValue { id: senderName; key: "email/userName" }
    SettingValue { id: senderAddress; key: "email/userAddr" }
    SettingValue { id: serverAddress; key: "email/serverAddr" }
    SettingValue { id: serverPort; key: "email/serverPort" }
    SettingValue { id: encrypt; key: "email/encrypt" }
    SettingValue { id: authEnable; key: "email/authEnable" }
    SettingValue { id: dailyEnable; key: "email/dailyEnable" }
    SettingValue { id: dailyTime; key: "email/dailyTime" }
    // The report's time as [hours, minutes, seconds].
    readonly property var dailyParts: String(dailyTime.value).split(":").map(Number)

    Binding { target: switchEnable; property: "checked"; value: enable.value }
    Binding { target: textFieldSenderName; property: "text"; value: senderName.value }
    Binding { target: textFieldSenderAddress; property: "text"; value: senderAddress.value }
    Binding { target: textFieldServerAddress; property: "text"; value: serverAddress.value }
    Binding { target: textFieldServerPort; property: "text"; value: String(serverPort.value) }
    Binding {
        target: comboBoxEncrypt
        property: "currentIndex"
        // Read again after a language switch, which gives the box a new list.
        value: (Translator.languageInUse, encrypt.value)
    }
    Binding { target: checkBoxAuth; property: "checked"; value: authEnable.value }
    Binding { target: checkBoxDaily; property: "checked"; value: dailyEnable.value }
    Binding { target: spinBoxDailyHour; property: "value"; value: dailyParts[0] }
    Binding { target: spinBoxDailyMinute; property: "value"; value: dailyParts[1] }
    Binding { target: spinBoxDailySecond; property: "value"; value: dailyParts[2] }

    // One part of the report's time (0 hours, 1 minutes, 2 seconds) replaced.
    function setDailyPart(part, number) {
        var parts = dailyParts.slice()
        parts[part] = number
        dailyTime.set(parts.map(function (n) { return (n < 10 ? "0" : "") + n }).join(":"))
    }

    function sendTestMail() {
        if (!commitFields()) {
            refuseSender()
            return
        }
        testing = true
        labelTestMail.text = Qt.binding(function () { return qsTr("Sending test E-Mail...") })
        busyTestMail.running = true
        ServiceEMail.sendTestEMail()
    }

    function testMailDone(ok, reason) {
        if (!testing)
            return
        testing = false
        busyTestMail.running = false
        labelTestMail.text = ""
        msgDialog.text = ok ? qsTr("E-Mail has been sent.") : qsTr("Failed to send test E-Mail!") + (reason ? "\n" + reason : "")
        msgDialog.dialogType = ok ? UiEnums.MsgDialogInformation : UiEnums.MsgDialogWarning
        msgDialog.buttons = UiEnums.MsgDialogButtonSure
        msgDialog.open()
    }

    function addUser() {
        popupAddEMailUser.openAdd()
    }

    function modifyUser() {
        var row = listViewUser.currentIndex
        if (row >= 0)
            popupAddEMailUser.openModify(row, ListModelEMailUser.get(row))
    }

    function deleteUser() {
        var row = listViewUser.currentIndex
        if (row < 0)
            return
        ListModelEMailUser.delUser(row)
        listViewUser.currentIndex = -1
    }

    // A hand-edited or imported sender that is no address is marked as it is shown.
    Component.onCompleted: textFieldSenderAddress.refused = !senderAcceptable()

    switchEnable.onCheckedChanged: enable.set(switchEnable.checked)
    // The sender follows the recipients' rule. An empty one may be stored (the test mail then
    // says it is missing); one that is not an address never is.
    function senderAcceptable() {
        var text = textFieldSenderAddress.text
        return text === "" || MailAddress.isValid(text)
    }

    function refuseSender() {
        if (msgDialog.opened)
            return
        msgDialog.text = qsTr("E-Mail address is invalid!")
        msgDialog.dialogType = UiEnums.MsgDialogWarning
        msgDialog.buttons = UiEnums.MsgDialogButtonSure
        msgDialog.open()
    }

    // The text fields, also when the page is left while one still has the focus. False when the
    // sender's address was refused (and marked).
    function commitFields() {
        senderName.set(textFieldSenderName.text)
        textFieldSenderAddress.refused = !senderAcceptable()
        if (!textFieldSenderAddress.refused)
            senderAddress.set(textFieldSenderAddress.text)
        serverAddress.set(textFieldServerAddress.text)
        var port = parseInt(textFieldServerPort.text, 10)
        if (!isNaN(port) && port > 0 && port <= 65535)
            serverPort.set(port)
        return !textFieldSenderAddress.refused
    }

    onVisibleChanged: if (!visible) commitFields()
    textFieldSenderName.onEditingFinished: commitFields()
    // The message waits until the focus has moved on (Tab, a click elsewhere), or the field
    // taking the focus would keep the keys while the message shows.
    textFieldSenderAddress.onEditingFinished: if (!commitFields()) Qt.callLater(refuseSender)
    textFieldSenderAddress.onTextChanged: {
        if (textFieldSenderAddress.refused && senderAcceptable())
            textFieldSenderAddress.refused = false
    }
    textFieldServerAddress.onEditingFinished: commitFields()
    textFieldServerPort.onEditingFinished: commitFields()
    comboBoxEncrypt.onActivated: encrypt.set(index)
    checkBoxAuth.onCheckedChanged: authEnable.set(checkBoxAuth.checked)
    buttonAuthSettings.onClicked: popupSetEMailSender.open()
    buttonTestMail.onClicked: sendTestMail()
    buttonTestMail.enabled: !testing

    buttonAddUser.onClicked: addUser()
    buttonModifyUser.onClicked: modifyUser()
    buttonDeleteUser.onClicked: deleteUser()

    checkBoxDaily.onCheckedChanged: dailyEnable.set(checkBoxDaily.checked)
    spinBoxDailyHour.onEdited: setDailyPart(0, number)
    spinBoxDailyMinute.onEdited: setDailyPart(1, number)
    spinBoxDailySecond.onEdited: setDailyPart(2, number)

    Connections {
        target: senderAddress
        function onValueChanged() {
            textFieldSenderAddress.refused = !page.senderAcceptable()
        }
    }

    Connections {
        target: ServiceEMail
        function onEmailFinished() {
            page.testMailDone(true, "")
        }
        function onEmailFailed(msg) {
            page.testMailDone(false, msg)
        }
    }
}
