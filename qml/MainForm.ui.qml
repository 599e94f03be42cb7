import QtQuick 2.15

Rectangle {
    id: form
    property alias header: header
    property alias panel: panel
    property alias footer: footer
    property alias currentTab: panel.currentIndex

    color: Theme.page

    MainHeader {
        id: header
        objectName: "mainHeader"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
    }
    MainPanel {
        id: panel
        objectName: "mainPanel"
        anchors.top: header.bottom
        anchors.bottom: footer.top
        anchors.left: parent.left
        anchors.right: parent.right
    }
    MainFooterMenu {
        id: footer
        objectName: "mainFooter"
        anchors.bottom: parent.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        currentTab: panel.currentIndex
    }
}
