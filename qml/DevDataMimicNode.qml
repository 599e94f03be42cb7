import QtQuick 2.15

// A block of the power-flow diagram: an icon, a caption and up to two value lines. The border
// turns to the flow colour while power passes through it.
Rectangle {
    id: node
    property url icon
    property string caption
    property string line1
    property string line2
    property bool live: false
    property color liveColor: Theme.flowLive
    property int iconSize: 40

    width: 112
    height: 112
    radius: Theme.radiusLarge
    color: Theme.card
    border.width: 2
    border.color: live ? liveColor : Theme.border
    Behavior on border.color { ColorAnimation { duration: Theme.normal } }

    Column {
        anchors.centerIn: parent
        spacing: 3
        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: node.iconSize
            height: node.iconSize
            sourceSize: Qt.size(node.iconSize, node.iconSize)
            source: node.icon
            opacity: node.live ? 1 : 0.55
            // A block's icon is fixed: decoded beside the window's first frame, not before it.
            asynchronous: true
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            visible: text.length > 0
            text: node.caption
            color: Theme.textDim
            font.pixelSize: Theme.fontCaption
            font.bold: true
            font.letterSpacing: 0.5
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            visible: text.length > 0
            text: node.line1
            color: Theme.text
            font.pixelSize: Theme.fontBody
            font.bold: true
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            visible: text.length > 0
            text: node.line2
            color: Theme.textDim
            font.pixelSize: Theme.fontSmall
        }
    }
}
