import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.15
import Quelta 1.0

// The UPSes watched beside this computer's own, and which of them feed this computer.
Flickable {
    id: page
    contentHeight: column.implicitHeight + 2 * Theme.margin
    clip: true

    // A write from anywhere (an import, a restore, the command line) is shown.
    SettingValue { id: supplies; key: "shutdown/supplies" }
    SettingValue { id: minSupplies; key: "shutdown/minSupplies" }
    // A list comes as a sequence, not always as a JavaScript array.
    Binding { target: fieldSupplies; property: "text"; value: Array.prototype.join.call(supplies.value, ", ") }
    Binding { target: fieldMinSupplies; property: "text"; value: String(minSupplies.value) }

    ColumnLayout {
        id: column
        x: Theme.margin
        y: Theme.margin
        width: page.width - 2 * Theme.margin
        spacing: Theme.margin

        SettingsCard {
            title: qsTr("Watched UPSes")
            columns: 2

            Repeater {
                model: WatchService.entries
                delegate: RowLayout {
                    Layout.columnSpan: 2
                    Layout.fillWidth: true
                    Text {
                        objectName: "watchEntry" + index
                        Layout.fillWidth: true
                        text: (modelData.name !== "" ? modelData.name + " - " : "")
                              + (modelData.ups === "*" ? qsTr("every UPS of %1").arg(modelData.host + ":" + modelData.port)
                                                       : modelData.ups + "@" + modelData.host + ":" + modelData.port)
                        color: Theme.text
                        font.pixelSize: Theme.fontBody
                        elide: Text.ElideRight
                    }
                    Button {
                        text: qsTr("Remove")
                        style: SettingsButtonStyle {}
                        onClicked: WatchService.removeEntry(index)
                    }
                }
            }
            Text {
                Layout.columnSpan: 2
                visible: WatchService.entries.length === 0
                text: qsTr("None: only this computer's UPS is watched.")
                color: Theme.textDim
                font.pixelSize: Theme.fontBody
            }
        }

        SettingsCard {
            title: qsTr("Add a UPS or a whole server")
            columns: 2

            FieldLabel {
                text: qsTr("Shown name")
            }
            TextField {
                id: fieldName
                objectName: "watchName"
                style: FieldStyle {}
                Layout.fillWidth: true
            }
            FieldLabel {
                text: qsTr("Server")
            }
            TextField {
                id: fieldHost
                objectName: "watchHost"
                style: FieldStyle {}
                Layout.fillWidth: true
            }
            FieldLabel {
                text: qsTr("Port")
            }
            TextField {
                id: fieldPort
                objectName: "watchPort"
                text: "3493"
                validator: IntValidator {
                    bottom: 1
                    top: 65535
                }
                style: FieldStyle {}
                Layout.fillWidth: true
            }
            FieldLabel {
                text: qsTr("UPS name (* for every UPS of the server)")
            }
            TextField {
                id: fieldUps
                objectName: "watchUps"
                text: "*"
                style: FieldStyle {}
                Layout.fillWidth: true
            }
            FieldLabel {
                text: qsTr("User")
            }
            TextField {
                id: fieldUser
                style: FieldStyle {}
                Layout.fillWidth: true
            }
            FieldLabel {
                text: qsTr("Password")
            }
            TextField {
                id: fieldPassword
                echoMode: TextInput.Password
                style: FieldStyle {}
                Layout.fillWidth: true
            }
            FieldLabel {
                text: qsTr("CA file")
            }
            TextField {
                id: fieldCa
                style: FieldStyle {}
                Layout.fillWidth: true
            }
            Item {
                width: 1
                height: 1
            }
            CheckBox {
                id: fieldPlain
                objectName: "watchPlain"
                text: qsTr("Allow an unencrypted connection")
                style: SettingsCheckBoxStyle {}
            }
            Item {
                width: 1
                height: 1
            }
            Button {
                objectName: "watchAdd"
                text: qsTr("Add")
                enabled: fieldHost.text.trim() !== ""
                style: SettingsButtonStyle {}
                onClicked: {
                    if (WatchService.addEntry({"name": fieldName.text, "host": fieldHost.text,
                                               "port": parseInt(fieldPort.text), "ups": fieldUps.text,
                                               "user": fieldUser.text, "password": fieldPassword.text,
                                               "caFile": fieldCa.text, "allowPlain": fieldPlain.checked})) {
                        // The next entry starts afresh: a port or an unencrypted link kept
                        // from this one would go unnoticed.
                        fieldName.text = ""
                        fieldHost.text = ""
                        fieldPort.text = "3493"
                        fieldUps.text = "*"
                        fieldUser.text = ""
                        fieldPassword.text = ""
                        fieldCa.text = ""
                        fieldPlain.checked = false
                    }
                }
            }
        }

        SettingsCard {
            title: qsTr("Supplies of this computer")
            columns: 2

            FieldLabel { text: qsTr("UPSes that feed it (shown names, local for its own)") }
            TextField {
                id: fieldSupplies
                objectName: "watchSupplies"
                style: FieldStyle {}
                Layout.fillWidth: true
                onEditingFinished: supplies.set(text)
            }
            FieldLabel { text: qsTr("At least this many must be able to feed it") }
            TextField {
                id: fieldMinSupplies
                objectName: "watchMinSupplies"
                style: FieldStyle {}
                Layout.fillWidth: true
                validator: IntValidator { bottom: 1; top: 1000 }
                onEditingFinished: minSupplies.set(parseInt(text))
            }
            Text {
                objectName: "watchUnknownSupplies"
                Layout.columnSpan: 2
                Layout.fillWidth: true
                visible: SupplyCount.unknown.length > 0
                text: qsTr("No watched UPS is named %1: it is never judged and counts as able to feed this computer.")
                      .arg(SupplyCount.unknown.join(", "))
                color: Theme.fault
                font.pixelSize: Theme.fontBody
                wrapMode: Text.Wrap
            }
        }
    }
}
