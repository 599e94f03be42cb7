import QtQuick 2.15

// A slim level bar, 0 to 100; a negative value means unknown and shows an empty track.
Item {
    id: bar
    property real value: -1
    readonly property color levelColor: value < 0 ? Theme.idle
                                      : value < 25 ? Theme.fault
                                      : value < 50 ? Theme.warn : Theme.ok

    implicitHeight: 10
    implicitWidth: 200

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        color: Theme.idleSoft
    }
    Rectangle {
        objectName: "progressFill"
        visible: bar.value > 0
        width: Math.max(height, parent.width * Math.min(bar.value, 100) / 100)
        height: parent.height
        radius: height / 2
        color: bar.levelColor
        Behavior on width { NumberAnimation { duration: Theme.normal; easing.type: Easing.OutCubic } }
    }
}
