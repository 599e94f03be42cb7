import QtQuick 2.15

// One entry of the side lists of the settings and history pages. The view's model gives the
// caption as modelData (a list of texts) or as the role "name"; clicking makes it current.
Item {
    id: entry

    property string text: typeof modelData !== "undefined" ? modelData : (typeof name !== "undefined" ? name : "")
    property url icon
    readonly property bool current: ListView.isCurrentItem

    signal clicked

    width: ListView.view ? ListView.view.width : implicitWidth
    implicitWidth: 180
    height: 40

    Rectangle {
        anchors.fill: parent
        anchors.leftMargin: 6
        anchors.rightMargin: 6
        anchors.topMargin: 2
        anchors.bottomMargin: 2
        radius: Theme.radius
        color: entry.current ? Theme.accentSoft : area.containsMouse ? Theme.cardAlt : "transparent"
        Behavior on color { ColorAnimation { duration: Theme.fast } }

        Rectangle {
            visible: entry.current
            width: 3
            height: parent.height - 14
            radius: 1.5
            anchors.left: parent.left
            anchors.leftMargin: 4
            anchors.verticalCenter: parent.verticalCenter
            color: Theme.accent
        }
        Row {
            anchors.left: parent.left
            anchors.leftMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            spacing: 10
            Image {
                visible: entry.icon.toString().length > 0
                source: entry.icon
                width: 18
                height: 18
                sourceSize: Qt.size(18, 18)
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                text: entry.text
                anchors.verticalCenter: parent.verticalCenter
                color: entry.current ? Theme.accentPressed : Theme.text
                font.pixelSize: Theme.fontBody
                font.bold: entry.current
            }
        }
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: {
            if (entry.ListView.view)
                entry.ListView.view.currentIndex = index
            entry.clicked()
        }
    }
}
