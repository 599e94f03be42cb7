import QtQuick 2.15
import QtQuick.Controls.Styles 1.4

// The spin boxes of the settings and control pages.
SpinBoxStyle {
    textColor: Theme.text
    selectionColor: Theme.accentSoft
    selectedTextColor: Theme.text
    horizontalAlignment: Qt.AlignLeft
    padding {
        left: 10
        right: 22
    }
    background: Rectangle {
        implicitWidth: 80
        implicitHeight: Theme.controlHeight
        radius: Theme.radius
        color: control.enabled ? Theme.card : Theme.cardAlt
        border.width: control.activeFocus ? 2 : 1
        border.color: control.activeFocus || control.hovered ? Theme.accent : Theme.border
    }
    incrementControl: Item {
        implicitWidth: 20
        Image {
            anchors.centerIn: parent
            anchors.verticalCenterOffset: 2
            width: 10
            height: 10
            rotation: 180
            sourceSize: Qt.size(20, 20)
            source: "qrc:/res/image/chevron_down.svg"
            opacity: control.enabled ? (styleData.upPressed ? 0.5 : 1.0) : 0.3
        }
    }
    decrementControl: Item {
        implicitWidth: 20
        Image {
            anchors.centerIn: parent
            anchors.verticalCenterOffset: -2
            width: 10
            height: 10
            sourceSize: Qt.size(20, 20)
            source: "qrc:/res/image/chevron_down.svg"
            opacity: control.enabled ? (styleData.downPressed ? 0.5 : 1.0) : 0.3
        }
    }
}
