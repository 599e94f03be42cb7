import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15
import QtQuick.Extras 1.4
import QtCharts 2.15
import Qt.labs.platform 1.1 as Platform

Rectangle {
    width: 1024
    height: 680
    color: "#f4f6f8"

    Text {
        anchors.centerIn: parent
        text: "bare window"
        font.pixelSize: 20
    }

    // Where Quelta's close button is.
    MouseArea {
        x: parent.width - 46
        width: 46
        height: 44
        onClicked: Window.window.hide()
    }
}
