import QtQuick 2.15
import QtQuick.Controls 1.4

Item {
    property alias treeView: treeView

    TreeView {
        id: treeView
        objectName: "treeViewClosedRecords"
        anchors.fill: parent

        TableViewColumn {
            role: "app"
            title: qsTr("Application")
            width: 260
        }
        TableViewColumn {
            role: "window"
            title: qsTr("Window")
            width: 560
        }
    }
}
