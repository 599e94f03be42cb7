import QtQuick 2.15

// One status tile of the device column: an icon in a tinted disc, the title and the state word.
// tone is "ok", "warn", "fault", "info" or "idle".
Rectangle {
    id: tile
    property string title
    property string value: "--"
    property url icon
    property string tone: "idle"

    readonly property color toneColor: tone === "ok" ? Theme.ok : tone === "warn" ? Theme.warn
                                     : tone === "fault" ? Theme.fault : tone === "info" ? Theme.info
                                     : Theme.idle
    readonly property color toneSoft: tone === "ok" ? Theme.okSoft : tone === "warn" ? Theme.warnSoft
                                    : tone === "fault" ? Theme.faultSoft : tone === "info" ? Theme.infoSoft
                                    : Theme.idleSoft

    implicitWidth: 130
    implicitHeight: 66
    radius: Theme.radius
    color: Theme.card
    border.color: tone === "fault" ? Theme.fault : Theme.border
    border.width: tone === "fault" ? 1.5 : 1

    Rectangle {
        id: disc
        anchors.left: parent.left
        anchors.leftMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        width: 30
        height: 30
        radius: 15
        color: tile.toneSoft
        Image {
            anchors.centerIn: parent
            width: 18
            height: 18
            sourceSize: Qt.size(18, 18)
            source: tile.icon
            // A tile's icon is fixed: decoded beside the window's first frame, not before it.
            asynchronous: true
        }
    }
    Column {
        anchors.left: disc.right
        anchors.leftMargin: 8
        anchors.right: parent.right
        anchors.rightMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        spacing: 3
        Text {
            width: parent.width
            text: tile.title
            color: Theme.textDim
            font.pixelSize: Theme.fontCaption
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
        }
        Text {
            objectName: "value"
            width: parent.width
            text: tile.value
            color: tile.tone === "idle" ? Theme.textDim : tile.toneColor
            font.pixelSize: Theme.fontBody
            font.bold: true
            // A long state word ("Disconnected") gets smaller rather than cut.
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: Theme.fontCaption
            elide: Text.ElideRight
        }
    }
}
