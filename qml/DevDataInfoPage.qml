import QtQuick 2.15
import Quelta 1.0

// The identity the UPS reports about itself, and its battery's measured health.
Item {
    id: page
    property DevStatusView status

    Image {
        id: picture
        anchors.left: parent.left
        anchors.leftMargin: 40
        anchors.verticalCenter: parent.verticalCenter
        width: 150
        height: 150
        sourceSize: Qt.size(150, 150)
        source: "qrc:/res/image/ups_front.svg"
        opacity: page.status && page.status.online ? 1 : 0.5
    }

    Column {
        id: rows
        anchors.left: picture.right
        anchors.leftMargin: 40
        anchors.right: parent.right
        anchors.rightMargin: 32
        anchors.verticalCenter: parent.verticalCenter
        spacing: 0

        Repeater {
            model: [
                { "name": "infoManufacturer", "label": qsTr("UPS Manufacturer:"), "value": page.status ? page.status.manufacturerText : "--" },
                { "name": "infoModel", "label": qsTr("UPS Model:"), "value": page.status ? page.status.modelText : "--" },
                { "name": "infoVersion", "label": qsTr("UPS Version:"), "value": page.status ? page.status.versionText : "--" },
                { "name": "infoSn", "label": qsTr("UPS SN:"), "value": page.status ? page.status.snText : "--" },
                // Measured by the UPS's own discharges, as a share of what the first ones showed.
                { "name": "infoHealth", "label": qsTr("Battery health"), "value": page.status && page.status.batteryHealth >= 0 ? Math.round(page.status.batteryHealth * 100) + " %" : "--" }
            ]
            Item {
                width: rows.width
                height: 54
                Text {
                    anchors.left: parent.left
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData.label
                    color: Theme.textDim
                    font.pixelSize: Theme.fontBody
                }
                Text {
                    objectName: modelData.name
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData.value
                    color: Theme.text
                    font.pixelSize: Theme.fontLarge
                    font.bold: true
                }
                Rectangle {
                    anchors.bottom: parent.bottom
                    width: parent.width
                    height: 1
                    color: Theme.divider
                    visible: index < 4
                }
            }
        }
    }
}
