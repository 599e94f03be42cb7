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
    property alias spinBoxMinRuntime: spinBoxMinRuntime
    property alias checkBoxOsOff: checkBoxOsOff
    property alias labelEndDoesNothing: labelEndDoesNothing
    property alias checkBoxExec: checkBoxExec
    property alias textFieldExecFile: textFieldExecFile
    property alias buttonBrowse: buttonBrowse
    property alias spinBoxExecTime: spinBoxExecTime
    property alias checkBoxUpsOff: checkBoxUpsOff
    property alias spinBoxUpsOffTime: spinBoxUpsOffTime
    property alias labelUnknownSupplies: labelUnknownSupplies

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

        SettingsCard {
            columns: 1
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
                NumberField {
                    id: spinBoxMainFaultTime
                    objectName: "spinBoxMainFaultTime"
                    Layout.preferredWidth: 80
                    settingKey: "shutdown/mainFaultTime"
                }
                FieldLabel {
                    text: qsTr("minute(s)")
                }

                FieldLabel {
                    Layout.fillWidth: true
                    text: qsTr("If low battery occurred, shutdown system in(0~600)")
                }
                NumberField {
                    id: spinBoxBattLowTime
                    objectName: "spinBoxBattLowTime"
                    Layout.preferredWidth: 80
                    settingKey: "shutdown/battLowTime"
                }
                FieldLabel {
                    text: qsTr("minute(s)")
                }

                FieldLabel {
                    Layout.fillWidth: true
                    text: qsTr("After main AC fault, shutdown system when battery capacity lower than(1~100)")
                }
                NumberField {
                    id: spinBoxMainFaultCap
                    objectName: "spinBoxMainFaultCap"
                    Layout.preferredWidth: 80
                    settingKey: "shutdown/mainFaultCapacity"
                }
                FieldLabel {
                    text: "%"
                }

                FieldLabel {
                    Layout.fillWidth: true
                    text: qsTr("On battery, count the battery as low when less backup time is left than(0~1440, 0: off)")
                }
                NumberField {
                    id: spinBoxMinRuntime
                    objectName: "spinBoxMinRuntime"
                    Layout.preferredWidth: 80
                    settingKey: "shutdown/minRuntime"
                }
                FieldLabel {
                    text: qsTr("minute(s)")
                }
            }
        }

        SettingsCard {
            columns: 1
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
                    style: FieldStyle {}
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
                    NumberField {
                        id: spinBoxExecTime
                        objectName: "spinBoxExecTime"
                        Layout.preferredWidth: 80
                        settingKey: "shutdown/execTime"
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
                NumberField {
                    id: spinBoxUpsOffTime
                    objectName: "spinBoxUpsOffTime"
                    Layout.preferredWidth: 80
                    settingKey: "shutdown/UPSOffTime"
                }
                FieldLabel {
                    text: qsTr("minute(s) before UPS turns off")
                }
            }
        }

        // The protection is on, but the end of a countdown does nothing.
        Text {
            id: labelEndDoesNothing
            objectName: "labelEndDoesNothing"
            Layout.fillWidth: true
            color: Theme.warn
            font.pixelSize: Theme.fontBody
            wrapMode: Text.Wrap
        }

        // The supplies (chosen with the watched UPSes) that no watched UPS has.
        Text {
            id: labelUnknownSupplies
            objectName: "labelUnknownSupplies"
            Layout.fillWidth: true
            color: Theme.fault
            font.pixelSize: Theme.fontBody
            wrapMode: Text.Wrap
        }

        RefusalLabel {
            objectName: "labelRefusal"
            Layout.fillWidth: true
            fields: [spinBoxMainFaultTime, spinBoxBattLowTime, spinBoxMainFaultCap, spinBoxMinRuntime, spinBoxExecTime, spinBoxUpsOffTime]
        }

        Item {
            Layout.fillHeight: true
        }
    }
}
