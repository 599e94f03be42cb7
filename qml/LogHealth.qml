import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.15
import QtCharts 2.15
import Quelta 1.0

// The battery's measured health, one figure per discharge to battery low, against the line
// below which it is worn, and where its trend reaches that line. It takes no dates: every kept
// discharge counts.
Item {
    id: root

    property alias trend: trend
    property alias seriesHealth: seriesHealth
    property alias seriesWorn: seriesWorn
    property alias seriesProjection: seriesProjection
    property bool searched: false
    readonly property var points: trend.points
    readonly property real wornPercent: trend.wornBelow * 100

    function search(dateStart, dateEnd, ups) {
        searched = true
        trend.ups = ups || ""
        trend.select()
    }
    // A discharge learned since the last look shows when the view is shown again.
    onVisibleChanged: if (visible && searched && !trend.busy) trend.select()

    function percent(share) {
        return Math.round(share * 100)
    }
    function duration(seconds) {
        var s = Math.round(seconds)
        var m = Math.floor(s / 60)
        return Math.floor(m / 60) + ":" + ("0" + (m % 60)).slice(-2) + ":" + ("0" + (s % 60)).slice(-2)
    }

    function redraw() {
        // Read here: the `points` binding may follow this handler.
        var points = trend.points
        seriesHealth.clear()
        seriesWorn.clear()
        seriesProjection.clear()
        if (points.length === 0)
            return
        var day = 86400000
        var first = points[0].time
        var last = points[points.length - 1].time
        var end = trend.wornMsecs > 0 ? Math.max(last, trend.wornMsecs) : last
        // Room either side, so a single discharge sits inside the plot.
        var pad = Math.max(7 * day, (end - first) * 0.06)
        axisTime.min = new Date(first - pad)
        axisTime.max = new Date(end + pad)
        var low = wornPercent, high = 100
        for (var i = 0; i < points.length; ++i) {
            var h = points[i].health * 100
            seriesHealth.append(points[i].time, h)
            low = Math.min(low, h)
            high = Math.max(high, h)
        }
        axisHealth.min = Math.max(0, Math.floor((low - 10) / 10) * 10)
        axisHealth.max = Math.ceil((high + 5) / 10) * 10
        seriesWorn.append(first - pad, wornPercent)
        seriesWorn.append(end + pad, wornPercent)
        if (trend.wornMsecs > 0) {
            seriesProjection.append(last, points[points.length - 1].health * 100)
            seriesProjection.append(trend.wornMsecs, wornPercent)
        }
    }

    HealthTrend {
        id: trend
        onLoaded: root.redraw()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: Theme.gap
        spacing: Theme.gap
        visible: root.points.length > 0

        // What the newest discharge showed and what its trend says.
        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: Theme.gap
            Layout.rightMargin: Theme.gap
            spacing: Theme.margin

            Text {
                objectName: "healthNow"
                text: root.points.length > 0
                      ? qsTr("Now %1 % of what its first discharges showed").arg(root.percent(root.points[root.points.length - 1].health))
                      : ""
                color: trend.worn ? Theme.fault : Theme.text
                font.pixelSize: Theme.fontLarge
                font.bold: true
            }
            Text {
                objectName: "healthOutlook"
                Layout.fillWidth: true
                horizontalAlignment: Text.AlignRight
                wrapMode: Text.WordWrap
                text: trend.worn ? qsTr("Below %1 %: plan the battery's replacement.").arg(root.wornPercent)
                      : trend.wornMsecs > 0 ? qsTr("On course to fall below %1 % around %2").arg(root.wornPercent)
                                              .arg(Qt.formatDate(new Date(trend.wornMsecs), "yyyy-MM-dd"))
                      : ""
                color: trend.worn ? Theme.fault : trend.wearing ? Theme.warn : Theme.textDim
                font.pixelSize: Theme.fontBody
                font.bold: trend.worn || trend.wearing
            }
        }

        ChartView {
            id: chart
            objectName: "chartHealth"
            Layout.fillWidth: true
            Layout.fillHeight: true
            antialiasing: true
            backgroundColor: Theme.card
            plotAreaColor: Theme.card
            legend.alignment: Qt.AlignBottom
            legend.labelColor: Theme.textDim
            legend.font.pixelSize: Theme.fontSmall
            margins { left: 4; right: 4; top: 4; bottom: 4 }

            DateTimeAxis {
                id: axisTime
                format: "yyyy-MM-dd"
                tickCount: 5
                labelsColor: Theme.textFaint
                labelsFont.pixelSize: Theme.fontCaption
                gridLineColor: Theme.divider
                lineVisible: false
            }
            ValueAxis {
                id: axisHealth
                objectName: "axisHealth"
                min: 50
                max: 110
                tickCount: 5
                labelFormat: "%.0f"
                titleText: "%"
                titleFont.pixelSize: Theme.fontCaption
                labelsColor: Theme.textFaint
                labelsFont.pixelSize: Theme.fontCaption
                gridLineColor: Theme.divider
                lineVisible: false
            }
            LineSeries {
                id: seriesHealth
                objectName: "seriesHealth"
                name: qsTr("Battery health(%)")
                axisX: axisTime
                axisY: axisHealth
                color: Theme.seriesB
                width: 2
                pointsVisible: true
            }
            LineSeries {
                id: seriesProjection
                objectName: "seriesProjection"
                name: qsTr("Trend")
                axisX: axisTime
                axisY: axisHealth
                color: trend.wearing ? Theme.warn : Theme.textFaint
                width: 1.5
                style: Qt.DashLine
            }
            LineSeries {
                id: seriesWorn
                objectName: "seriesWorn"
                name: qsTr("Worn below %1 %").arg(root.wornPercent)
                axisX: axisTime
                axisY: axisHealth
                color: Theme.fault
                width: 1
                style: Qt.DashLine
            }
        }

        Rectangle {
            Layout.fillWidth: true
            height: 1
            color: Theme.border
        }

        // The discharges the figures come from, newest first.
        ListView {
            id: list
            objectName: "listHealth"
            Layout.fillWidth: true
            Layout.preferredHeight: Math.min(contentHeight, root.height * 0.35)
            clip: true
            model: root.points.slice().reverse()
            headerPositioning: ListView.OverlayHeader
            readonly property var columns: [0.34, 0.2, 0.2, 0.26]
            header: Rectangle {
                z: 2
                width: list.width
                height: 32
                color: Theme.cardAlt
                Row {
                    anchors.fill: parent
                    Repeater {
                        model: [qsTr("Date"), qsTr("Health (%)"), qsTr("Load (%)"), qsTr("Duration")]
                        Text {
                            width: list.width * list.columns[index]
                            height: parent.height
                            leftPadding: 10
                            verticalAlignment: Text.AlignVCenter
                            text: modelData
                            elide: Text.ElideRight
                            color: Theme.textDim
                            font.pixelSize: Theme.fontSmall
                            font.bold: true
                        }
                    }
                }
            }
            delegate: Rectangle {
                width: list.width
                height: 28
                color: index % 2 ? Theme.cardAlt : Theme.card
                Row {
                    anchors.fill: parent
                    Repeater {
                        model: [Qt.formatDateTime(new Date(modelData.time), "yyyy-MM-dd hh:mm"),
                                root.percent(modelData.health), Math.round(modelData.load),
                                root.duration(modelData.seconds)]
                        Text {
                            width: list.width * list.columns[index]
                            height: parent.height
                            leftPadding: 10
                            verticalAlignment: Text.AlignVCenter
                            text: modelData
                            elide: Text.ElideRight
                            color: index === 1 && modelData < root.wornPercent ? Theme.fault : Theme.text
                            font.pixelSize: Theme.fontBody
                        }
                    }
                }
            }
        }
    }

    Text {
        objectName: "healthNone"
        anchors.centerIn: parent
        width: parent.width * 0.7
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WordWrap
        visible: root.searched && !trend.busy && root.points.length === 0
        text: trend.error !== ""
              ? qsTr("The stored discharges cannot be read.")
              : qsTr("The battery's health is measured from the first full-enough discharges: a mains failure or a self-test that runs a charged battery down to battery low. None is stored yet.")
        color: Theme.textDim
        font.pixelSize: Theme.fontLarge
    }

    BusyIndicator {
        anchors.centerIn: parent
        width: 48
        height: 48
        running: trend.busy && root.points.length === 0
        visible: running
    }
}
