import QtQuick 2.15
import QtQuick.Controls 1.4

Item {
    property alias tableView: tableView

    TableView {
        id: tableView
        objectName: "tableViewAlarm"
        anchors.fill: parent

        TableViewColumn {
            role: "dateTime"
            title: qsTr("Date")
            width: 170
        }
        TableViewColumn {
            role: "alarm"
            title: qsTr("Alarm")
            width: 600
        }
    }
}
