import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import Quelta 1.0

Rectangle {
    id: form
    property DevStatusView status
    property alias tabs: tabs

    radius: Theme.radiusLarge
    color: Theme.card
    border.color: Theme.border

    // A tab's page is made when the tab is first shown.
    TabView {
        id: tabs
        objectName: "devDataTabs"
        anchors.fill: parent
        anchors.margins: 1
        frameVisible: false

        style: TabViewStyle {
            tabsAlignment: Qt.AlignLeft
            tabOverlap: 0
            frameOverlap: 0
            tabBar: Rectangle {
                color: Theme.card
                radius: Theme.radiusLarge
                Rectangle {
                    anchors.bottom: parent.bottom
                    width: parent.width
                    height: 1
                    color: Theme.divider
                }
            }
            tab: Item {
                implicitWidth: Math.max(84, label.implicitWidth + 32)
                implicitHeight: 44
                Text {
                    id: label
                    anchors.centerIn: parent
                    text: styleData.title
                    color: styleData.selected ? Theme.accentPressed
                         : styleData.hovered ? Theme.text : Theme.textDim
                    font.pixelSize: Theme.fontBody
                    font.bold: styleData.selected
                }
                Rectangle {
                    anchors.bottom: parent.bottom
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: parent.width - 20
                    height: 3
                    radius: 1.5
                    color: styleData.selected ? Theme.accent : "transparent"
                }
            }
            frame: Item {}
        }

        Tab {
            title: qsTr("Mimic")
            DevDataMimicPage { status: form.status }
        }
        Tab {
            title: qsTr("Dial")
            DevDataDialPage { status: form.status }
        }
        Tab {
            title: qsTr("Data")
            DevDataItemPage { status: form.status }
        }
        Tab {
            title: qsTr("Chart")
            DevDataChartPage {}
        }
        Tab {
            title: qsTr("Info.")
            DevDataInfoPage { status: form.status }
        }
    }
}
