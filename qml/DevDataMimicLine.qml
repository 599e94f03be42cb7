import QtQuick 2.15
import QtQuick.Window 2.15

// One conductor of the power-flow diagram. While live it carries dashes that move in the
// direction of the flow (towards the end, or back with "reverse"); the dashes only run while the
// line is on screen.
Item {
    id: line
    property bool horizontal: true
    property bool live: false
    property bool reverse: false
    property color flowColor: Theme.flowLive
    property int thickness: 6
    readonly property bool animating: live && visible && Window.visibility !== Window.Hidden
                                      && Window.visibility !== Window.Minimized
    readonly property int period: 18

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
            property real offset: 0
            x: line.horizontal ? offset - line.period : 0
            y: line.horizontal ? 0 : offset - line.period
            width: line.horizontal ? line.width + 2 * line.period : line.width
            height: line.horizontal ? line.height : line.height + 2 * line.period

            Repeater {
                model: Math.ceil((line.horizontal ? strip.width : strip.height) / line.period)
                Rectangle {
                    x: line.horizontal ? index * line.period : 0
                    y: line.horizontal ? 0 : index * line.period
                    width: line.horizontal ? 10 : line.thickness
                    height: line.horizontal ? line.thickness : 10
                    radius: line.thickness / 2
                    color: line.flowColor
                }
            }

            NumberAnimation on offset {
                from: line.reverse ? line.period : 0
                to: line.reverse ? 0 : line.period
                duration: 700
                loops: Animation.Infinite
                running: line.animating
            }
        }
    }
}
