import QtQuick 2.15

// One conductor of the power-flow diagram. While live it carries dashes that step in the
// direction of the flow (towards the end, or back with "reverse") with the diagram's "phase",
// a few steps a second: a running animation would redraw the window at every frame.
Item {
    id: line
    property bool horizontal: true
    property bool live: false
    property bool reverse: false
    property color flowColor: Theme.flowLive
    property int thickness: 6
    // Set by the diagram: whether it is on screen, and a step count that goes up meanwhile.
    property bool flowing: false
    property int phase: 0
    readonly property bool animating: live && flowing
    readonly property int period: 18
    readonly property int step: period / 3

    implicitWidth: horizontal ? 100 : thickness
    implicitHeight: horizontal ? thickness : 100

    Rectangle {
        anchors.fill: parent
        radius: line.thickness / 2
        color: line.live ? Qt.lighter(line.flowColor, 1.75) : Theme.flowDead
        Behavior on color { ColorAnimation { duration: Theme.normal } }
    }

    Item {
        anchors.fill: parent
        clip: true
        visible: line.live

        Item {
            id: strip
            readonly property int shift: line.live ? (line.phase * line.step) % line.period : 0
            readonly property int offset: line.reverse ? (line.period - shift) % line.period : shift
            x: line.horizontal ? offset - line.period : 0
            y: line.horizontal ? 0 : offset - line.period
            width: line.horizontal ? line.width + 2 * line.period : line.width
            height: line.horizontal ? line.height : line.height + 2 * line.period

            Repeater {
                // No dashes are made for a line that carries nothing.
                model: line.live ? Math.ceil((line.horizontal ? strip.width : strip.height) / line.period) : 0
                Rectangle {
                    x: line.horizontal ? index * line.period : 0
                    y: line.horizontal ? 0 : index * line.period
                    width: line.horizontal ? 10 : line.thickness
                    height: line.horizontal ? line.thickness : 10
                    radius: line.thickness / 2
                    color: line.flowColor
                }
            }
        }
    }
}
