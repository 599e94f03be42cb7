import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15

Item {
    id: root

    property alias switchEnable: switchEnable
    property alias labelState: labelState
    property alias textFieldListen: textFieldListen
    property alias textFieldPort: textFieldPort
    property alias textFieldAllow: textFieldAllow
    property alias textFieldUpsName: textFieldUpsName
    property alias textFieldAliases: textFieldAliases
    property alias spinBoxHostSync: spinBoxHostSync
    property alias spinBoxMaxClients: spinBoxMaxClients
    property alias textFieldCertFile: textFieldCertFile
    property alias buttonCertFile: buttonCertFile
    property alias textFieldKeyFile: textFieldKeyFile
    property alias buttonKeyFile: buttonKeyFile
    property alias listViewUser: listViewUser
    property alias buttonAddUser: buttonAddUser
    property alias buttonModifyUser: buttonModifyUser
    property alias buttonDeleteUser: buttonDeleteUser
    property alias listViewClient: listViewClient
    property alias popupNutUser: popupNutUser
    property alias msgDialog: msgDialog

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: Theme.margin + 8
        spacing: Theme.margin

        RowLayout {
            spacing: Theme.margin
            Text {
                text: qsTr("Network Sharing")
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
            Text {
                id: labelState
                objectName: "labelState"
                Layout.fillWidth: true
                elide: Text.ElideRight
                color: Theme.textDim
                font.pixelSize: Theme.fontBody
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
                title: qsTr("Server")

                FieldLabel {
                    text: qsTr("Listen on:")
                }
                TextField {
                    id: textFieldListen
                    property bool refused: false
                    property string refusal
                    style: FieldStyle {}
                    objectName: "textFieldListen"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 100
                    placeholderText: "127.0.0.1,::1"
                }

                FieldLabel {
                    text: qsTr("Port:")
                }
                NumberField {
                    id: textFieldPort
                    objectName: "textFieldPort"
                    Layout.preferredWidth: 90
                    minimumValue: 1
                    maximumValue: 65535
                }

                FieldLabel {
                    text: qsTr("Allowed networks:")
                }
                TextField {
                    id: textFieldAllow
                    property bool refused: false
                    property string refusal
                    style: FieldStyle {}
                    objectName: "textFieldAllow"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 100
                    placeholderText: "192.168.1.0/24"
                }

                FieldLabel {
                    text: qsTr("UPS name:")
                }
                TextField {
                    id: textFieldUpsName
                    property bool refused: false
                    property string refusal
                    style: FieldStyle {}
                    objectName: "textFieldUpsName"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 100
                    placeholderText: "ups"
                }

                FieldLabel {
                    text: qsTr("Other names:")
                }
                TextField {
                    id: textFieldAliases
                    property bool refused: false
                    property string refusal
                    style: FieldStyle {}
                    objectName: "textFieldAliases"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 100
                    placeholderText: "qnapups"
                }

                FieldLabel {
                    text: qsTr("Wait for clients:")
                }
                RowLayout {
                    spacing: Theme.gap
                    NumberField {
                        id: spinBoxHostSync
                        objectName: "spinBoxHostSync"
                        Layout.preferredWidth: 80
                        minimumValue: 0
                        maximumValue: 3600
                    }
                    FieldLabel {
                        text: qsTr("second(s)")
                    }
                }

                FieldLabel {
                    text: qsTr("Clients at most:")
                }
                NumberField {
                    id: spinBoxMaxClients
                    objectName: "spinBoxMaxClients"
                    Layout.preferredWidth: 80
                    minimumValue: 1
                    maximumValue: 65535
                }

                FieldLabel {
                    text: qsTr("TLS certificate:")
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: Theme.gap
                    TextField {
                        id: textFieldCertFile
                        style: FieldStyle {}
                        objectName: "textFieldCertFile"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 100
                    }
                    Button {
                        id: buttonCertFile
                        objectName: "buttonCertFile"
                        text: qsTr("Browse")
                        style: SettingsButtonStyle {}
                    }
                }

                FieldLabel {
                    text: qsTr("TLS key:")
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: Theme.gap
                    TextField {
                        id: textFieldKeyFile
                        style: FieldStyle {}
                        objectName: "textFieldKeyFile"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 100
                    }
                    Button {
                        id: buttonKeyFile
                        objectName: "buttonKeyFile"
                        text: qsTr("Browse")
                        style: SettingsButtonStyle {}
                    }
                }

                RefusalLabel {
                    objectName: "labelRefusal"
                    Layout.columnSpan: 2
                    Layout.fillWidth: true
                    Layout.preferredWidth: 0
                    fields: [textFieldListen, textFieldPort, textFieldAllow, textFieldUpsName, textFieldAliases,
                        spinBoxHostSync, spinBoxMaxClients]
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                Layout.alignment: Qt.AlignTop
                spacing: Theme.margin

                SettingsCard {
                    rowSpacing: 8
                    title: qsTr("Users")

                    Text {
                        objectName: "labelAccounts"
                        Layout.columnSpan: 2
                        Layout.fillWidth: true
                        Layout.preferredWidth: 0
                        wrapMode: Text.Wrap
                        color: Theme.textDim
                        font.pixelSize: Theme.fontSmall
                        text: qsTr("Allowed clients read the UPS without an account, as with NUT. An account is for logging in (a computer that shuts down with this UPS) and for commands.")
                    }

                    Rectangle {
                        Layout.fillWidth: true
                        Layout.preferredHeight: 130
                        radius: Theme.radius
                        color: Theme.cardAlt
                        border.color: Theme.border

                        ListView {
                            id: listViewUser
                            objectName: "listViewUser"
                            anchors.fill: parent
                            anchors.margins: 4
                            clip: true
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
                                    text: model.name + "  \u00b7  " + (model.role === "admin" ? qsTr("admin") : qsTr("monitor"))
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

                SettingsCard {
                    columns: 1
                    title: qsTr("Connected Clients")

                    Rectangle {
                        Layout.fillWidth: true
                        Layout.preferredHeight: 130
                        radius: Theme.radius
                        color: Theme.cardAlt
                        border.color: Theme.border

                        ListView {
                            id: listViewClient
                            objectName: "listViewClient"
                            anchors.fill: parent
                            anchors.margins: 4
                            clip: true
                            interactive: contentHeight > height
                            delegate: Item {
                                width: ListView.view.width
                                height: 26
                                Text {
                                    anchors.verticalCenter: parent.verticalCenter
                                    x: 8
                                    width: parent.width - 16
                                    elide: Text.ElideRight
                                    text: model.address
                                          + (model.user !== "" ? "  \u00b7  " + model.user : "")
                                          + (model.loggedIn ? "  \u00b7  " + qsTr("logged in") : "")
                                          + (model.encrypted ? "  \u00b7  TLS" : "")
                                    color: Theme.text
                                    font.pixelSize: Theme.fontBody
                                }
                            }
                        }
                        Text {
                            anchors.centerIn: parent
                            visible: listViewClient.count === 0
                            text: qsTr("No client connected")
                            color: Theme.textDim
                            font.pixelSize: Theme.fontBody
                        }
                    }
                }
            }
        }

        // What the window has beyond the cards stays below them.
        Item {
            Layout.fillHeight: true
        }
    }

    PopupNutUser {
        id: popupNutUser
        objectName: "popupNutUser"
        anchors.fill: parent
        visible: false
        msgDialog: msgDialog
    }

    MsgDialog {
        id: msgDialog
        objectName: "msgDialog"
    }
}
