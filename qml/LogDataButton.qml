import QtQuick 2.15

// A square icon button of the history tool bar.
Rectangle {
    id: root

    property alias source: icon.source
    signal clicked

    implicitWidth: 36
    implicitHeight: 36
    radius: 6
    color: mouseArea.pressed ? "#c9d6e3" : mouseArea.containsMouse ? "#e1e8f0" : "#eef2f6"
    border.color: "#c3ceda"
    opacity: enabled ? 1.0 : 0.4

    Image {
        id: icon
        anchors.centerIn: parent
        width: 20
        height: 20
        sourceSize: Qt.size(40, 40)
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: root.clicked()
    }
}
