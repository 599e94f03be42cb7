import QtQuick 2.15

// A flat window button of the header; "danger" turns the hover red (the close button). Plain
// items: the window's first frame does not wait for a styled button.
Item {
    id: control

    property url iconSource
    property bool danger: false
    readonly property bool hovered: area.containsMouse
    readonly property bool pressed: area.pressed

    signal clicked

    implicitWidth: 46
    implicitHeight: Theme.headerHeight
    Accessible.role: Accessible.Button
    Accessible.onPressAction: control.clicked()

    Rectangle {
        anchors.fill: parent
        color: control.pressed ? (control.danger ? "#b02a37" : Theme.chromeLine)
             : control.hovered ? (control.danger ? Theme.fault : Theme.chromeHover) : "transparent"
        Behavior on color { ColorAnimation { duration: Theme.fast } }
    }
    Image {
        anchors.centerIn: parent
        width: 14
        height: 14
        sourceSize: Qt.size(14, 14)
        source: control.iconSource
        // Each button's icon is fixed: decoded beside the window's first frame, not before it.
        asynchronous: true
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: control.clicked()
    }
}
