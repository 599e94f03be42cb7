import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15
import Quelta 1.0

Item {
    id: root

    property alias switchEnable: switchEnable
    property alias textFieldSenderName: textFieldSenderName
    property alias textFieldSenderAddress: textFieldSenderAddress
    property alias textFieldServerAddress: textFieldServerAddress
    property alias textFieldServerPort: textFieldServerPort
    property alias comboBoxEncrypt: comboBoxEncrypt
    property alias checkBoxAuth: checkBoxAuth
    property alias buttonAuthSettings: buttonAuthSettings
    property alias buttonTestMail: buttonTestMail
    property alias labelTestMail: labelTestMail
    property alias busyTestMail: busyTestMail
    property alias listViewUser: listViewUser
    property alias buttonAddUser: buttonAddUser
    property alias buttonModifyUser: buttonModifyUser
    property alias buttonDeleteUser: buttonDeleteUser
    property alias checkBoxDaily: checkBoxDaily
    property alias spinBoxDailyHour: spinBoxDailyHour
    property alias spinBoxDailyMinute: spinBoxDailyMinute
    property alias spinBoxDailySecond: spinBoxDailySecond
    property alias popupAddEMailUser: popupAddEMailUser
    property alias popupSetEMailSender: popupSetEMailSender
    property alias msgDialog: msgDialog

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: Theme.margin + 8
        spacing: Theme.margin

        RowLayout {
            spacing: Theme.margin
            Text {
                text: qsTr("E-Mail")
                color: Theme.text
                font.pixelSize: Theme.fontHeading
                font.bold: true
            }
            Switch {
                id: switchEnable
                objectName: "switchEnable"
                style: SwitchStyle {
                    groove: Rectangle {
                        implicitWidth: 44
                        implicitHeight: 24
                        radius: 12
                        color: control.checked ? Theme.accent : Theme.idle
                    }
                    handle: Rectangle {
                        implicitWidth: 24
                        implicitHeight: 24
                        radius: 12
                        color: Theme.card
                        border.width: 2
                        border.color: control.checked ? Theme.accent : Theme.idle
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignTop
            spacing: Theme.margin

            SettingsCard {
                rowSpacing: 8
                Layout.preferredWidth: 1
                Layout.alignment: Qt.AlignTop
                title: qsTr("Sender Information")

                FieldLabel {
                    text: qsTr("Sender Name:")
                }
                TextField {
                    id: textFieldSenderName
                    style: FieldStyle {}
                    objectName: "textFieldSenderName"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 120
                }

                FieldLabel {
                    text: qsTr("Sender Address:")
                }
                TextField {
                    id: textFieldSenderAddress
                    property bool refused: false
                    style: FieldStyle {}
                    objectName: "textFieldSenderAddress"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 120
                }

                FieldLabel {
                    text: qsTr("Server Address:")
                }
                TextField {
                    id: textFieldServerAddress
                    style: FieldStyle {}
                    objectName: "textFieldServerAddress"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 120
                }

                FieldLabel {
                    text: qsTr("Server Port:")
                }
                TextField {
                    id: textFieldServerPort
                    style: FieldStyle {}
                    objectName: "textFieldServerPort"
                    Layout.preferredWidth: 90
                    placeholderText: qsTr("25")
                    validator: IntValidator {
                        bottom: 1
                        top: 65535
                    }
                }

                FieldLabel {
                    text: qsTr("Encrypt:")
                }
                SettingsComboBox {
                    id: comboBoxEncrypt
                    objectName: "comboBoxEncrypt"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 120
                    // Texts in a list are looked up under "SettingsEMailForm" without ".ui"; name the context.
                    model: [
                        qsTranslate("SettingsEMailForm.ui", "None"),
                        qsTranslate("SettingsEMailForm.ui", "STARTTLS"),
                        qsTranslate("SettingsEMailForm.ui", "SSL/TLS")
                    ]
                }

                FieldLabel {
                    text: qsTr("Account authentication:")
                }
                RowLayout {
                    spacing: Theme.gap
                    CheckBox {
                        id: checkBoxAuth
                        objectName: "checkBoxAuth"
                        style: SettingsCheckBoxStyle {}
                    }
                    Button {
                        id: buttonAuthSettings
                        objectName: "buttonAuthSettings"
                        text: qsTr("Settings")
                        enabled: checkBoxAuth.checked
                        style: SettingsButtonStyle {}
                    }
                }

                RowLayout {
                    Layout.columnSpan: 2
                    Layout.topMargin: 6
                    spacing: Theme.gap
                    Button {
                        id: buttonTestMail
                        objectName: "buttonTestMail"
                        text: qsTr("Send Test Mail")
                        style: CommonButtonStyle {}
                    }
                    BusyIndicator {
                        id: busyTestMail
                        Layout.preferredWidth: 22
                        Layout.preferredHeight: 22
                        running: false
                        visible: running
                    }
                }
                Text {
                    id: labelTestMail
                    objectName: "labelTestMail"
                    Layout.columnSpan: 2
                    visible: text.length > 0
                    color: Theme.textDim
                    font.pixelSize: Theme.fontSmall
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                Layout.alignment: Qt.AlignTop
                spacing: Theme.margin

                SettingsCard {
                    rowSpacing: 8
                    title: qsTr("E-mail Address")

                    Rectangle {
                        Layout.fillWidth: true
                        Layout.preferredHeight: 152
                        radius: Theme.radius
                        color: Theme.cardAlt
                        border.color: Theme.border
                        clip: true

                        ListView {
                            id: listViewUser
                            objectName: "listViewUser"
                            anchors.fill: parent
                            anchors.margins: 4
                            clip: true
                            model: ListModelEMailUser
                            currentIndex: -1
                            delegate: Rectangle {
                                width: ListView.view.width
                                height: 28
                                radius: 4
                                color: ListView.isCurrentItem ? Theme.accentSoft : "transparent"
                                Text {
                                    anchors.verticalCenter: parent.verticalCenter
                                    x: 8
                                    width: parent.width - 16
                                    elide: Text.ElideRight
                                    text: model.user !== undefined ? model.user : ""
                                    color: Theme.text
                                    font.pixelSize: Theme.fontBody
                                }
                                MouseArea {
                                    anchors.fill: parent
                                    onClicked: listViewUser.currentIndex = index
                                }
                            }
                        }
                    }

                    ColumnLayout {
                        Layout.alignment: Qt.AlignTop
                        Layout.fillWidth: false
                        Layout.preferredWidth: 96
                        spacing: Theme.gap
                        Button {
                            id: buttonAddUser
                            objectName: "buttonAddUser"
                            Layout.fillWidth: true
                            text: qsTr("Add")
                            style: SettingsButtonStyle {}
                        }
                        Button {
                            id: buttonModifyUser
                            objectName: "buttonModifyUser"
                            Layout.fillWidth: true
                            text: qsTr("Modify")
                            enabled: listViewUser.currentIndex >= 0
                            style: SettingsButtonStyle {}
                        }
                        Button {
                            id: buttonDeleteUser
                            objectName: "buttonDeleteUser"
                            Layout.fillWidth: true
                            text: qsTr("Delete")
                            enabled: listViewUser.currentIndex >= 0
                            style: SettingsButtonStyle {}
                        }
                    }
                }

                Rectangle {
                    Layout.fillWidth: true
                    implicitHeight: dailyLayout.implicitHeight + 2 * Theme.margin
                    radius: Theme.radiusLarge
                    color: Theme.card
                    border.color: Theme.border

                    ColumnLayout {
                        id: dailyLayout
                        anchors.fill: parent
                        anchors.margins: Theme.margin
                        spacing: 10

                        CheckBox {
                            id: checkBoxDaily
                            objectName: "checkBoxDaily"
                            text: qsTr("Daily Report Send Time(HH:MM:SS): ")
                            style: SettingsCheckBoxStyle {}
                        }
                        RowLayout {
                            Layout.leftMargin: 26
                            spacing: 6
                            enabled: checkBoxDaily.checked

                            NumberField {
                                id: spinBoxDailyHour
                                objectName: "spinBoxDailyHour"
                                minimumDigits: 2
                                Layout.preferredWidth: 64
                                minimumValue: 0
                                maximumValue: 23
                            }
                            FieldLabel {
                                text: ":"
                            }
                            NumberField {
                                id: spinBoxDailyMinute
                                objectName: "spinBoxDailyMinute"
                                minimumDigits: 2
                                Layout.preferredWidth: 64
                                minimumValue: 0
                                maximumValue: 59
                            }
                            FieldLabel {
                                text: ":"
                            }
                            NumberField {
                                id: spinBoxDailySecond
                                objectName: "spinBoxDailySecond"
                                minimumDigits: 2
                                Layout.preferredWidth: 64
                                minimumValue: 0
                                maximumValue: 59
                            }
                        }
                        RefusalLabel {
                            objectName: "labelDailyRefusal"
                            Layout.fillWidth: true
                            Layout.leftMargin: 26
                            fields: [spinBoxDailyHour, spinBoxDailyMinute, spinBoxDailySecond]
                        }
                    }
                }
            }
        }

        Item {
            Layout.fillHeight: true
        }
    }

    PopupAddEMailUser {
        id: popupAddEMailUser
        objectName: "popupAddEMailUser"
        anchors.fill: parent
        visible: false
        msgDialog: msgDialog
    }

    PopupSetEMailSender {
        id: popupSetEMailSender
        objectName: "popupSetEMailSender"
        anchors.fill: parent
        visible: false
        msgDialog: msgDialog
    }

    MsgDialog {
        id: msgDialog
        objectName: "msgDialog"
    }
}
