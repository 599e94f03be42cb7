import QtQuick 2.15
import QtQuick.Controls 1.4

Item {
    property alias tableView: tableView

    TableView {
        id: tableView
        objectName: "tableViewDevData"
        anchors.fill: parent

        TableViewColumn {
            role: "dateTime"
            title: qsTr("Date")
            width: 170
        }
        TableViewColumn {
            role: "inputVol"
            title: qsTr("Input Voltage(V)")
            width: 130
        }
        TableViewColumn {
            role: "outputVol"
            title: qsTr("Output Voltage(V)")
            width: 130
        }
        TableViewColumn {
            role: "load"
            title: qsTr("UPS Load(%)")
            width: 100
        }
        TableViewColumn {
            role: "inputFreq"
            title: qsTr("Input Frequency(Hz)")
            width: 140
        }
        TableViewColumn {
            role: "battVol"
            title: qsTr("Battery voltage(V)")
            width: 130
        }
        TableViewColumn {
            role: "temperature"
            title: qsTr("temperature(℃ )")
            width: 120
        }
    }
}
