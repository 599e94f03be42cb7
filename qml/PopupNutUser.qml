import QtQuick 2.15
import Quelta 1.0

// Adds an account of the network server (row -1) or changes the role or password of the one in
// `row`; what the account list refuses is said in the message box and the card stays open.
PopupNutUserForm {
    id: popup

    property int row: -1
    property var msgDialog: null
    readonly property var roles: ["monitor", "admin"]

    function openAdd() {
        row = -1
        textFieldName.text = ""
        textFieldName.enabled = true
        comboBoxRole.currentIndex = 0
        textFieldPassword.text = ""
        labelPasswordHint.text = qsTr("1 to 64 characters without blanks, quotes, backslashes or #.")
        visible = true
        textFieldName.forceActiveFocus()
    }

    function openModify(userRow, user) {
        row = userRow
        textFieldName.text = user.name
        textFieldName.enabled = false
        comboBoxRole.currentIndex = Math.max(0, roles.indexOf(user.role))
        textFieldPassword.text = ""
        labelPasswordHint.text = qsTr("Leave the password empty to keep it.")
        visible = true
        textFieldPassword.forceActiveFocus()
    }

    function accept() {
        var users = ServiceNetwork.users
        var role = roles[comboBoxRole.currentIndex]
        var problem = row < 0 ? users.addUser(textFieldName.text, role, textFieldPassword.text)
                              : users.updateUser(row, role, textFieldPassword.text)
        if (problem !== "") {
            msgDialog.text = problem
            msgDialog.dialogType = UiEnums.MsgDialogWarning
            msgDialog.buttons = UiEnums.MsgDialogButtonSure
            msgDialog.open()
            return
        }
        textFieldPassword.text = ""
        visible = false
    }

    function open() {
        openAdd()
    }

    function close() {
        textFieldPassword.text = ""
        visible = false
    }

    buttonSure.onClicked: accept()
    buttonCancel.onClicked: close()
    textFieldPassword.onAccepted: accept()
}
