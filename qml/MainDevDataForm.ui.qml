import QtQuick 2.15
import Quelta 1.0

Rectangle {
    id: form
    property DevStatusView status
    property alias tabs: tabs

    radius: Theme.radiusLarge
    color: Theme.card
    border.color: Theme.border

    // The tabs' titles over the pages; a tab's page is made when the tab is first shown. Plain
    // items: the window's first frame does not wait for a styled tab view.
    Rectangle {
        id: tabBar
        objectName: "devDataTabBar"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 1
        height: 44
        color: Theme.card
        radius: Theme.radiusLarge
        activeFocusOnTab: true
        Keys.onLeftPressed: tabs.currentIndex = Math.max(0, tabs.currentIndex - 1)
        Keys.onRightPressed: tabs.currentIndex = Math.min(tabs.count - 1, tabs.currentIndex + 1)

        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: tabBar.activeFocus ? Theme.accent : Theme.divider
        }

        Row {
            Repeater {
                model: tabs.count
                delegate: MouseArea {
                    id: tab
                    readonly property bool selected: tabs.currentIndex === index
                    objectName: "devDataTab" + index
                    width: Math.max(84, label.implicitWidth + 32)
                    height: tabBar.height
                    hoverEnabled: true
                    onClicked: tabs.currentIndex = index
                    Accessible.role: Accessible.PageTab
                    Accessible.name: label.text

                    Text {
                        id: label
                        anchors.centerIn: parent
                        text: tabs.getTab(index).title
                        color: tab.selected ? Theme.accentPressed
                             : tab.containsMouse ? Theme.text : Theme.textDim
                        font.pixelSize: Theme.fontBody
                        font.bold: tab.selected
                    }
                    Rectangle {
                        anchors.bottom: parent.bottom
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: parent.width - 20
                        height: 3
                        radius: 1.5
                        color: tab.selected ? Theme.accent : "transparent"
                    }
                }
            }
        }
    }

    LazyPages {
        id: tabs
        objectName: "devDataTabs"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: tabBar.bottom
        anchors.bottom: parent.bottom
        anchors.margins: 1
        anchors.topMargin: 0

        LazyPage {
            title: qsTr("Mimic")
            DevDataMimicPage { status: form.status }
        }
        // The other tabs by file: written here, their types (the gauges' and the chart's
        // modules) would be loaded before the first frame.
        LazyPage {
            title: qsTr("Dial")
            source: "DevDataDialPage.qml"
            status: form.status
        }
        LazyPage {
            title: qsTr("Data")
            source: "DevDataItemPage.qml"
            status: form.status
        }
        LazyPage {
            title: qsTr("Chart")
            source: "DevDataChartPage.qml"
        }
        LazyPage {
            title: qsTr("Info.")
            source: "DevDataInfoPage.qml"
            status: form.status
        }
    }
}
