import QtQuick 2.15
import Quelta 1.0

// Six measurement tiles.
Item {
    id: page
    property DevStatusView status

    Grid {
        id: grid
        anchors.fill: parent
        anchors.margins: 16
        columns: 3
        spacing: 12
        readonly property real cellWidth: (width - 2 * spacing) / 3
        readonly property real cellHeight: (height - spacing) / 2

        DevDataItem {
            objectName: "itemInputVol"
            width: grid.cellWidth
            height: grid.cellHeight
            title: qsTr("Input Voltage")
            value: page.status ? page.status.inputVolText : "--"
            unit: "V"
            icon: "qrc:/res/image/data_input.svg"
            tint: Theme.seriesA
        }
        DevDataItem {
            objectName: "itemOutputVol"
            width: grid.cellWidth
            height: grid.cellHeight
            title: qsTr("Output Voltage")
            value: page.status ? page.status.outputVolText : "--"
            unit: "V"
            icon: "qrc:/res/image/data_output.svg"
            tint: Theme.seriesB
        }
        DevDataItem {
            objectName: "itemInputFreq"
            width: grid.cellWidth
            height: grid.cellHeight
            title: qsTr("Input Frequncy")
            value: page.status ? page.status.inputFreqText : "--"
            unit: "Hz"
            icon: "qrc:/res/image/data_freq.svg"
            tint: Theme.info
        }
        DevDataItem {
            objectName: "itemBattVol"
            width: grid.cellWidth
            height: grid.cellHeight
            title: qsTr("Battery Voltage")
            value: page.status ? page.status.battVolText : "--"
            unit: "V"
            icon: "qrc:/res/image/data_battery.svg"
            tint: Theme.warn
        }
        DevDataItem {
            objectName: "itemLoad"
            width: grid.cellWidth
            height: grid.cellHeight
            title: qsTr("UPS Load")
            value: page.status ? page.status.loadText : "--"
            unit: "%"
            icon: "qrc:/res/image/data_load.svg"
            tint: Theme.accent
        }
        DevDataItem {
            objectName: "itemTemperature"
            width: grid.cellWidth
            height: grid.cellHeight
            title: qsTr("Temperature")
            value: page.status ? page.status.temperatureText : "--"
            unit: "℃"
            icon: "qrc:/res/image/data_temp.svg"
            tint: Theme.fault
        }
    }
}
