import QtQuick 2.15
import Quelta 1.0

Item {
    id: form
    property DevStatusView status
    property alias devInfo: devInfo
    property alias devData: devData

    MainDevInfo {
        id: devInfo
        objectName: "mainDevInfo"
        status: form.status
        width: 300
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.margins: 12
    }
    MainDevData {
        id: devData
        objectName: "mainDevData"
        status: form.status
        anchors.left: devInfo.right
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.margins: 12
    }
}
