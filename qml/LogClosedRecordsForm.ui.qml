import QtQuick 2.15
import QtQuick.Controls 1.4

Item {
    property alias treeView: treeView

    TreeView {
        id: treeView
        objectName: "treeViewClosedRecords"
        anchors.fill: parent
        frameVisible: false

        TableViewColumn {
            role: "app"
            title: qsTr("Application")
            width: Math.floor(treeView.viewport.width * 0.35)
        }
        TableViewColumn {
            role: "window"
            title: qsTr("Window")
            width: Math.floor(treeView.viewport.width * 0.65)
        }
    }
}
