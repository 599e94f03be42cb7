import QtQuick 2.15
import Quelta 1.0

Rectangle {
    id: header
    property alias buttonMinimize: buttonMinimize
    property alias buttonClose: buttonClose
    property bool worstShown: false
    property string worstText
    property color worstColor: Theme.idle

    height: Theme.headerHeight
    color: Theme.chrome

    Image {
        id: logo
        anchors.left: parent.left
        anchors.leftMargin: 14
        anchors.verticalCenter: parent.verticalCenter
        width: 24
        height: 24
        sourceSize: Qt.size(24, 24)
        source: "qrc:/res/image/Quelta.svg"
        // Drawn beside the first frame rather than before it: its picture never changes.
        asynchronous: true
    }

    Text {
        objectName: "headerTitle"
        anchors.left: logo.right
        anchors.leftMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        text: App.name
        color: Theme.chromeText
        font.pixelSize: Theme.fontLarge
        font.bold: true
        font.letterSpacing: 2
    }

    Rectangle {
        objectName: "headerWorst"
        visible: header.worstShown
        anchors.centerIn: parent
        height: 24
        width: worstLabel.implicitWidth + 24
        radius: 12
        color: header.worstColor

        Text {
            id: worstLabel
            anchors.centerIn: parent
            text: header.worstText
            color: Theme.textOnAccent
            font.pixelSize: Theme.fontSmall
            font.bold: true
        }
    }

    Row {
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom

        HeaderButton {
            id: buttonMinimize
            objectName: "buttonMinimize"
            height: parent.height
            iconSource: "qrc:/res/image/header_min.svg"
        }
        HeaderButton {
            id: buttonClose
            objectName: "buttonClose"
            height: parent.height
            iconSource: "qrc:/res/image/header_close.svg"
            danger: true
        }
    }

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: Theme.chromeLine
    }
}
