import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15

Item {
    id: root

    property alias comboBoxCommType: comboBoxCommType
    property alias comboBoxComPort: comboBoxComPort
    property alias labelPortBusy: labelPortBusy
    property alias labelPortProblem: labelPortProblem
    property alias comboBoxBaud: comboBoxBaud
    property alias spinBoxSaveCycle: spinBoxSaveCycle
    property alias comboBoxLanguage: comboBoxLanguage
    property alias checkBoxAutoLanguage: checkBoxAutoLanguage
    property alias checkBoxStartWithDesktop: checkBoxStartWithDesktop
    property alias buttonImport: buttonImport
    property alias buttonExport: buttonExport
    property alias buttonRestore: buttonRestore
    property alias labelAppVersion: labelAppVersion
    property alias labelUsbVersion: labelUsbVersion
    property alias msgDialog: msgDialog
    property alias cardNut: cardNut
    property alias textFieldNutHost: textFieldNutHost
    property alias textFieldNutPort: textFieldNutPort
    property alias textFieldNutUps: textFieldNutUps
    property alias textFieldNutUser: textFieldNutUser
    property alias textFieldNutPassword: textFieldNutPassword
    property alias textFieldNutCaFile: textFieldNutCaFile
    property alias buttonNutCaFile: buttonNutCaFile
    property alias checkBoxNutAllowPlain: checkBoxNutAllowPlain
    property alias labelNutProblem: labelNutProblem
    property alias checkBoxNotify: checkBoxNotify
    property alias dateBatteryInstalled: dateBatteryInstalled
    property alias spinBoxReplaceMonths: spinBoxReplaceMonths
    property alias labelBatteryDue: labelBatteryDue

    // The cards scroll where they are taller than the page (the network link's card, long
    // translations).
    Flickable {
        id: scroller
        objectName: "settingsScroller"
        anchors.fill: parent
        contentWidth: width
        contentHeight: columns.implicitHeight + 2 * (Theme.margin + 8)
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        RowLayout {
            id: columns
            x: Theme.margin + 8
            y: Theme.margin + 8
            width: scroller.width - 2 * (Theme.margin + 8)
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
                            qsTranslate("SettingsCommonForm.ui", "COM"),
                            qsTranslate("SettingsCommonForm.ui", "Network (NUT)")
                        ]
                    }

                    FieldLabel {
                        text: qsTr("COM port:")
                    }
                    // A port not found (a /dev/serial/by-id/ link, say) can be typed.
                    SettingsComboBox {
                        id: comboBoxComPort
                        objectName: "comboBoxComPort"
                        Layout.fillWidth: true
                        editable: true
                    }

                    Text {
                        id: labelPortProblem
                        objectName: "labelPortProblem"
                        Layout.columnSpan: 2
                        Layout.fillWidth: true
                        visible: text !== ""
                        wrapMode: Text.WordWrap
                        color: Theme.fault
                        font.pixelSize: Theme.fontBody
                    }

                    Text {
                        id: labelPortBusy
                        objectName: "labelPortBusy"
                        Layout.columnSpan: 2
                        Layout.fillWidth: true
                        visible: false
                        wrapMode: Text.WordWrap
                        color: Theme.warn
                        font.pixelSize: Theme.fontBody
                        text: qsTr("Another program holds the UPS port, the Quelta service for example. Quelta opens it once it is free.")
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
                    NumberField {
                        id: spinBoxSaveCycle
                        objectName: "spinBoxSaveCycle"
                        Layout.preferredWidth: 90
                        settingKey: "ups/saveCycle"
                    }
                    RefusalLabel {
                        objectName: "labelSaveCycleRefusal"
                        Layout.columnSpan: 2
                        Layout.fillWidth: true
                        fields: [spinBoxSaveCycle]
                    }

                    CheckBox {
                        id: checkBoxNotify
                        Layout.columnSpan: 2
                        objectName: "checkBoxNotify"
                        text: qsTr("Desktop notifications")
                        style: SettingsCheckBoxStyle {}
                    }
                }

                // Shown for the network link only.
                SettingsCard {
                    id: cardNut
                    objectName: "cardNut"
                    title: qsTr("UPS Server (NUT)")
                    rowSpacing: 6

                    FieldLabel {
                        text: qsTr("Server:")
                    }
                    RowLayout {
                        Layout.fillWidth: true
                        TextField {
                            id: textFieldNutHost
                            style: FieldStyle {}
                            objectName: "textFieldNutHost"
                            Layout.fillWidth: true
                            placeholderText: "nas.local"
                        }
                        FieldLabel {
                            text: qsTr("Port:")
                        }
                        TextField {
                            id: textFieldNutPort
                            style: FieldStyle {}
                            objectName: "textFieldNutPort"
                            Layout.preferredWidth: 70
                            placeholderText: "3493"
                            validator: IntValidator {
                                bottom: 1
                                top: 65535
                            }
                        }
                    }

                    FieldLabel {
                        text: qsTr("UPS name:")
                    }
                    TextField {
                        id: textFieldNutUps
                        style: FieldStyle {}
                        objectName: "textFieldNutUps"
                        Layout.fillWidth: true
                        placeholderText: "ups"
                    }

                    FieldLabel {
                        text: qsTr("User:")
                    }
                    RowLayout {
                        Layout.fillWidth: true
                        TextField {
                            id: textFieldNutUser
                            style: FieldStyle {}
                            objectName: "textFieldNutUser"
                            Layout.fillWidth: true
                        }
                        FieldLabel {
                            text: qsTr("Password:")
                        }
                        TextField {
                            id: textFieldNutPassword
                            style: FieldStyle {}
                            objectName: "textFieldNutPassword"
                            Layout.fillWidth: true
                            echoMode: TextInput.Password
                        }
                    }

                    FieldLabel {
                        text: qsTr("CA file:")
                    }
                    RowLayout {
                        Layout.fillWidth: true
                        TextField {
                            id: textFieldNutCaFile
                            style: FieldStyle {}
                            objectName: "textFieldNutCaFile"
                            Layout.fillWidth: true
                            placeholderText: qsTr("System certificates")
                        }
                        Button {
                            id: buttonNutCaFile
                            objectName: "buttonNutCaFile"
                            text: qsTr("Browse")
                            style: SettingsButtonStyle {}
                        }
                    }

                    Item {
                        width: 1
                        height: 1
                    }
                    CheckBox {
                        id: checkBoxNutAllowPlain
                        objectName: "checkBoxNutAllowPlain"
                        text: qsTr("Allow an unencrypted connection")
                        style: SettingsCheckBoxStyle {}
                    }

                    Text {
                        id: labelNutProblem
                        objectName: "labelNutProblem"
                        Layout.columnSpan: 2
                        Layout.fillWidth: true
                        visible: text !== ""
                        wrapMode: Text.Wrap
                        color: Theme.fault
                        font.pixelSize: Theme.fontSmall
                    }
                }

                SettingsCard {
                    title: qsTr("Battery")

                    FieldLabel {
                        text: qsTr("Battery installed on:")
                    }
                    DateEdit {
                        id: dateBatteryInstalled
                        objectName: "dateBatteryInstalled"
                    }

                    FieldLabel {
                        text: qsTr("Replace after (months):")
                    }
                    NumberField {
                        id: spinBoxReplaceMonths
                        objectName: "spinBoxReplaceMonths"
                        Layout.preferredWidth: 90
                        settingKey: "battery/replaceMonths"
                    }
                    RefusalLabel {
                        objectName: "labelMonthsRefusal"
                        Layout.columnSpan: 2
                        Layout.fillWidth: true
                        fields: [spinBoxReplaceMonths]
                    }

                    Text {
                        id: labelBatteryDue
                        objectName: "labelBatteryDue"
                        Layout.columnSpan: 2
                        Layout.fillWidth: true
                        wrapMode: Text.Wrap
                        font.pixelSize: Theme.fontBody
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
                        // In the order of the translator's language numbers.
                        model: [qsTr("English"), qsTr("中文简体 "), qsTr("Français"), qsTr("繁體中文")]
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

                    Item {
                        width: 1
                        height: 1
                    }

                    CheckBox {
                        id: checkBoxStartWithDesktop
                        objectName: "checkBoxStartWithDesktop"
                        text: qsTr("Start with the desktop")
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
        }

        Rectangle {
            // Where the view is, when there is more to see.
            visible: scroller.contentHeight > scroller.height
            anchors.right: parent.right
            anchors.rightMargin: 3
            y: scroller.contentY + scroller.height * scroller.contentY / scroller.contentHeight
            width: 5
            height: scroller.height * scroller.height / scroller.contentHeight
            radius: 2
            color: Theme.border
        }
    }

    MsgDialog {
        id: msgDialog
        objectName: "msgDialog"
    }
}
