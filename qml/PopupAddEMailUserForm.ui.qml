import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15

// A modal card over the page: the backdrop swallows every click outside it.
Rectangle {
    id: root

    property alias textFieldUser: textFieldUser
    property alias buttonSure: buttonSure
    property alias buttonCancel: buttonCancel

    color: "#8015202b"

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        onWheel: wheel.accepted = true
    }

    Rectangle {
        anchors.centerIn: parent
        width: 440
        height: layout.implicitHeight + 2 * Theme.margin + 8
        radius: Theme.radiusLarge
        color: Theme.card
        border.color: Theme.border

        ColumnLayout {
            id: layout
            anchors.fill: parent
            anchors.margins: Theme.margin + 4
            spacing: Theme.margin

            RowLayout {
                spacing: 12
                Text {
                    text: qsTr("E-Mail Receiver:")
                    color: Theme.textDim
                    font.pixelSize: Theme.fontBody
                }
                TextField {
                    id: textFieldUser
                    style: FieldStyle {}
                    objectName: "textFieldUser"
                    Layout.fillWidth: true
                }
            }

            RowLayout {
                Layout.alignment: Qt.AlignRight
                spacing: 12
                Button {
                    id: buttonCancel
                    objectName: "buttonCancel"
                    text: qsTr("Cancel")
                    style: SettingsButtonStyle {}
                }
                Button {
                    id: buttonSure
                    objectName: "buttonSure"
                    text: qsTr("Sure")
                    style: CommonButtonStyle {}
                }
            }
        }
    }
}
