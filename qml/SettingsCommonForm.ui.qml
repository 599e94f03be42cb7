import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15

Item {
    id: root

    property alias comboBoxCommType: comboBoxCommType
    property alias comboBoxComPort: comboBoxComPort
    property alias comboBoxBaud: comboBoxBaud
    property alias spinBoxSaveCycle: spinBoxSaveCycle
    property alias comboBoxLanguage: comboBoxLanguage
    property alias checkBoxAutoLanguage: checkBoxAutoLanguage
    property alias buttonImport: buttonImport
    property alias buttonExport: buttonExport
    property alias buttonRestore: buttonRestore
    property alias labelAppVersion: labelAppVersion
    property alias labelUsbVersion: labelUsbVersion
    property alias msgDialog: msgDialog

    RowLayout {
        anchors.fill: parent
        anchors.margins: Theme.margin + 8
        spacing: Theme.margin

        ColumnLayout {
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            Layout.alignment: Qt.AlignTop
            spacing: Theme.margin

            SettingsCard {
                title: qsTr("Base Parameter")

                FieldLabel {
                    text: qsTr("UPS Communication Type:")
                }
                SettingsComboBox {
                    id: comboBoxCommType
                    objectName: "comboBoxCommType"
                    Layout.fillWidth: true
                    // Texts in a list are looked up under "SettingsCommonForm" without ".ui"; name the context.
                    model: [
                        qsTranslate("SettingsCommonForm.ui", "USB"),
                        qsTranslate("SettingsCommonForm.ui", "COM")
                    ]
                }

                FieldLabel {
                    text: qsTr("COM port:")
                }
                SettingsComboBox {
                    id: comboBoxComPort
                    objectName: "comboBoxComPort"
                    Layout.fillWidth: true
                }

                FieldLabel {
                    text: qsTr("Baud rate:")
                }
                SettingsComboBox {
                    id: comboBoxBaud
                    objectName: "comboBoxBaud"
                    Layout.fillWidth: true
                    model: ["2400", "4800", "9600", "19200", "38400"]
                }

                FieldLabel {
                    text: qsTr("Record data interval(Sec):")
                }
                SpinBox {
                    id: spinBoxSaveCycle
                    style: SpinStyle {}
                    objectName: "spinBoxSaveCycle"
                    Layout.preferredWidth: 90
                    minimumValue: 1
                    maximumValue: 600
                }
            }

            SettingsCard {
                title: qsTr("Version Information")

                FieldLabel {
                    text: qsTr("Quelta version:")
                }
                Text {
                    id: labelAppVersion
                    objectName: "labelAppVersion"
                    Layout.fillWidth: true
                    color: Theme.text
                    font.pixelSize: Theme.fontBody
                    font.bold: true
                }

                FieldLabel {
                    text: qsTr("USB HID version:")
                }
                Text {
                    id: labelUsbVersion
                    objectName: "labelUsbVersion"
                    Layout.fillWidth: true
                    color: Theme.text
                    font.pixelSize: Theme.fontBody
                    font.bold: true
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            Layout.alignment: Qt.AlignTop
            spacing: Theme.margin

            SettingsCard {
                title: qsTr("Settings Management")

                FieldLabel {
                    text: qsTr("Language:")
                }
                SettingsComboBox {
                    id: comboBoxLanguage
                    objectName: "comboBoxLanguage"
                    Layout.fillWidth: true
                    model: [qsTr("English"), qsTr("中文简体 "), qsTr("Français")]
                }

                Item {
                    width: 1
                    height: 1
                }
                CheckBox {
                    id: checkBoxAutoLanguage
                    objectName: "checkBoxAutoLanguage"
                    text: qsTr("Following System Language")
                    style: SettingsCheckBoxStyle {}
                }

                FieldLabel {
                    text: qsTr("Settings Import:")
                }
                Button {
                    id: buttonImport
                    objectName: "buttonImport"
                    text: qsTr("Look for...")
                    style: SettingsButtonStyle {}
                }

                FieldLabel {
                    text: qsTr("Settings Export:")
                }
                Button {
                    id: buttonExport
                    objectName: "buttonExport"
                    text: qsTr("Save as...")
                    style: SettingsButtonStyle {}
                }

                Button {
                    id: buttonRestore
                    objectName: "buttonRestore"
                    Layout.columnSpan: 2
                    Layout.topMargin: 6
                    text: qsTr("Restore Default Settings")
                    style: SettingsButtonStyle {}
                }
            }
        }
    }

    MsgDialog {
        id: msgDialog
        objectName: "msgDialog"
    }
}
