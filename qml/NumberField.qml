import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import Quelta 1.0

// A whole number from `minimumValue` to `maximumValue`, typed or stepped (the arrows beside it,
// the arrow keys, the wheel). `value` is the number in force; the field announces a new one with
// edited(number) when an edit ends (Return, the focus leaving) or at each step. A typed number
// outside the range is never cut to another one: the field is marked (`refused`), `refusal`
// says why, `value` stays, and nothing is announced until the text is corrected.
TextField {
    id: field

    property int value: 0
    // The settings key the field edits: its range is the one the key table gives forms.
    property string settingKey: ""
    readonly property var keyRange: settingKey !== "" ? Settings.formRange(settingKey) : null
    property int minimumValue: keyRange ? keyRange.min : 0
    property int maximumValue: keyRange ? keyRange.max : 99
    property bool refused: false
    // Shown with leading zeros up to this many digits (the parts of a time of day).
    property int minimumDigits: 1
    readonly property string refusal: refused
        ? qsTr("The marked number must be from %1 to %2; %3 stays in force.").arg(minimumValue).arg(maximumValue).arg(value)
        : ""

    signal edited(int number)

    function typedNumber() {
        var text = field.text.trim()
        return /^-?[0-9]+$/.test(text) ? parseInt(text, 10) : NaN
    }

    function inRange(n) {
        return !isNaN(n) && n >= minimumValue && n <= maximumValue
    }

    function shown(n) {
        var digits = String(n)
        while (digits.length < minimumDigits)
            digits = "0" + digits
        return digits
    }

    function take(n) {
        refused = false
        var changed = n !== value
        value = n
        text = shown(n)
        if (changed)
            edited(n)
    }

    // The typed text as the number in force, when it is one; false (and marked) when not.
    function accept() {
        var n = typedNumber()
        if (!inRange(n)) {
            refused = true
            return false
        }
        take(n)
        return true
    }

    function step(by) {
        var n = typedNumber()
        if (isNaN(n))
            n = value
        take(Math.max(minimumValue, Math.min(maximumValue, n + by)))
    }

    implicitWidth: 80
    validator: RegExpValidator {
        // A minus is taken so that "-5" is refused as such rather than read as 5.
        regExp: /-?[0-9]{0,7}/
    }
    inputMethodHints: Qt.ImhDigitsOnly
    text: shown(value)

    onValueChanged: {
        refused = false
        text = shown(value)
    }
    // Marked as soon as the typing has gone past the range; the mark goes once it is right.
    onTextChanged: {
        var n = typedNumber()
        if (inRange(n))
            refused = false
        else if (!isNaN(n) && (n > maximumValue || n < 0))
            refused = true
    }
    onEditingFinished: accept()
    Keys.onUpPressed: step(1)
    Keys.onDownPressed: step(-1)

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.NoButton
        onWheel: if (field.enabled) field.step(wheel.angleDelta.y > 0 ? 1 : -1)
    }

    Column {
        anchors.right: parent.right
        anchors.rightMargin: 2
        anchors.verticalCenter: parent.verticalCenter
        Repeater {
            model: [1, -1]
            MouseArea {
                objectName: modelData > 0 ? "stepUp" : "stepDown"
                width: 20
                height: 12
                enabled: field.enabled
                onClicked: {
                    field.forceActiveFocus()
                    field.step(modelData)
                }
                Image {
                    anchors.centerIn: parent
                    width: 10
                    height: 10
                    rotation: modelData > 0 ? 180 : 0
                    sourceSize: Qt.size(20, 20)
                    source: "qrc:/res/image/chevron_down.svg"
                    opacity: field.enabled ? (parent.pressed ? 0.5 : 1.0) : 0.3
                }
            }
        }
    }

    style: TextFieldStyle {
        textColor: Theme.text
        selectionColor: Theme.accentSoft
        selectedTextColor: Theme.text
        padding {
            left: 10
            right: 22
        }
        background: Rectangle {
            implicitWidth: 80
            implicitHeight: Theme.controlHeight
            radius: Theme.radius
            color: control.enabled ? Theme.card : Theme.cardAlt
            border.width: control.activeFocus || control.refused ? 2 : 1
            border.color: control.refused ? Theme.fault
                        : control.activeFocus || control.hovered ? Theme.accent : Theme.border
        }
    }
}
