import QtQuick 2.15
import QtCharts 2.15

// The measurements of the chosen days over time: input and output voltage on the left axis;
// load, battery voltage and temperature on the right one; a red line where an alarm was raised.
// `history` is a HistoryChart: its points arrive reduced, and are filled in one go.
ChartView {
    id: view

    property QtObject history: null
    // Which of the five series are shown (the numbers of HistoryChart.Series).
    property var shown: [true, true, true, true, true]
    readonly property var series: [seriesInput, seriesOutput, seriesLoad, seriesBattery, seriesTemperature]
    readonly property real span: history ? history.toMsecs - history.fromMsecs : 0

    signal drawn

    function chosen(first, last) {
        var list = []
        for (var i = first; i <= last; ++i) {
            if (shown[i])
                list.push(i)
        }
        return list
    }

    function redraw() {
        if (!history)
            return
        for (var i = 0; i < series.length; ++i)
            history.fill(series[i], i)
        rescale()
        drawn()
    }

    function rescale() {
        var volts = history.valueRange(chosen(0, 1))
        axisVolts.min = volts.x
        axisVolts.max = volts.y
        axisVolts.applyNiceNumbers()
        var other = history.valueRange(chosen(2, 4))
        axisOther.min = other.x
        axisOther.max = other.y
        axisOther.applyNiceNumbers()
    }

    onShownChanged: if (history) rescale()

    antialiasing: true
    backgroundColor: Theme.card
    plotAreaColor: Theme.card
    legend.visible: false
    margins { left: 4; right: 4; top: 4; bottom: 4 }

    Connections {
        target: view.history
        function onLoaded() {
            view.redraw()
        }
    }

    DateTimeAxis {
        id: axisTime
        min: new Date(view.history ? view.history.fromMsecs : 0)
        max: new Date(view.history ? view.history.toMsecs : 86400000)
        format: view.span <= 86400000 ? "hh:mm" : view.span <= 7 * 86400000 ? "MM-dd hh:mm" : "MM-dd"
        tickCount: 7
        labelsColor: Theme.textFaint
        labelsFont.pixelSize: Theme.fontCaption
        gridLineColor: Theme.divider
        lineVisible: false
    }
    ValueAxis {
        id: axisVolts
        objectName: "axisVolts"
        tickCount: 6
        labelFormat: "%.0f"
        titleText: "V"
        titleFont.pixelSize: Theme.fontCaption
        labelsColor: Theme.textFaint
        labelsFont.pixelSize: Theme.fontCaption
        gridLineColor: Theme.divider
        lineVisible: false
    }
    ValueAxis {
        id: axisOther
        objectName: "axisOther"
        tickCount: 6
        labelFormat: "%.0f"
        titleText: "%  ℃  V"
        titleFont.pixelSize: Theme.fontCaption
        labelsColor: Theme.textFaint
        labelsFont.pixelSize: Theme.fontCaption
        gridVisible: false
        lineVisible: false
    }

    LineSeries {
        id: seriesInput
        objectName: "seriesInput"
        name: qsTr("Input Voltage(V)")
        axisX: axisTime
        axisY: axisVolts
        color: Theme.seriesA
        width: 1.5
        visible: view.shown[0]
    }
    LineSeries {
        id: seriesOutput
        objectName: "seriesOutput"
        name: qsTr("Output Voltage(V)")
        axisX: axisTime
        axisY: axisVolts
        color: Theme.seriesB
        width: 1.5
        visible: view.shown[1]
    }
    LineSeries {
        id: seriesLoad
        objectName: "seriesLoad"
        name: qsTr("UPS Load(%)")
        axisX: axisTime
        axisYRight: axisOther
        color: Theme.seriesC
        width: 1.5
        visible: view.shown[2]
    }
    LineSeries {
        id: seriesBattery
        objectName: "seriesBattery"
        name: qsTr("Battery voltage(V)")
        axisX: axisTime
        axisYRight: axisOther
        color: Theme.seriesD
        width: 1.5
        visible: view.shown[3]
    }
    LineSeries {
        id: seriesTemperature
        objectName: "seriesTemperature"
        name: qsTr("Temperature(℃)")
        axisX: axisTime
        axisYRight: axisOther
        color: Theme.seriesE
        width: 1.5
        visible: view.shown[4]
    }

    // The alarm marks, placed by the time axis; pointing at one tells what it was.
    Repeater {
        id: marks
        objectName: "alarmMarks"
        model: view.history ? view.history.marks : []
        delegate: Rectangle {
            readonly property var mark: modelData
            readonly property real position: view.plotArea.width > 0 && view.span > 0
                ? view.plotArea.x + view.plotArea.width * (mark.time - view.history.fromMsecs) / view.span
                : -10
            objectName: "alarmMark"
            x: position - width / 2
            y: view.plotArea.y
            width: 2
            height: view.plotArea.height
            color: Theme.fault
            opacity: hover.containsMouse ? 0.9 : 0.45

            MouseArea {
                id: hover
                anchors.fill: parent
                anchors.margins: -4
                hoverEnabled: true
            }
            Rectangle {
                visible: hover.containsMouse
                x: parent.position + 120 + tip.width > view.width ? -tip.width - 8 : 8
                y: 4
                width: tip.implicitWidth + 12
                height: tip.implicitHeight + 8
                radius: Theme.radius
                color: Theme.chrome
                Text {
                    id: tip
                    anchors.centerIn: parent
                    color: Theme.chromeText
                    font.pixelSize: Theme.fontSmall
                    text: Qt.formatDateTime(new Date(parent.parent.mark.time), "yyyy-MM-dd hh:mm:ss")
                          + "  " + parent.parent.mark.text
                          + (parent.parent.mark.count > 1 ? "  (×" + parent.parent.mark.count + ")" : "")
                }
            }
        }
    }
}
