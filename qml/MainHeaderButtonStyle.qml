import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4

// The flat window buttons of the header; "danger" turns the hover red (the close button).
ButtonStyle {
    property bool danger: false
    background: Rectangle {
        implicitWidth: 46
        implicitHeight: Theme.headerHeight
        color: control.pressed ? (danger ? "#b02a37" : Theme.chromeLine)
             : control.hovered ? (danger ? Theme.fault : Theme.chromeHover) : "transparent"
        Behavior on color { ColorAnimation { duration: Theme.fast } }
        Image {
            anchors.centerIn: parent
            width: 14
            height: 14
            sourceSize: Qt.size(14, 14)
            source: control.iconSource
        }
    }
    label: Item {}
}
