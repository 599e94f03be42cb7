import QtQuick 2.15

// One measurement tile: icon, title, the value in large figures and its unit.
Rectangle {
    id: item
    property string title
    property string value: "--"
    property string unit
    property url icon
    property color tint: Theme.accent

    radius: Theme.radiusLarge
    color: Theme.card
    border.color: Theme.border

    Rectangle {
        id: disc
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: 14
        width: 36
        height: 36
        radius: 10
        color: Qt.rgba(item.tint.r, item.tint.g, item.tint.b, 0.12)
        Image {
            anchors.centerIn: parent
            width: 22
            height: 22
            sourceSize: Qt.size(22, 22)
            source: item.icon
        }
    }
    Text {
        anchors.left: disc.right
        anchors.leftMargin: 10
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.verticalCenter: disc.verticalCenter
        text: item.title
        color: Theme.textDim
        font.pixelSize: Theme.fontBody
        wrapMode: Text.WordWrap
        maximumLineCount: 2
        elide: Text.ElideRight
    }
    Row {
        anchors.left: parent.left
        anchors.leftMargin: 16
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 14
        spacing: 6
        Text {
            id: valueText
            objectName: "value"
            text: item.value
            color: item.value === "--" ? Theme.textFaint : Theme.text
            font.pixelSize: Theme.fontDisplay
            font.bold: true
        }
        Text {
            anchors.baseline: valueText.baseline
            text: item.unit
            color: Theme.textDim
            font.pixelSize: Theme.fontLarge
        }
    }
}
