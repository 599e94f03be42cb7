import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15

Item {
    id: root

    property alias checkBoxPowerControl: checkBoxPowerControl
    property alias spinBoxMainFaultTime: spinBoxMainFaultTime
    property alias spinBoxBattLowTime: spinBoxBattLowTime
    property alias spinBoxMainFaultCap: spinBoxMainFaultCap
    property alias checkBoxOsOff: checkBoxOsOff
    property alias checkBoxExec: checkBoxExec
    property alias textFieldExecFile: textFieldExecFile
    property alias buttonBrowse: buttonBrowse
    property alias spinBoxExecTime: spinBoxExecTime
    property alias checkBoxUpsOff: checkBoxUpsOff
    property alias spinBoxUpsOffTime: spinBoxUpsOffTime

    // A white card holding one group of settings.
    component Card: Rectangle {
        default property alias content: body.data

        Layout.fillWidth: true
        implicitHeight: body.implicitHeight + 2 * Theme.margin
        radius: Theme.radiusLarge
        color: Theme.card
        border.color: Theme.border

        ColumnLayout {
            id: body
            x: Theme.margin
            y: Theme.margin
            width: parent.width - 2 * Theme.margin
            spacing: 10
        }
    }

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

    Component {
        id: spinStyle
        SpinBoxStyle {
            textColor: Theme.text
            selectionColor: Theme.accentSoft
            selectedTextColor: Theme.text
            horizontalAlignment: Qt.AlignLeft
            padding {
                left: 10
                right: 22
            }
            background: Rectangle {
                implicitWidth: 80
                implicitHeight: Theme.controlHeight
                radius: Theme.radius
                color: control.enabled ? Theme.card : Theme.cardAlt
                border.width: control.activeFocus ? 2 : 1
                border.color: control.activeFocus || control.hovered ? Theme.accent : Theme.border
            }
            incrementControl: Item {
                implicitWidth: 20
                Image {
                    anchors.centerIn: parent
                    anchors.verticalCenterOffset: 2
                    width: 10
                    height: 10
                    rotation: 180
                    sourceSize: Qt.size(20, 20)
                    source: "qrc:/res/image/chevron_down.svg"
                    opacity: control.enabled ? (styleData.upPressed ? 0.5 : 1.0) : 0.3
                }
            }
            decrementControl: Item {
                implicitWidth: 20
                Image {
                    anchors.centerIn: parent
                    anchors.verticalCenterOffset: -2
                    width: 10
                    height: 10
                    sourceSize: Qt.size(20, 20)
                    source: "qrc:/res/image/chevron_down.svg"
                    opacity: control.enabled ? (styleData.downPressed ? 0.5 : 1.0) : 0.3
                }
            }
        }
    }

    component FieldLabel: Text {
        color: Theme.textDim
        font.pixelSize: Theme.fontBody
    }

    component Divider: Rectangle {
        Layout.fillWidth: true
        height: 1
        color: Theme.divider
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: Theme.margin + 8
        spacing: Theme.margin

        CheckBox {
            id: checkBoxPowerControl
            objectName: "checkBoxPowerControl"
            text: qsTr("Quelta power control")
            style: SettingsCheckBoxStyle {}
        }

        Card {
            enabled: checkBoxPowerControl.checked
            opacity: enabled ? 1.0 : 0.6

            GridLayout {
                Layout.fillWidth: true
                columns: 3
                rowSpacing: 10
                columnSpacing: Theme.margin

                FieldLabel {
                    Layout.fillWidth: true
                    text: qsTr("After main AC fault, shutdown system in(0~2880)")
                }
                SpinBox {
                    id: spinBoxMainFaultTime
                    style: spinStyle
                    objectName: "spinBoxMainFaultTime"
                    Layout.preferredWidth: 80
                    minimumValue: 0
                    maximumValue: 2880
                }
                FieldLabel {
                    text: qsTr("minute(s)")
                }

                FieldLabel {
                    Layout.fillWidth: true
                    text: qsTr("If low battery occurred, shutdown system in(0~600)")
                }
                SpinBox {
                    id: spinBoxBattLowTime
                    style: spinStyle
                    objectName: "spinBoxBattLowTime"
                    Layout.preferredWidth: 80
                    minimumValue: 0
                    maximumValue: 600
                }
                FieldLabel {
                    text: qsTr("minute(s)")
                }

                FieldLabel {
                    Layout.fillWidth: true
                    text: qsTr("After main AC fault, shutdown system when battery capacity lower than(1~100)")
                }
                SpinBox {
                    id: spinBoxMainFaultCap
                    style: spinStyle
                    objectName: "spinBoxMainFaultCap"
                    Layout.preferredWidth: 80
                    minimumValue: 1
                    maximumValue: 100
                }
                FieldLabel {
                    text: "%"
                }
            }
        }

        Card {
            enabled: checkBoxPowerControl.checked
            opacity: enabled ? 1.0 : 0.6

            CheckBox {
                id: checkBoxOsOff
                objectName: "checkBoxOsOff"
                text: qsTr("Shutdown OS")
                style: SettingsCheckBoxStyle {}
            }

            Divider {}

            CheckBox {
                id: checkBoxExec
                objectName: "checkBoxExec"
                text: qsTr("Command file to execute:")
                style: SettingsCheckBoxStyle {}
            }
            GridLayout {
                Layout.fillWidth: true
                Layout.leftMargin: 26
                columns: 3
                rowSpacing: 8
                columnSpacing: Theme.gap
                enabled: checkBoxExec.checked

                FieldLabel {
                    text: qsTr("Command file:")
                }
                TextField {
                    id: textFieldExecFile
                    style: fieldStyle
                    objectName: "textFieldExecFile"
                    Layout.fillWidth: true
                }
                Button {
                    id: buttonBrowse
                    objectName: "buttonBrowse"
                    text: qsTr("Browse")
                    style: SettingsButtonStyle {}
                }

                FieldLabel {
                    text: qsTr("Max. execution time:")
                }
                RowLayout {
                    Layout.columnSpan: 2
                    spacing: Theme.gap
                    SpinBox {
                        id: spinBoxExecTime
                        style: spinStyle
                        objectName: "spinBoxExecTime"
                        Layout.preferredWidth: 80
                        minimumValue: 1
                        maximumValue: 30
                    }
                    FieldLabel {
                        text: qsTr("minute(s)")
                    }
                }
            }

            Divider {}

            CheckBox {
                id: checkBoxUpsOff
                objectName: "checkBoxUpsOff"
                text: qsTr("UPS Power Off")
                style: SettingsCheckBoxStyle {}
            }
            RowLayout {
                Layout.leftMargin: 26
                spacing: Theme.gap
                enabled: checkBoxUpsOff.checked

                FieldLabel {
                    text: qsTr("Times need (1~9)")
                }
                SpinBox {
                    id: spinBoxUpsOffTime
                    style: spinStyle
                    objectName: "spinBoxUpsOffTime"
                    Layout.preferredWidth: 80
                    minimumValue: 1
                    maximumValue: 9
                }
                FieldLabel {
                    text: qsTr("minute(s) before UPS turns off")
                }
            }
        }

        Item {
            Layout.fillHeight: true
        }
    }
}
