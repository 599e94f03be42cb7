import QtQuick 2.15
import QtQuick.Controls.Styles 1.4

// The text fields of the settings pages and pop-ups; a field whose text was refused (its
// `refused` is true) stays marked until it is corrected.
TextFieldStyle {
    textColor: Theme.text
    placeholderTextColor: Theme.textFaint
    selectionColor: Theme.accentSoft
    selectedTextColor: Theme.text
    padding {
        left: 10
        right: 10
    }
    background: Rectangle {
        implicitWidth: 160
        implicitHeight: Theme.controlHeight
        radius: Theme.radius
        color: control.enabled ? Theme.card : Theme.cardAlt
        border.width: control.activeFocus || control.refused === true ? 2 : 1
        border.color: control.refused === true ? Theme.fault
                    : control.activeFocus || control.hovered ? Theme.accent : Theme.border
    }
}
