import QtQuick 2.15
import Quelta 1.0
import "MailAddress.js" as MailAddress

// The SMTP login; the account must be a mail address.
PopupSetEMailSenderForm {
    id: popup

    property var msgDialog: null

    function open() {
        textFieldAccount.text = Settings.getSettings("email/authName")
        textFieldPassword.text = Settings.getSettings("email/authPasswd")
        visible = true
        textFieldAccount.forceActiveFocus()
    }

    function refuse(text) {
        msgDialog.text = text
        msgDialog.dialogType = UiEnums.MsgDialogWarning
        msgDialog.buttons = UiEnums.MsgDialogButtonSure
        msgDialog.open()
    }

    function accept() {
        if (!MailAddress.isValid(textFieldAccount.text)) {
            refuse(qsTr("User account is invalid!"))
            return
        }
        Settings.setSettings("email/authName", textFieldAccount.text)
        Settings.setSettings("email/authPasswd", textFieldPassword.text)
        visible = false
    }

    function close() {
        visible = false
    }

    buttonSure.onClicked: accept()
    buttonCancel.onClicked: close()
}
