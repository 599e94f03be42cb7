import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15

Item {
    id: root

    property alias labelTitle: labelTitle
    property alias groupOrder: groupOrder
    property alias radioSelfTest10S: radioSelfTest10S
    property alias radioSelfTestEOD: radioSelfTestEOD
    property alias radioSelfTestCustom: radioSelfTestCustom
    property alias spinBoxTestMinutes: spinBoxTestMinutes
    property alias radioSelfTestCancel: radioSelfTestCancel
    property alias radioCloseOutput: radioCloseOutput
    property alias spinBoxCloseDelay: spinBoxCloseDelay
    property alias radioCancelCloseOutput: radioCancelCloseOutput
    property alias radioBuzzer: radioBuzzer
    property alias buttonSure: buttonSure
    property alias msgDialog: msgDialog

    component Choice: RadioButton {
        exclusiveGroup: groupOrder
        Layout.preferredHeight: 34
        style: RadioButtonStyle {
            spacing: 10
            indicator: Rectangle {
                implicitWidth: 18
                implicitHeight: 18
                radius: 9
                color: Theme.card
                border.width: control.checked || control.activeFocus ? 2 : 1
                border.color: control.checked || control.hovered ? Theme.accent : Theme.border
                Rectangle {
                    anchors.centerIn: parent
                    width: 8
                    height: 8
                    radius: 4
                    color: Theme.accent
                    visible: control.checked
                }
            }
            label: Text {
                text: control.text
                color: control.enabled ? Theme.text : Theme.textFaint
                font.pixelSize: Theme.fontBody
                font.bold: control.checked
            }
        }
    }

    component Separator: Rectangle {
        Layout.fillWidth: true
        Layout.columnSpan: 2
        Layout.topMargin: 4
        Layout.bottomMargin: 4
        height: 1
        color: Theme.divider
    }

    ExclusiveGroup {
        id: groupOrder
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: Theme.margin + 8
        spacing: Theme.margin

        Text {
            id: labelTitle
            text: qsTr("UPS Control")
            color: Theme.text
            font.pixelSize: Theme.fontHeading
            font.bold: true
        }

        Rectangle {
            Layout.preferredWidth: 560
            Layout.preferredHeight: cardLayout.implicitHeight + 2 * Theme.margin
            radius: Theme.radiusLarge
            color: Theme.card
            border.color: Theme.border

            ColumnLayout {
                id: cardLayout
                anchors.fill: parent
                anchors.margins: Theme.margin
                spacing: 0

                GridLayout {
                    Layout.fillWidth: true
                    columns: 2
                    rowSpacing: 0
                    columnSpacing: Theme.margin

                    Choice {
                        id: radioSelfTest10S
                        objectName: "radioSelfTest10S"
                        text: qsTr("UPS Self-test for 10S")
                        checked: true
                        Layout.columnSpan: 2
                    }
                    Choice {
                        id: radioSelfTestEOD
                        objectName: "radioSelfTestEOD"
                        text: qsTr("UPS Self-test to EOD")
                        Layout.columnSpan: 2
                    }
                    Choice {
                        id: radioSelfTestCustom
                        objectName: "radioSelfTestCustom"
                        text: qsTr("UPS Self-test for(1~99)")
                        Layout.fillWidth: true
                    }
                    SpinBox {
                        id: spinBoxTestMinutes
                        objectName: "spinBoxTestMinutes"
                        Layout.preferredWidth: 80
                        minimumValue: 1
                        maximumValue: 99
                        value: 1
                        enabled: radioSelfTestCustom.checked
                    }
                    Choice {
                        id: radioSelfTestCancel
                        objectName: "radioSelfTestCancel"
                        text: qsTr("UPS Self-test cancel")
                        Layout.columnSpan: 2
                    }

                    Separator {}

                    Choice {
                        id: radioCloseOutput
                        objectName: "radioCloseOutput"
                        text: qsTr("UPS close output in(0~9)")
                        Layout.fillWidth: true
                    }
                    SpinBox {
                        id: spinBoxCloseDelay
                        objectName: "spinBoxCloseDelay"
                        Layout.preferredWidth: 80
                        minimumValue: 0
                        maximumValue: 9
                        value: 0
                        enabled: radioCloseOutput.checked
                    }
                    Choice {
                        id: radioCancelCloseOutput
                        objectName: "radioCancelCloseOutput"
                        text: qsTr("Cancel UPS close output")
                        Layout.columnSpan: 2
                    }

                    Separator {}

                    Choice {
                        id: radioBuzzer
                        objectName: "radioBuzzer"
                        text: qsTr("UPS buzzer toggle")
                        Layout.columnSpan: 2
                    }
                }

                Button {
                    id: buttonSure
                    objectName: "buttonSure"
                    Layout.alignment: Qt.AlignRight
                    Layout.topMargin: Theme.margin
                    text: qsTr("Sure")
                    style: CommonButtonStyle {}
                }
            }
        }

        Item {
            Layout.fillHeight: true
        }
    }

    MsgDialog {
        id: msgDialog
        objectName: "msgDialog"
    }
}
