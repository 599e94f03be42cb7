import QtQuick 2.15
import QtQuick.Controls 1.4
import Quelta 1.0

// The stored alarms, with their texts in the language shown now; empty until the first search.
LogTablePage {
    id: page
    property alias tableView: tableView

    model: TableModelAlarm {}

    TableView {
        id: tableView
        objectName: "tableViewAlarm"
        anchors.fill: parent
        model: page.model
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
