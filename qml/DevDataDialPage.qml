import QtQuick 2.15
import Quelta 1.0

// Two gauges: the UPS load and the battery capacity, in percent.
Item {
    id: page
    property DevStatusView status

    Row {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 16
        DevDataDial {
            objectName: "dialLoad"
            width: (parent.width - parent.spacing) / 2
            height: parent.height
            title: qsTr("UPS Load")
            value: page.status ? page.status.loadPercent : -1
            maximum: 120
            warnAbove: 100
        }
        DevDataDial {
            objectName: "dialBattery"
            width: (parent.width - parent.spacing) / 2
            height: parent.height
            title: qsTr("Battery Capacity")
            value: page.status ? page.status.batteryPercent : -1
            warnBelow: 25
        }
    }
}
