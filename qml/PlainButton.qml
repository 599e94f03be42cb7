import QtQuick 2.15

// A push button of plain items, drawn as the outlined button of secondary actions or, with
// `accent`, as the filled one of a main action (SettingsButtonStyle, CommonButtonStyle). For what
// the window's first frame holds: it needs no Controls module, so the window opens sooner.
Item {
    id: button

    property string text
    property bool accent: false
    readonly property bool pressed: area.pressed
    readonly property bool hovered: area.containsMouse

    signal clicked

    implicitWidth: Math.max(accent ? 88 : 80, label.implicitWidth + (accent ? 32 : 28))
    implicitHeight: Math.max(Theme.controlHeight, label.implicitHeight + (accent ? 12 : 10))
    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: clicked()
    Keys.onSpacePressed: clicked()

    Rectangle {
        anchors.fill: parent
        radius: Theme.radius
        color: button.accent
               ? (!button.enabled ? Theme.idle : button.pressed ? Theme.accentPressed
                  : button.hovered ? Theme.accentHover : Theme.accent)
               : (button.pressed ? Theme.accentSoft : button.hovered ? Theme.cardAlt : Theme.card)
        border.width: button.activeFocus ? 2 : (button.accent ? 0 : 1)
        border.color: button.accent ? Theme.accentSoft
                    : !button.enabled ? Theme.divider
                    : button.hovered || button.activeFocus ? Theme.accent : Theme.border
    }
    Text {
        id: label
        anchors.centerIn: parent
        text: button.text
        color: button.accent ? Theme.textOnAccent : button.enabled ? Theme.text : Theme.textFaint
        font.pixelSize: Theme.fontBody
        font.bold: button.accent
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
