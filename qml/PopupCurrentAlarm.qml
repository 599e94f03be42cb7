import QtQuick 2.15
import Quelta 1.0

// The modal list of the alarms active now: time, then text. The rows are fetched again each time
// it opens and whenever the number of alarms changes.
Item {
    id: popup

    visible: false
    z: 900
    anchors.fill: parent

    function open() {
        visible = true
        forceActiveFocus()
    }
    function close() {
        visible = false
    }
    function refresh() {
        alarmModel.clear()
        var rows = Alarm.allAlarm()
        for (var i = 0; i < rows.length; ++i)
            alarmModel.append({ "time": String(rows[i].time), "alarm": String(rows[i].alarm) })
    }

    onVisibleChanged: if (visible) refresh()
    Keys.onEscapePressed: close()
    Connections {
        target: Alarm
        function onAlarmNumChanged() {
            if (popup.visible)
                popup.refresh()
        }
    }

    ListModel { id: alarmModel }

    // The list is made when the pop-up opens, and goes when it closes.
    Loader {
        anchors.fill: parent
        active: popup.visible
        sourceComponent: Item {
            Rectangle {
                anchors.fill: parent
                color: "#8015202b"
            }
            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.AllButtons
                onWheel: wheel.accepted = true
            }

            Rectangle {
                anchors.centerIn: parent
                width: Math.min(parent.width - 80, 620)
                height: Math.min(parent.height - 80, 440)
                radius: Theme.radiusLarge
                color: Theme.card
                border.color: Theme.border

                Item {
                    id: titleBar
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.top: parent.top
                    height: 52
                    Image {
                        id: titleIcon
                        anchors.left: parent.left
                        anchors.leftMargin: Theme.margin
                        anchors.verticalCenter: parent.verticalCenter
                        width: 22
                        height: 22
                        sourceSize: Qt.size(22, 22)
                        source: "qrc:/res/image/alarm_bell.svg"
                    }
                    Text {
                        anchors.left: titleIcon.right
                        anchors.leftMargin: 10
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("Alarm")
                        color: Theme.text
                        font.pixelSize: Theme.fontTitle
                        font.bold: true
                    }
                    Rectangle {
                        anchors.right: parent.right
                        anchors.rightMargin: Theme.margin
                        anchors.verticalCenter: parent.verticalCenter
                        height: 22
                        width: Math.max(22, countText.implicitWidth + 14)
                        radius: 11
                        color: alarmModel.count > 0 ? Theme.faultSoft : Theme.idleSoft
                        Text {
                            id: countText
                            anchors.centerIn: parent
                            text: alarmModel.count
                            color: alarmModel.count > 0 ? Theme.fault : Theme.textDim
                            font.pixelSize: Theme.fontSmall
                            font.bold: true
                        }
                    }
                    Rectangle {
                        anchors.bottom: parent.bottom
                        width: parent.width
                        height: 1
                        color: Theme.divider
                    }
                }

                ListView {
                    id: list
                    objectName: "currentAlarmList"
                    anchors.top: titleBar.bottom
                    anchors.bottom: footer.top
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.margins: 1
                    clip: true
                    model: alarmModel
                    boundsBehavior: Flickable.StopAtBounds
                    delegate: Rectangle {
                        width: list.width
                        height: 38
                        color: index % 2 ? Theme.cardAlt : Theme.card
                        Rectangle {
                            id: dot
                            anchors.left: parent.left
                            anchors.leftMargin: Theme.margin
                            anchors.verticalCenter: parent.verticalCenter
                            width: 8
                            height: 8
                            radius: 4
                            color: Theme.fault
                        }
                        Text {
                            id: timeText
                            anchors.left: dot.right
                            anchors.leftMargin: 10
                            anchors.verticalCenter: parent.verticalCenter
                            width: 150
                            text: model.time
                            color: Theme.textDim
                            font.pixelSize: Theme.fontSmall
                            font.family: Theme.fontMono
                        }
                        Text {
                            anchors.left: timeText.right
                            anchors.leftMargin: Theme.gap
                            anchors.right: parent.right
                            anchors.rightMargin: Theme.margin
                            anchors.verticalCenter: parent.verticalCenter
                            text: model.alarm
                            elide: Text.ElideRight
                            color: Theme.text
                            font.pixelSize: Theme.fontBody
                        }
                    }

                    Column {
                        anchors.centerIn: parent
                        visible: alarmModel.count === 0
                        spacing: Theme.gap
                        Image {
                            anchors.horizontalCenter: parent.horizontalCenter
                            width: 40
                            height: 40
                            sourceSize: Qt.size(40, 40)
                            source: "qrc:/res/image/state_ok.svg"
                            opacity: 0.8
                        }
                        Text {
                            objectName: "labelNoAlarm"
                            anchors.horizontalCenter: parent.horizontalCenter
                            text: qsTr("No alarm stands now.")
                            color: Theme.textFaint
                            font.pixelSize: Theme.fontLarge
                        }
                    }
                }

                Item {
                    id: footer
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    height: 56
                    Rectangle {
                        anchors.top: parent.top
                        width: parent.width
                        height: 1
                        color: Theme.divider
                    }
                    PlainButton {
                        objectName: "currentAlarmSure"
                        anchors.right: parent.right
                        anchors.rightMargin: Theme.margin
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("Sure")
                        accent: true
                        onClicked: popup.close()
                    }
                }
            }
        }
    }
}
