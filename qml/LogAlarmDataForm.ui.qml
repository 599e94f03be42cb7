import QtQuick 2.15
import QtQuick.Controls 1.4

Item {
    property alias tableView: tableView

    TableView {
        id: tableView
        objectName: "tableViewAlarm"
        anchors.fill: parent
        frameVisible: false

        TableViewColumn {
            role: "dateTime"
            title: qsTr("Date")
            width: Math.floor(tableView.viewport.width * 0.25)
        }
        TableViewColumn {
            role: "alarm"
            title: qsTr("Alarm")
            width: Math.floor(tableView.viewport.width * 0.75)
        }
    }
}
