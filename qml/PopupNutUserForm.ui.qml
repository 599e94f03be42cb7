import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15

// A modal card over the page: the backdrop swallows every click outside it.
Rectangle {
    id: root

    property alias textFieldName: textFieldName
    property alias comboBoxRole: comboBoxRole
    property alias textFieldPassword: textFieldPassword
    property alias labelPasswordHint: labelPasswordHint
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

            GridLayout {
                Layout.fillWidth: true
                columns: 2
                rowSpacing: 10
                columnSpacing: 12

                FieldLabel {
                    text: qsTr("User name:")
                }
                TextField {
                    id: textFieldName
                    style: FieldStyle {}
                    objectName: "textFieldName"
                    Layout.fillWidth: true
                }

                FieldLabel {
                    text: qsTr("Role:")
                }
                SettingsComboBox {
                    id: comboBoxRole
                    objectName: "comboBoxRole"
                    Layout.fillWidth: true
                    // Texts in a list are looked up under "PopupNutUserForm" without ".ui"; name the context.
                    model: [
                        qsTranslate("PopupNutUserForm.ui", "Monitor (watch the UPS)"),
                        qsTranslate("PopupNutUserForm.ui", "Admin (also run UPS commands)")
                    ]
                }

                FieldLabel {
                    text: qsTr("Password:")
                }
                TextField {
                    id: textFieldPassword
                    style: FieldStyle {}
                    objectName: "textFieldPassword"
                    Layout.fillWidth: true
                    echoMode: TextInput.Password
                }

                Text {
                    id: labelPasswordHint
                    Layout.columnSpan: 2
                    Layout.fillWidth: true
                    wrapMode: Text.WordWrap
                    color: Theme.textDim
                    font.pixelSize: Theme.fontSmall
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
