import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4

// The quiet outlined button for secondary actions ("Browse", "Save as...", "Cancel").
ButtonStyle {
    padding { left: 14; right: 14; top: 5; bottom: 5 }
    background: Rectangle {
        implicitWidth: 80
        implicitHeight: Theme.controlHeight
        radius: Theme.radius
        color: control.pressed ? Theme.accentSoft : control.hovered ? Theme.cardAlt : Theme.card
        border.width: control.activeFocus ? 2 : 1
        border.color: !control.enabled ? Theme.divider
                    : control.hovered || control.activeFocus ? Theme.accent : Theme.border
    }
    label: Text {
        text: control.text
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: control.enabled ? Theme.text : Theme.textFaint
        font.pixelSize: Theme.fontBody
    }
}
