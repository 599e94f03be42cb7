import QtQuick 2.15
import QtQuick.Extras 1.4
import QtQuick.Controls.Styles 1.4

// A circular gauge in percent with its title and the value in figures below the needle.
// "warnAbove" colours the arc from that value on (overload); "warnBelow" up to it (low battery).
Rectangle {
    id: dial
    property string title
    property real value: -1
    property real maximum: 100
    property real warnAbove: -1
    property real warnBelow: -1

    readonly property bool known: value >= 0
    readonly property color valueColor: !known ? Theme.idle
                                      : (warnAbove >= 0 && value > warnAbove) ? Theme.fault
                                      : (warnBelow >= 0 && value < warnBelow) ? Theme.warn : Theme.accent

    radius: Theme.radiusLarge
    color: Theme.card
    border.color: Theme.border

    Text {
        id: titleText
        anchors.top: parent.top
        anchors.topMargin: 14
        anchors.horizontalCenter: parent.horizontalCenter
        text: dial.title
        color: Theme.text
        font.pixelSize: Theme.fontLarge
        font.bold: true
    }

    CircularGauge {
        id: gauge
        objectName: "gauge"
        anchors.top: titleText.bottom
        anchors.topMargin: 10
        anchors.bottom: valueText.top
        anchors.bottomMargin: -18
        anchors.horizontalCenter: parent.horizontalCenter
        width: Math.min(parent.width - 40, height)
        minimumValue: 0
        maximumValue: dial.maximum
        value: dial.known ? Math.min(dial.value, dial.maximum) : 0
        Behavior on value { NumberAnimation { duration: 400; easing.type: Easing.OutCubic } }

        style: CircularGaugeStyle {
            minimumValueAngle: -130
            maximumValueAngle: 130
            tickmarkStepSize: 10
            minorTickmarkCount: 1
            labelStepSize: 20
            labelInset: outerRadius * 0.3

            background: Canvas {
                property real level: gauge.value
                onLevelChanged: requestPaint()
                Component.onCompleted: requestPaint()
                onPaint: {
                    var ctx = getContext("2d")
                    ctx.reset()
                    var r = outerRadius * 0.93
                    var start = (-130 - 90) * Math.PI / 180
                    var span = 260 * Math.PI / 180
                    ctx.lineWidth = outerRadius * 0.07
                    ctx.lineCap = "round"
                    ctx.strokeStyle = Theme.idleSoft
                    ctx.beginPath()
                    ctx.arc(outerRadius, outerRadius, r, start, start + span)
                    ctx.stroke()
                    if (dial.warnAbove >= 0) {
                        ctx.strokeStyle = Theme.faultSoft
                        ctx.beginPath()
                        ctx.arc(outerRadius, outerRadius, r, start + span * dial.warnAbove / dial.maximum, start + span)
                        ctx.stroke()
                    }
                    if (level > 0) {
                        ctx.strokeStyle = dial.valueColor
                        ctx.beginPath()
                        ctx.arc(outerRadius, outerRadius, r, start, start + span * level / dial.maximum)
                        ctx.stroke()
                    }
                }
            }
            tickmark: Rectangle {
                implicitWidth: 2
                implicitHeight: outerRadius * 0.06
                antialiasing: true
                color: Theme.textFaint
            }
            minorTickmark: Rectangle {
                implicitWidth: 1
                implicitHeight: outerRadius * 0.03
                antialiasing: true
                color: Theme.border
            }
            tickmarkLabel: Text {
                text: styleData.value
                color: Theme.textDim
                font.pixelSize: Math.max(9, outerRadius * 0.09)
            }
            // Ends short of the figures (their ring is at 0.7 of the radius), so none is covered.
            needle: Rectangle {
                implicitWidth: outerRadius * 0.035
                implicitHeight: outerRadius * 0.56
                radius: width / 2
                antialiasing: true
                color: dial.known ? Theme.text : Theme.idle
            }
            foreground: Item {
                Rectangle {
                    anchors.centerIn: parent
                    width: outerRadius * 0.14
                    height: width
                    radius: width / 2
                    color: Theme.card
                    border.width: outerRadius * 0.035
                    border.color: dial.known ? Theme.text : Theme.idle
                }
            }
        }
    }

    Text {
        id: valueText
        objectName: "dialValue"
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 18
        anchors.horizontalCenter: parent.horizontalCenter
        text: dial.known ? Math.round(dial.value) + " %" : "-- %"
        color: dial.valueColor
        font.pixelSize: Theme.fontDisplay
        font.bold: true
    }
}
