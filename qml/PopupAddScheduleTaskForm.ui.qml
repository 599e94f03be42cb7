import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15

// A modal card over the page: the backdrop swallows every click outside it.
Rectangle {
    id: root

    property alias labelTitle: labelTitle
    property alias comboBoxTaskType: comboBoxTaskType
    property alias textFieldHour: textFieldHour
    property alias textFieldMinute: textFieldMinute
    property alias textFieldSecond: textFieldSecond
    property alias comboBoxCycle: comboBoxCycle
    property alias buttonSure: buttonSure
    property alias buttonCancel: buttonCancel

    color: "#8015202b"

    Component {
        id: fieldStyle
        TextFieldStyle {
            textColor: Theme.text
            placeholderTextColor: Theme.textFaint
            selectionColor: Theme.accentSoft
            selectedTextColor: Theme.text
            padding {
                left: 10
                right: 10
            }
            background: Rectangle {
                implicitWidth: 160
                implicitHeight: Theme.controlHeight
                radius: Theme.radius
                color: control.enabled ? Theme.card : Theme.cardAlt
                border.width: control.activeFocus ? 2 : 1
                border.color: control.activeFocus || control.hovered ? Theme.accent : Theme.border
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.AllButtons
        onWheel: wheel.accepted = true
    }

    Rectangle {
        id: card
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

            Text {
                id: labelTitle
                objectName: "labelTitle"
                color: Theme.text
                font.pixelSize: Theme.fontTitle
                font.bold: true
            }

            GridLayout {
                columns: 2
                rowSpacing: 12
                columnSpacing: 12
                Layout.fillWidth: true

                Text {
                    text: qsTr("Task Type:")
                    color: Theme.textDim
                    font.pixelSize: Theme.fontBody
                }
                SettingsComboBox {
                    id: comboBoxTaskType
                    objectName: "comboBoxTaskType"
                    Layout.fillWidth: true
                    // Texts in a list are looked up under "PopupAddScheduleTaskForm" without ".ui"; name the context.
                    model: [
                        qsTranslate("PopupAddScheduleTaskForm.ui", "Self-test for 10S"),
                        qsTranslate("PopupAddScheduleTaskForm.ui", "Self-test to EOD"),
                        qsTranslate("PopupAddScheduleTaskForm.ui", "UPS Power on"),
                        qsTranslate("PopupAddScheduleTaskForm.ui", "Shutdown system and close UPS")
                    ]
                }

                Text {
                    text: qsTr("Execute Time:")
                    color: Theme.textDim
                    font.pixelSize: Theme.fontBody
                }
                RowLayout {
                    spacing: 4
                    TextField {
                        id: textFieldHour
                        style: fieldStyle
                        objectName: "textFieldHour"
                        Layout.preferredWidth: 48
                        horizontalAlignment: TextInput.AlignHCenter
                        maximumLength: 2
                        validator: IntValidator {
                            bottom: 0
                            top: 23
                        }
                    }
                    Text {
                        text: ":"
                        color: Theme.textDim
                        font.pixelSize: Theme.fontLarge
                    }
                    TextField {
                        id: textFieldMinute
                        style: fieldStyle
                        objectName: "textFieldMinute"
                        Layout.preferredWidth: 48
                        horizontalAlignment: TextInput.AlignHCenter
                        maximumLength: 2
                        validator: IntValidator {
                            bottom: 0
                            top: 59
                        }
                    }
                    Text {
                        text: ":"
                        color: Theme.textDim
                        font.pixelSize: Theme.fontLarge
                    }
                    TextField {
                        id: textFieldSecond
                        style: fieldStyle
                        objectName: "textFieldSecond"
                        Layout.preferredWidth: 48
                        horizontalAlignment: TextInput.AlignHCenter
                        maximumLength: 2
                        validator: IntValidator {
                            bottom: 0
                            top: 59
                        }
                    }
                }

                Text {
                    text: qsTr("Execute Cyle:")
                    color: Theme.textDim
                    font.pixelSize: Theme.fontBody
                }
                SettingsComboBox {
                    id: comboBoxCycle
                    objectName: "comboBoxCycle"
                    Layout.fillWidth: true
                    // Texts in a list are looked up under "PopupAddScheduleTaskForm" without ".ui"; name the context.
                    model: [
                        qsTranslate("PopupAddScheduleTaskForm.ui", "One Shoot"),
                        qsTranslate("PopupAddScheduleTaskForm.ui", "Every day"),
                        qsTranslate("PopupAddScheduleTaskForm.ui", "Every Week"),
                        qsTranslate("PopupAddScheduleTaskForm.ui", "Every Month")
                    ]
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
