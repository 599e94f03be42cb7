import QtQuick 2.15
import QtQuick.Window 2.15
import Quelta 1.0

// The power-flow diagram: mains, bypass, rectifier, battery, inverter and load. Which paths carry
// power, and in which direction the battery current flows, is decided by the status view.
Item {
    id: page
    property DevStatusView status

    readonly property bool online: status ? status.online : false
    readonly property bool mains: status ? status.mainsLive : false
    readonly property bool bypass: status ? status.bypassLive : false
    readonly property bool inverter: status ? status.inverterLive : false
    readonly property bool charging: status ? status.batteryCharging : false
    readonly property bool discharging: status ? status.batteryDischarging : false
    readonly property bool load: status ? status.loadLive : false
    readonly property real battery: status ? status.batteryPercent : -1
    // The flow's dashes step four times a second while the diagram is on screen, all lines at
    // once: one repaint per step, none while hidden or minimised.
    property int flowPhase: 0
    readonly property bool flowing: page.visible && page.online
                                    && page.Window.visibility !== Window.Hidden
                                    && page.Window.visibility !== Window.Minimized

    Timer {
        interval: 250
        repeat: true
        running: page.flowing
        onTriggered: page.flowPhase = (page.flowPhase + 1) % 3
    }

    UpsStateLook {
        id: look
        status: page.status
    }

    // The UPS's state; where all is well, where the load's power comes from.
    Rectangle {
        objectName: "mimicMode"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: 14
        height: 26
        width: modeRow.implicitWidth + 20
        radius: 13
        color: look.softColor
        Row {
            id: modeRow
            anchors.centerIn: parent
            spacing: 6
            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                width: 8
                height: 8
                radius: 4
                color: modeText.color
            }
            Text {
                id: modeText
                objectName: "mimicModeText"
                text: look.upsState !== DevStatusView.UpsNormal ? look.text
                    : page.status.workMode === DevStatusView.WorkOnBypass ? qsTr("On Bypass")
                    : page.status.workMode === DevStatusView.WorkBoostOrBuck ? qsTr("Boost or buck") : qsTr("On Mains")
                color: look.color
                font.pixelSize: Theme.fontSmall
                font.bold: true
            }
        }
    }

    Item {
        id: canvas
        width: 640
        height: 392
        anchors.centerIn: parent
        anchors.verticalCenterOffset: 12

        // The UPS housing around rectifier and inverter.
        Rectangle {
            x: 172
            y: 126
            width: 296
            height: 148
            radius: 14
            color: Theme.cardAlt
            border.color: Theme.divider
            Text {
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                anchors.margins: 8
                text: qsTr("UPS")
                color: Theme.textFaint
                font.pixelSize: Theme.fontSmall
                font.bold: true
                font.letterSpacing: 2
            }
        }

        // Conductors.
        DevDataMimicLine { objectName: "lineMains"; phase: page.flowPhase; flowing: page.flowing; x: 112; y: 197; width: 41; live: page.mains }
        DevDataMimicLine { objectName: "lineRectifier"; phase: page.flowPhase; flowing: page.flowing; x: 150; y: 197; width: 40; live: page.mains }
        DevDataMimicLine { objectName: "lineBypassUp"; phase: page.flowPhase; flowing: page.flowing; horizontal: false; x: 147; y: 64; height: 139; live: page.bypass; reverse: true }
        DevDataMimicLine { objectName: "lineBypass"; phase: page.flowPhase; flowing: page.flowing; x: 147; y: 64; width: 346; live: page.bypass }
        DevDataMimicLine { objectName: "lineBypassDown"; phase: page.flowPhase; flowing: page.flowing; horizontal: false; x: 487; y: 64; height: 139; live: page.bypass }
        DevDataMimicLine { objectName: "lineDcLeft"; phase: page.flowPhase; flowing: page.flowing; x: 274; y: 197; width: 49; live: page.mains && (page.charging || page.inverter) }
        DevDataMimicLine { objectName: "lineDcRight"; phase: page.flowPhase; flowing: page.flowing; x: 317; y: 197; width: 49; live: page.inverter }
        DevDataMimicLine {
            objectName: "lineBattery"
            phase: page.flowPhase
            flowing: page.flowing
            horizontal: false
            x: 317
            y: 197
            height: 96
            live: page.charging || page.discharging
            reverse: page.discharging
            flowColor: page.discharging ? Theme.flowBattery : Theme.flowLive
        }
        DevDataMimicLine { objectName: "lineInverter"; phase: page.flowPhase; flowing: page.flowing; x: 450; y: 197; width: 43; live: page.inverter }
        DevDataMimicLine { objectName: "lineLoad"; phase: page.flowPhase; flowing: page.flowing; x: 487; y: 197; width: 43; live: page.load }

        // Junctions.
        Repeater {
            model: [ { "x": 150, "live": page.mains }, { "x": 490, "live": page.load }, { "x": 320, "live": page.charging || page.discharging } ]
            Rectangle {
                x: modelData.x - 6
                y: 194
                width: 12
                height: 12
                radius: 6
                color: modelData.live ? Theme.flowLive : Theme.flowDead
                border.color: Theme.card
                border.width: 2
            }
        }

        // Static switch on the bypass.
        Rectangle {
            x: 288
            y: 50
            width: 64
            height: 34
            radius: 17
            color: Theme.card
            border.width: 2
            border.color: page.bypass ? Theme.info : Theme.border
            Image {
                anchors.centerIn: parent
                width: 40
                height: 20
                sourceSize: Qt.size(40, 20)
                source: page.bypass ? "qrc:/res/image/mimic_switch_closed.svg" : "qrc:/res/image/mimic_switch_open.svg"
            }
        }

        DevDataMimicNode {
            objectName: "nodeMains"
            x: 0
            y: 144
            icon: "qrc:/res/image/mimic_mains.svg"
            caption: qsTr("AC IN")
            line1: page.status ? page.status.inputVolText + " V" : "-- V"
            line2: page.status ? page.status.inputFreqText + " Hz" : "-- Hz"
            live: page.mains
        }
        DevDataMimicNode {
            objectName: "nodeRectifier"
            x: 188
            y: 158
            width: 88
            height: 84
            iconSize: 44
            icon: "qrc:/res/image/mimic_rectifier.svg"
            caption: qsTr("AC/DC")
            live: page.mains && (page.charging || page.inverter)
        }
        DevDataMimicNode {
            objectName: "nodeInverter"
            x: 364
            y: 158
            width: 88
            height: 84
            iconSize: 44
            icon: "qrc:/res/image/mimic_inverter.svg"
            caption: qsTr("DC/AC")
            live: page.inverter
        }
        DevDataMimicNode {
            objectName: "nodeLoad"
            x: 528
            y: 144
            icon: "qrc:/res/image/mimic_load.svg"
            caption: qsTr("AC OUT")
            line1: page.status ? page.status.outputVolText + " V" : "-- V"
            line2: page.status ? page.status.loadText + " %" : "-- %"
            live: page.load
        }

        // Battery with its charge level.
        Rectangle {
            objectName: "nodeBattery"
            x: 264
            y: 290
            width: 112
            height: 100
            radius: Theme.radiusLarge
            color: Theme.card
            border.width: 2
            border.color: page.discharging ? Theme.flowBattery : page.charging ? Theme.flowLive : Theme.border
            Behavior on border.color { ColorAnimation { duration: Theme.normal } }

            Item {
                id: cell
                x: 16
                anchors.verticalCenter: parent.verticalCenter
                width: 28
                height: 56
                Rectangle {
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 12
                    height: 5
                    radius: 1.5
                    color: Theme.textDim
                }
                Rectangle {
                    id: shell
                    y: 4
                    width: parent.width
                    height: parent.height - 4
                    radius: 4
                    color: "transparent"
                    border.width: 2
                    border.color: Theme.textDim
                    Rectangle {
                        anchors.bottom: parent.bottom
                        anchors.bottomMargin: 4
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: parent.width - 8
                        height: Math.max(0, (parent.height - 8) * Math.max(0, page.battery) / 100)
                        radius: 2
                        color: page.battery < 0 ? Theme.idle : page.battery < 25 ? Theme.fault
                             : page.battery < 50 ? Theme.warn : Theme.ok
                        Behavior on height { NumberAnimation { duration: Theme.normal } }
                    }
                }
            }
            Column {
                anchors.left: cell.right
                anchors.leftMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                spacing: 3
                Text {
                    text: qsTr("BATT")
                    color: Theme.textDim
                    font.pixelSize: Theme.fontCaption
                    font.bold: true
                    font.letterSpacing: 0.5
                }
                Text {
                    text: page.battery >= 0 ? Math.round(page.battery) + " %" : "-- %"
                    color: Theme.text
                    font.pixelSize: Theme.fontBody
                    font.bold: true
                }
                Text {
                    text: (page.status ? page.status.battVolText : "--") + " V"
                    color: Theme.textDim
                    font.pixelSize: Theme.fontSmall
                }
            }
        }
    }
}
