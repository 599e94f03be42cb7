import QtQuick 2.15
import Quelta 1.0
import "MailAddress.js" as MailAddress

// Adds a recipient (row -1) or changes the address in `row`; refuses what is not an address.
PopupAddEMailUserForm {
    id: popup

    property int row: -1
    property var msgDialog: null

    function openAdd() {
        row = -1
        textFieldUser.text = ""
        visible = true
        textFieldUser.forceActiveFocus()
    }

    function openModify(userRow, user) {
        row = userRow
        textFieldUser.text = user === undefined || user === null ? "" : String(user)
        visible = true
        textFieldUser.forceActiveFocus()
    }

    function refuse(text) {
        msgDialog.text = text
        msgDialog.dialogType = UiEnums.MsgDialogWarning
        msgDialog.buttons = UiEnums.MsgDialogButtonSure
        msgDialog.open()
    }

    function accept() {
        var user = textFieldUser.text
        if (!MailAddress.isValid(user)) {
            refuse(qsTr("E-Mail address is invalid!"))
            return
        }
        if (row < 0)
            ListModelEMailUser.addUser(user)
        else
            ListModelEMailUser.updateUser(row, user)
        visible = false
    }

    function open() {
        openAdd()
    }

    function close() {
        visible = false
    }

    buttonSure.onClicked: accept()
    buttonCancel.onClicked: close()
    textFieldUser.onAccepted: accept()
}
