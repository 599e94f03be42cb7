import QtQuick 2.15
import QtQuick.Window 2.15
import Quelta 1.0

// A modal message drawn inside the window: it covers the whole window while open, so it shows in
// screenshots and never blocks a test. open() lifts it to the top of the window.
Item {
    id: dialog

    property string title: App.name
    property string text
    property int dialogType: UiEnums.MsgDialogInformation
    property int buttons: UiEnums.MsgDialogButtonSure
    // The words of the cancel button, where it does more than close the dialog.
    property string cancelText: qsTr("Cancel")
    // Escape closes as "Cancel" does; a dialog whose cancel does more closes as "Sure" does.
    property bool escapeRejects: true
    readonly property bool opened: visible
    // Opened by what the user did: the window takes the keyboard back, which a file dialog that
    // just closed may have left nowhere. A notice that comes by itself leaves it where it is.
    property bool takeKeyboard: true

    signal accepted
    signal rejected

    visible: false
    z: 1000
    anchors.fill: parent

    function open() {
        var top = dialog.parent
        while (top && top.parent)
            top = top.parent
        if (top && top !== dialog.parent)
            dialog.parent = top
        visible = true
        var window = dialog.Window.window
        if (takeKeyboard && window && window.visible)
            window.requestActivate()
        forceActiveFocus()
    }
    function close() {
        visible = false
    }
    function accept() {
        close()
        accepted()
    }
    function reject() {
        close()
        rejected()
    }

    Keys.onEscapePressed: (dialog.escapeRejects && (dialog.buttons & UiEnums.MsgDialogButtonCancel)) ? reject() : accept()
    Keys.onReturnPressed: accept()

    // What the dialog shows is made when it opens, and goes when it closes: most dialogs are never
    // opened, and the window's first frame does not wait for them.
    Loader {
        anchors.fill: parent
        active: dialog.visible
        sourceComponent: Item {
            Rectangle {
                anchors.fill: parent
                color: "#8015202b"
            }
            MouseArea {
                // Swallows every click outside the box: the dialog is modal.
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.AllButtons
                onWheel: wheel.accepted = true
            }

            Text {
                id: measure
                visible: false
                text: dialog.text
                font.pixelSize: Theme.fontLarge
            }

            Rectangle {
                id: box
                anchors.centerIn: parent
                width: Math.min(parent.width - 2 * Theme.margin, 520,
                                Math.max(360, measure.implicitWidth + 40 + 3 * Theme.margin))
                height: column.implicitHeight + 2 * Theme.margin
                radius: Theme.radiusLarge
                color: Theme.card
                border.color: Theme.border

                Column {
                    id: column
                    anchors.fill: parent
                    anchors.margins: Theme.margin
                    spacing: Theme.margin

                    Text {
                        text: dialog.title
                        width: parent.width
                        color: Theme.textDim
                        font.pixelSize: Theme.fontSmall
                        font.bold: true
                        font.capitalization: Font.AllUppercase
                        font.letterSpacing: 1
                        elide: Text.ElideRight
                    }

                    Row {
                        id: body
                        spacing: Theme.margin
                        width: parent.width
                        Image {
                            id: icon
                            visible: dialog.dialogType !== UiEnums.MsgDialogNoIcon
                            width: 40
                            height: 40
                            sourceSize: Qt.size(40, 40)
                            source: dialog.dialogType === UiEnums.MsgDialogWarning ? "qrc:/res/image/dlg_warning.svg"
                                  : dialog.dialogType === UiEnums.MsgDialogQuestion ? "qrc:/res/image/dlg_question.svg"
                                  : "qrc:/res/image/dlg_info.svg"
                        }
                        Text {
                            objectName: "msgDialogText"
                            anchors.verticalCenter: parent.verticalCenter
                            width: body.width - (icon.visible ? icon.width + body.spacing : 0)
                            text: dialog.text
                            wrapMode: Text.Wrap
                            color: Theme.text
                            font.pixelSize: Theme.fontLarge
                        }
                    }

                    Row {
                        anchors.right: parent.right
                        spacing: Theme.gap
                        PlainButton {
                            objectName: "msgDialogCancel"
                            visible: (dialog.buttons & UiEnums.MsgDialogButtonCancel) !== 0
                            text: dialog.cancelText
                            onClicked: dialog.reject()
                        }
                        PlainButton {
                            objectName: "msgDialogSure"
                            visible: (dialog.buttons & UiEnums.MsgDialogButtonSure) !== 0
                            text: qsTr("Sure")
                            accent: true
                            onClicked: dialog.accept()
                        }
                    }
                }
            }
        }
    }
}
