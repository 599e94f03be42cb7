import QtQuick 2.15
import Quelta 1.0
import "MailAddress.js" as MailAddress

SettingsEMailForm {
    id: page

    // Only the test mail this page asked for is reported here.
    property bool testing: false

    // The fields follow the service, whoever changes it (this page, an import, a restore); a
    // field the user changes writes its value back.
    Binding { target: switchEnable; property: "checked"; value: ServiceEMail.enable }
    Binding { target: textFieldSenderName; property: "text"; value: ServiceEMail.senderName }
    Binding { target: textFieldSenderAddress; property: "text"; value: ServiceEMail.senderAddress }
    Binding { target: textFieldServerAddress; property: "text"; value: ServiceEMail.serverAddress }
    Binding {
        target: textFieldServerPort
        property: "text"
        value: ServiceEMail.serverPort > 0 ? String(ServiceEMail.serverPort) : ""
    }
    Binding {
        target: comboBoxEncrypt
        property: "currentIndex"
        // Read again after a language switch, which gives the box a new list.
        value: Translator.languageInUse, ServiceEMail.encrypt >= 0 && ServiceEMail.encrypt < 3 ? ServiceEMail.encrypt : 0
    }
    Binding { target: checkBoxAuth; property: "checked"; value: ServiceEMail.authEnable }
    Binding { target: checkBoxDaily; property: "checked"; value: ServiceEMail.dailyEnable }
    Binding { target: spinBoxDailyHour; property: "value"; value: Math.max(0, ServiceEMail.dailyHour) }
    Binding { target: spinBoxDailyMinute; property: "value"; value: Math.max(0, ServiceEMail.dailyMinute) }
    Binding { target: spinBoxDailySecond; property: "value"; value: Math.max(0, ServiceEMail.dailySecond) }

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
        msgDialog.dialogType = ok ? GlobalDataDef.MsgDialogInformation : GlobalDataDef.MsgDialogWarning
        msgDialog.buttons = GlobalDataDef.MsgDialogButtonSure
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

    switchEnable.onCheckedChanged: ServiceEMail.enable = switchEnable.checked
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
        msgDialog.dialogType = GlobalDataDef.MsgDialogWarning
        msgDialog.buttons = GlobalDataDef.MsgDialogButtonSure
        msgDialog.open()
    }

    // The text fields, also when the page is left while one still has the focus. False when the
    // sender's address was refused (and marked).
    function commitFields() {
        ServiceEMail.senderName = textFieldSenderName.text
        textFieldSenderAddress.refused = !senderAcceptable()
        if (!textFieldSenderAddress.refused)
            ServiceEMail.senderAddress = textFieldSenderAddress.text
        ServiceEMail.serverAddress = textFieldServerAddress.text
        var port = parseInt(textFieldServerPort.text, 10)
        if (!isNaN(port) && port > 0 && port <= 65535)
            ServiceEMail.serverPort = port
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
    comboBoxEncrypt.onActivated: ServiceEMail.encrypt = index
    checkBoxAuth.onCheckedChanged: ServiceEMail.authEnable = checkBoxAuth.checked
    buttonAuthSettings.onClicked: popupSetEMailSender.open()
    buttonTestMail.onClicked: sendTestMail()
    buttonTestMail.enabled: !testing

    buttonAddUser.onClicked: addUser()
    buttonModifyUser.onClicked: modifyUser()
    buttonDeleteUser.onClicked: deleteUser()

    checkBoxDaily.onCheckedChanged: ServiceEMail.dailyEnable = checkBoxDaily.checked
    spinBoxDailyHour.onEdited: ServiceEMail.dailyHour = number
    spinBoxDailyMinute.onEdited: ServiceEMail.dailyMinute = number
    spinBoxDailySecond.onEdited: ServiceEMail.dailySecond = number

    Connections {
        target: ServiceEMail
        function onSenderAddressChanged() {
            textFieldSenderAddress.refused = !page.senderAcceptable()
        }
        function onEmailFinished() {
            page.testMailDone(true, "")
        }
        function onEmailFailed(msg) {
            page.testMailDone(false, msg)
        }
    }
}
