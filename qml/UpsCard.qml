import QtQuick 2.15
import Quelta 1.0

// One UPS on the overview: its worst state, charge, runtime, load and link; a click opens it.
Rectangle {
    id: card
    property DevStatusView status
    property bool local: false
    signal opened

    width: 300
    height: 164
    radius: Theme.radiusLarge
    color: Theme.card
    border.color: look.color
    border.width: 2

    UpsStateLook {
        id: look
        status: card.status
    }

    Column {
        anchors.fill: parent
        anchors.margins: Theme.margin
        spacing: 6

        Text {
            objectName: "cardName"
            width: parent.width
            elide: Text.ElideRight
            text: card.local ? qsTr("This computer") : (card.status ? card.status.name : "")
            color: Theme.text
            font.pixelSize: Theme.fontLarge
            font.bold: true
        }
        Rectangle {
            height: 22
            width: stateText.implicitWidth + 20
            radius: 11
            color: look.softColor
            Text {
                id: stateText
                objectName: "cardState"
                anchors.centerIn: parent
                text: look.text
                color: look.color
                font.pixelSize: Theme.fontSmall
                font.bold: true
            }
        }
        Row {
            objectName: "cardFigures"
            spacing: Theme.margin
            Repeater {
                model: [
                    [qsTr("Charge"), card.status && card.status.batteryPercent >= 0
                                     ? Math.round(card.status.batteryPercent) + " %" : "--"],
                    [qsTr("Runtime"), card.status ? card.status.battRemainText : "--"],
                    [qsTr("Load"), card.status && card.status.loadText !== "--"
                                   ? card.status.loadText + " %" : "--"]
                ]
                Column {
                    Text {
                        text: modelData[0]
                        color: Theme.textFaint
                        font.pixelSize: Theme.fontCaption
                    }
                    Text {
                        text: modelData[1]
                        color: Theme.text
                        font.pixelSize: Theme.fontLarge
                        font.bold: true
                    }
                }
            }
        }
        Text {
            objectName: "cardLink"
            text: !card.status ? "--"
                : card.status.linkState === DevStatusView.LinkOnline ? qsTr("Conneted")
                : card.status.linkState === DevStatusView.LinkOffline ? qsTr("Disconnected") : "--"
            color: Theme.textFaint
            font.pixelSize: Theme.fontSmall
        }
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: card.opened()
    }
}
