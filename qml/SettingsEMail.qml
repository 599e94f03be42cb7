import QtQuick 2.15
import Quelta 1.0
import "MailAddress.js" as MailAddress

SettingsEMailForm {
    id: page

    property bool loading: false
    // Set once the fields hold the service's values; nothing is written back before.
    property bool ready: false
    readonly property bool writing: ready && !loading
    // Only the test mail this page asked for is reported here.
    property bool testing: false

    // The service's values into the fields (at start and after an import or a restore).
    function refresh() {
        loading = true
        switchEnable.checked = ServiceEMail.enable
        textFieldSenderName.text = ServiceEMail.senderName
        textFieldSenderAddress.text = ServiceEMail.senderAddress
        textFieldSenderAddress.refused = !senderAcceptable() // a hand-edited or imported one
        textFieldServerAddress.text = ServiceEMail.serverAddress
        textFieldServerPort.text = ServiceEMail.serverPort > 0 ? String(ServiceEMail.serverPort) : ""
        comboBoxEncrypt.currentIndex = ServiceEMail.encrypt >= 0 && ServiceEMail.encrypt < comboBoxEncrypt.model.length
                ? ServiceEMail.encrypt : 0
        checkBoxAuth.checked = ServiceEMail.authEnable
        checkBoxDaily.checked = ServiceEMail.dailyEnable
        spinBoxDailyHour.value = Math.max(0, ServiceEMail.dailyHour)
        spinBoxDailyMinute.value = Math.max(0, ServiceEMail.dailyMinute)
        spinBoxDailySecond.value = Math.max(0, ServiceEMail.dailySecond)
        loading = false
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
            popupAddEMailUser.openModify(row, listModelEMailUser.get(row))
    }

    function deleteUser() {
        var row = listViewUser.currentIndex
        if (row < 0)
            return
        listModelEMailUser.delUser(row)
        listViewUser.currentIndex = -1
    }

    Component.onCompleted: {
        refresh()
        ready = true
    }

    switchEnable.onCheckedChanged: if (writing) ServiceEMail.enable = switchEnable.checked
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
        if (!ready || loading)
            return true
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
    checkBoxAuth.onCheckedChanged: if (writing) ServiceEMail.authEnable = checkBoxAuth.checked
    buttonAuthSettings.onClicked: popupSetEMailSender.open()
    buttonTestMail.onClicked: sendTestMail()
    buttonTestMail.enabled: !testing

    buttonAddUser.onClicked: addUser()
    buttonModifyUser.onClicked: modifyUser()
    buttonDeleteUser.onClicked: deleteUser()

    checkBoxDaily.onCheckedChanged: if (writing) ServiceEMail.dailyEnable = checkBoxDaily.checked
    spinBoxDailyHour.onEdited: ServiceEMail.dailyHour = number
    spinBoxDailyMinute.onEdited: ServiceEMail.dailyMinute = number
    spinBoxDailySecond.onEdited: ServiceEMail.dailySecond = number

    Connections {
        target: ServiceEMail
        function onEmailFinished() {
            page.testMailDone(true, "")
        }
        function onEmailFailed(msg) {
            page.testMailDone(false, msg)
        }
    }

    Connections {
        target: SettingsFileExchange
        function onSettingsChanged() {
            page.refresh()
        }
    }

    Connections {
        target: Translator
        function onLanguageChanged() {
            page.loading = true
        comboBoxEncrypt.currentIndex = ServiceEMail.encrypt >= 0 && ServiceEMail.encrypt < comboBoxEncrypt.model.length
                    ? ServiceEMail.encrypt : 0
            page.loading = false
        }
    }
}
