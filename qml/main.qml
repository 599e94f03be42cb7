import QtQuick 2.15

Rectangle {
    id: root
    width: 1024
    height: 680
    color: "#1d2733"

    Column {
        anchors.centerIn: parent
        spacing: 8
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: appName
            color: "#f2f5f8"
            font.pixelSize: 40
            font.bold: true
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: appVersion
            color: "#8fa3b8"
            font.pixelSize: 18
        }
    }
}
