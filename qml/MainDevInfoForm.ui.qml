import QtQuick 2.15
import Quelta 1.0

Item {
    id: form
    property DevStatusView status

    // Texts chosen by the behaviour file from the status view.
    property string linkText
    property string linkProblem
    property string countdownTitle
    property string cancelText
    property alias cancelButton: cancelButton
    property color linkColor: Theme.stateWaiting
    property string commText
    property string inputText
    property string batteryText
    property string faultText
    property string workText
    property string selfTestText
    property string commTone: "idle"
    property string inputTone: "idle"
    property string batteryTone: "idle"
    property string faultTone: "idle"
    property string workTone: "idle"
    property string selfTestTone: "idle"

    Column {
        anchors.fill: parent
        spacing: 10

        // The UPS's state: the worst of what holds now, in its own colour.
        Rectangle {
            objectName: "stateBadge"
            width: parent.width
            height: 72
            radius: Theme.radiusLarge
            color: Theme.chromeRaised
            Rectangle {
                objectName: "stateBadgeMark"
                x: 0
                anchors.verticalCenter: parent.verticalCenter
                width: 4
                height: parent.height - 2 * Theme.margin
                radius: 2
                color: form.linkColor
            }
            Image {
                id: linkImage
                objectName: "linkImage"
                anchors.left: parent.left
                anchors.leftMargin: 14
                anchors.verticalCenter: parent.verticalCenter
                width: 44
                height: 44
                sourceSize: Qt.size(44, 44)
                // Answering and well, answering with something to look at, or not answering.
                source: !form.status || !form.status.online ? "qrc:/res/image/ups_offline.svg"
                      : form.status.upsState === DevStatusView.UpsNormal ? "qrc:/res/image/ups_online.svg"
                      : "qrc:/res/image/ups_alert.svg"
            }
            Column {
                anchors.left: linkImage.right
                anchors.leftMargin: 12
                anchors.right: parent.right
                anchors.rightMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                spacing: 4
                Text {
                    objectName: "linkText"
                    width: parent.width
                    text: form.linkText
                    color: Theme.chromeText
                    font.pixelSize: Theme.fontLarge
                    font.bold: true
                    elide: Text.ElideRight
                }
                Row {
                    spacing: 6
                    Rectangle {
                        objectName: "stateBadgeDot"
                        anchors.verticalCenter: parent.verticalCenter
                        width: 8
                        height: 8
                        radius: 4
                        color: form.linkColor
                    }
                    // The last model known, greyed while the UPS does not answer; why the
                    // link cannot reach it, when it knows.
                    Text {
                        objectName: "headerModel"
                        text: form.linkProblem !== "" ? form.linkProblem
                            : form.status && form.status.knownModel !== "" ? form.status.knownModel : App.name
                        color: form.linkProblem !== "" ? Theme.stateBatteryLow : Theme.chromeTextDim
                        opacity: form.linkProblem !== "" || form.status && form.status.online ? 1.0 : 0.55
                        width: Math.min(implicitWidth, parent.parent.width - 14)
                        elide: Text.ElideRight
                        font.pixelSize: Theme.fontSmall
                    }
                }
            }
        }

        // Shutdown countdown.
        Rectangle {
            width: parent.width
            height: 70
            radius: Theme.radiusLarge
            objectName: "countdownCard"
            // The countdown is this computer's: a watched UPS's page has none to show.
            visible: !(form.status && form.status.watched)
            color: form.status && form.status.cardMode !== DevStatusView.CardIdle ? Theme.warnSoft : Theme.card
            border.color: form.status && form.status.cardMode !== DevStatusView.CardIdle ? Theme.warn : Theme.border
            Text {
                anchors.left: parent.left
                anchors.leftMargin: 14
                anchors.top: parent.top
                anchors.topMargin: 10
                anchors.right: countdownIcon.left
                anchors.rightMargin: 6
                objectName: "countdownTitle"
                text: form.countdownTitle
                color: Theme.textDim
                font.pixelSize: Theme.fontSmall
                // A long translation gets smaller rather than running under the icon.
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 9
            }
            Image {
                id: countdownIcon
                anchors.right: parent.right
                anchors.rightMargin: 14
                anchors.top: parent.top
                anchors.topMargin: 10
                width: 16
                height: 16
                sourceSize: Qt.size(16, 16)
                source: "qrc:/res/image/countdown.svg"
                asynchronous: true
            }
            Text {
                objectName: "countdownText"
                anchors.left: parent.left
                anchors.leftMargin: 14
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 8
                text: form.status ? form.status.countdownText : "--:--:--"
                color: form.status && form.status.cardMode !== DevStatusView.CardIdle ? Theme.warn : Theme.text
                font.pixelSize: Theme.fontHeading
                font.family: Theme.fontMono
                font.bold: true
            }
            // Calls off the countdown, or the output-off, while one may be called off.
            PlainButton {
                id: cancelButton
                objectName: "countdownCancel"
                anchors.right: parent.right
                anchors.rightMargin: 10
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 8
                visible: form.cancelText !== ""
                text: form.cancelText
            }
        }

        // Battery.
        Rectangle {
            width: parent.width
            height: 86
            radius: Theme.radiusLarge
            color: Theme.card
            border.color: Theme.border
            Text {
                id: remainTitle
                anchors.left: parent.left
                anchors.leftMargin: 14
                anchors.top: parent.top
                anchors.topMargin: 10
                text: qsTr("Battery Remaining Time")
                color: Theme.textDim
                font.pixelSize: Theme.fontSmall
            }
            Text {
                objectName: "battRemainText"
                anchors.left: parent.left
                anchors.leftMargin: 14
                anchors.top: remainTitle.bottom
                anchors.topMargin: 4
                text: form.status ? form.status.battRemainText : "--:--:--"
                color: Theme.text
                // The UPS's figure beside the measured one takes a smaller size.
                font.pixelSize: text.length > 12 ? Theme.fontBody : Theme.fontTitle
                font.family: Theme.fontMono
                font.bold: true
            }
            Text {
                objectName: "battPercentText"
                anchors.right: parent.right
                anchors.rightMargin: 14
                anchors.verticalCenter: remainTitle.bottom
                anchors.verticalCenterOffset: 12
                text: form.status && form.status.batteryPercent >= 0
                      ? Math.round(form.status.batteryPercent) + " %" : "-- %"
                color: battBar.levelColor
                font.pixelSize: Theme.fontTitle
                font.bold: true
            }
            DevInfoProgressBar {
                id: battBar
                objectName: "battProgress"
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                anchors.margins: 14
                value: form.status ? form.status.batteryPercent : -1
            }
        }

        // The six status tiles.
        Grid {
            id: tiles
            width: parent.width
            columns: 2
            spacing: 8
            readonly property real tileWidth: (width - spacing) / 2

            DevInfoItem {
                objectName: "tileCommunication"
                width: tiles.tileWidth
                title: qsTr("UPS Communication")
                value: form.commText
                tone: form.commTone
                icon: "qrc:/res/image/tile_comm.svg"
            }
            DevInfoItem {
                objectName: "tileInput"
                width: tiles.tileWidth
                title: qsTr("Input Status")
                value: form.inputText
                tone: form.inputTone
                icon: "qrc:/res/image/tile_input.svg"
            }
            DevInfoItem {
                objectName: "tileBattery"
                width: tiles.tileWidth
                title: qsTr("Battery Voltage")
                value: form.batteryText
                tone: form.batteryTone
                icon: "qrc:/res/image/tile_battery.svg"
            }
            DevInfoItem {
                objectName: "tileFault"
                width: tiles.tileWidth
                title: qsTr("UPS Fault")
                value: form.faultText
                tone: form.faultTone
                icon: "qrc:/res/image/tile_fault.svg"
            }
            DevInfoItem {
                objectName: "tileWork"
                width: tiles.tileWidth
                title: qsTr("Work Status")
                value: form.workText
                tone: form.workTone
                icon: "qrc:/res/image/tile_work.svg"
            }
            DevInfoItem {
                objectName: "tileSelfTest"
                width: tiles.tileWidth
                title: qsTr("UPS Self-Test")
                value: form.selfTestText
                tone: form.selfTestTone
                icon: "qrc:/res/image/tile_selftest.svg"
            }
        }
    }
}
