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
    property alias labelUnavailable: labelUnavailable
    property alias msgDialog: msgDialog

    Component {
        id: choiceStyle
        RadioButtonStyle {
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
                // The mark shows the choice; a bold label would widen the card as it moves.
                color: control.enabled ? Theme.text : Theme.textFaint
                font.pixelSize: Theme.fontBody
            }
        }
    }

    component Separator: Rectangle {
        Layout.fillWidth: true
        Layout.topMargin: 6
        Layout.bottomMargin: 6
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
            implicitWidth: Math.max(560, cardLayout.implicitWidth + 2 * Theme.margin)
            implicitHeight: cardLayout.implicitHeight + 2 * Theme.margin
            radius: Theme.radiusLarge
            color: Theme.card
            border.color: Theme.border

            // Placed, not anchored: its height is its own, so the card's height can follow it
            // without a loop when every binding is evaluated again (a language switch).
            ColumnLayout {
                id: cardLayout
                x: Theme.margin
                y: Theme.margin
                width: parent.width - 2 * Theme.margin
                spacing: 0

                RowLayout {
                    Layout.preferredHeight: 36
                    spacing: Theme.margin
                    RadioButton {
                        id: radioSelfTest10S
                        objectName: "radioSelfTest10S"
                        text: qsTr("UPS Self-test for 10S")
                        exclusiveGroup: groupOrder
                        style: choiceStyle
                        checked: true
                    }
                }
                RowLayout {
                    Layout.preferredHeight: 36
                    spacing: Theme.margin
                    RadioButton {
                        id: radioSelfTestEOD
                        objectName: "radioSelfTestEOD"
                        text: qsTr("UPS Self-test to EOD")
                        exclusiveGroup: groupOrder
                        style: choiceStyle
                    }
                }
                RowLayout {
                    Layout.preferredHeight: 36
                    spacing: Theme.margin
                    RadioButton {
                        id: radioSelfTestCustom
                        objectName: "radioSelfTestCustom"
                        text: qsTr("UPS Self-test for(1~99)")
                        Layout.preferredWidth: Math.max(250, radioSelfTestCustom.implicitWidth, radioCloseOutput.implicitWidth)
                        exclusiveGroup: groupOrder
                        style: choiceStyle
                    }
                    NumberField {
                        id: spinBoxTestMinutes
                        objectName: "spinBoxTestMinutes"
                        Layout.preferredWidth: 80
                        minimumValue: 1
                        maximumValue: 99
                        value: 1
                        enabled: radioSelfTestCustom.checked
                    }
                    Text {
                        objectName: "labelTestMinutesUnit"
                        text: qsTr("minute(s)")
                        color: radioSelfTestCustom.checked ? Theme.textDim : Theme.textFaint
                        font.pixelSize: Theme.fontBody
                    }
                }
                RowLayout {
                    Layout.preferredHeight: 36
                    spacing: Theme.margin
                    RadioButton {
                        id: radioSelfTestCancel
                        objectName: "radioSelfTestCancel"
                        text: qsTr("UPS Self-test cancel")
                        exclusiveGroup: groupOrder
                        style: choiceStyle
                    }
                }
                Separator {}
                RowLayout {
                    Layout.preferredHeight: 36
                    spacing: Theme.margin
                    RadioButton {
                        id: radioCloseOutput
                        objectName: "radioCloseOutput"
                        text: qsTr("UPS close output in(0~9)")
                        Layout.preferredWidth: Math.max(250, radioSelfTestCustom.implicitWidth, radioCloseOutput.implicitWidth)
                        exclusiveGroup: groupOrder
                        style: choiceStyle
                    }
                    NumberField {
                        id: spinBoxCloseDelay
                        objectName: "spinBoxCloseDelay"
                        Layout.preferredWidth: 80
                        minimumValue: 0
                        maximumValue: 9
                        value: 0
                        enabled: radioCloseOutput.checked
                    }
                    Text {
                        objectName: "labelCloseDelayUnit"
                        text: qsTr("minute(s); 0 is about 12 seconds")
                        color: radioCloseOutput.checked ? Theme.textDim : Theme.textFaint
                        font.pixelSize: Theme.fontBody
                    }
                }
                RowLayout {
                    Layout.preferredHeight: 36
                    spacing: Theme.margin
                    RadioButton {
                        id: radioCancelCloseOutput
                        objectName: "radioCancelCloseOutput"
                        text: qsTr("Cancel UPS close output")
                        exclusiveGroup: groupOrder
                        style: choiceStyle
                    }
                }
                Separator {}
                RowLayout {
                    Layout.preferredHeight: 36
                    spacing: Theme.margin
                    RadioButton {
                        id: radioBuzzer
                        objectName: "radioBuzzer"
                        text: qsTr("UPS buzzer toggle")
                        exclusiveGroup: groupOrder
                        style: choiceStyle
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

                // Why some orders cannot go out (a UPS server that lacks them).
                Text {
                    id: labelUnavailable
                    objectName: "labelUnavailable"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 0 // its long lines wrap instead of widening the card
                    visible: text !== ""
                    wrapMode: Text.Wrap
                    color: Theme.textFaint
                    font.pixelSize: Theme.fontSmall
                }

                RefusalLabel {
                    objectName: "labelRefusal"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 0
                    fields: [spinBoxTestMinutes, spinBoxCloseDelay]
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
