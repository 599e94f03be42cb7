import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4

// The filled accent button used for the main action of a page or dialog.
ButtonStyle {
    padding { left: 16; right: 16; top: 6; bottom: 6 }
    background: Rectangle {
        implicitWidth: 88
        implicitHeight: Theme.controlHeight
        radius: Theme.radius
        color: !control.enabled ? Theme.idle
             : control.pressed ? Theme.accentPressed
             : control.hovered ? Theme.accentHover : Theme.accent
        border.width: control.activeFocus ? 2 : 0
        border.color: Theme.accentSoft
    }
    label: Text {
        text: control.text
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: Theme.textOnAccent
        font.pixelSize: Theme.fontBody
        font.bold: true
    }
}
