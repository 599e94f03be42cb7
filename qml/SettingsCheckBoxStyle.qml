import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4

// A square check box with the accent tick, also used for the radio-like choices of a page.
CheckBoxStyle {
    spacing: 8
    indicator: Rectangle {
        implicitWidth: 18
        implicitHeight: 18
        radius: 4
        color: control.checked ? (control.enabled ? Theme.accent : Theme.idle) : Theme.card
        border.width: control.checked ? 0 : (control.activeFocus ? 2 : 1)
        border.color: control.hovered || control.activeFocus ? Theme.accent : Theme.border
        Image {
            anchors.centerIn: parent
            visible: control.checked
            width: 14
            height: 14
            sourceSize: Qt.size(14, 14)
            source: "qrc:/res/image/check.svg"
        }
    }
    label: Text {
        text: control.text
        color: control.enabled ? Theme.text : Theme.textFaint
        font.pixelSize: Theme.fontBody
    }
}
