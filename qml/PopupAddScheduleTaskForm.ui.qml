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
    property alias labelDay: labelDay
    property alias dateOneShot: dateOneShot
    property alias comboBoxWeekday: comboBoxWeekday
    property alias textFieldDay: textFieldDay
    property alias labelError: labelError
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
                        property bool refused: false
                        style: FieldStyle {}
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
                        property bool refused: false
                        style: FieldStyle {}
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
                        property bool refused: false
                        style: FieldStyle {}
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

                // The day a one-shot, weekly or monthly task runs on; a daily task has none.
                Text {
                    id: labelDay
                    objectName: "labelDay"
                    visible: comboBoxCycle.currentIndex !== 1
                    text: comboBoxCycle.currentIndex === 0 ? qsTr("Execute Date:") : qsTr("Execute Day:")
                    color: Theme.textDim
                    font.pixelSize: Theme.fontBody
                }
                Item {
                    visible: labelDay.visible
                    Layout.fillWidth: true
                    implicitHeight: Theme.controlHeight

                    DateEdit {
                        id: dateOneShot
                        objectName: "dateOneShot"
                        visible: comboBoxCycle.currentIndex === 0
                        width: 150
                        height: parent.height
                    }
                    SettingsComboBox {
                        id: comboBoxWeekday
                        objectName: "comboBoxWeekday"
                        visible: comboBoxCycle.currentIndex === 2
                        width: parent.width
                        // Texts in a list are looked up under "PopupAddScheduleTaskForm" without ".ui"; name the context.
                        model: [
                            qsTranslate("PopupAddScheduleTaskForm.ui", "Monday"),
                            qsTranslate("PopupAddScheduleTaskForm.ui", "Tuesday"),
                            qsTranslate("PopupAddScheduleTaskForm.ui", "Wednesday"),
                            qsTranslate("PopupAddScheduleTaskForm.ui", "Thursday"),
                            qsTranslate("PopupAddScheduleTaskForm.ui", "Friday"),
                            qsTranslate("PopupAddScheduleTaskForm.ui", "Saturday"),
                            qsTranslate("PopupAddScheduleTaskForm.ui", "Sunday")
                        ]
                    }
                    RowLayout {
                        visible: comboBoxCycle.currentIndex === 3
                        anchors.fill: parent
                        spacing: Theme.gap
                        TextField {
                            id: textFieldDay
                            property bool refused: false
                            style: FieldStyle {}
                            objectName: "textFieldDay"
                            Layout.preferredWidth: 48
                            horizontalAlignment: TextInput.AlignHCenter
                            maximumLength: 2
                            validator: IntValidator {
                                bottom: 1
                                top: 31
                            }
                        }
                        Text {
                            Layout.fillWidth: true
                            text: qsTr("(1~31; the last day in shorter months)")
                            color: Theme.textFaint
                            font.pixelSize: Theme.fontSmall
                            wrapMode: Text.WordWrap
                        }
                    }
                }
            }

            Text {
                id: labelError
                objectName: "labelError"
                Layout.fillWidth: true
                visible: text !== ""
                color: Theme.fault
                font.pixelSize: Theme.fontBody
                wrapMode: Text.WordWrap
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
