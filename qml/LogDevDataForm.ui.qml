import QtQuick 2.15
import QtQuick.Controls 1.4

Item {
    property alias tableView: tableView

    TableView {
        id: tableView
        objectName: "tableViewDevData"
        anchors.fill: parent
        frameVisible: false
        alternatingRowColors: true

        TableViewColumn {
            role: "dateTime"
            title: qsTr("Date")
            width: Math.floor(tableView.viewport.width * 0.18)
        }
        TableViewColumn {
            role: "inputVol"
            title: qsTr("Input Voltage(V)")
            width: Math.floor(tableView.viewport.width * 0.13)
        }
        TableViewColumn {
            role: "outputVol"
            title: qsTr("Output Voltage(V)")
            width: Math.floor(tableView.viewport.width * 0.13)
        }
        TableViewColumn {
            role: "load"
            title: qsTr("UPS Load(%)")
            width: Math.floor(tableView.viewport.width * 0.14)
        }
        TableViewColumn {
            role: "inputFreq"
            title: qsTr("Input Frequency(Hz)")
            width: Math.floor(tableView.viewport.width * 0.14)
        }
        TableViewColumn {
            role: "battVol"
            title: qsTr("Battery voltage(V)")
            width: Math.floor(tableView.viewport.width * 0.13)
        }
        TableViewColumn {
            role: "temperature"
            title: qsTr("temperature(℃ )")
            width: Math.floor(tableView.viewport.width * 0.13)
        }
    }
}
