import QtQuick 2.15
import QtCharts 2.15
import Quelta 1.0

// The input and output voltage of the last polls, redrawn on every new data set while shown.
Item {
    id: page

    property bool stale: true

    function redraw() {
        var data = DevComm.devData
        var input = data.inputVolList || []
        var output = data.outputVolList || []
        inputSeries.clear()
        outputSeries.clear()
        var lo = Number.MAX_VALUE
        var hi = -Number.MAX_VALUE
        // A reading the UPS did not report is an empty entry: no point, rather than one at 0 V.
        for (var i = 0; i < input.length; ++i) {
            if (typeof input[i] !== "number")
                continue
            inputSeries.append(i, input[i])
            lo = Math.min(lo, input[i])
            hi = Math.max(hi, input[i])
        }
        for (var j = 0; j < output.length; ++j) {
            if (typeof output[j] !== "number")
                continue
            outputSeries.append(j, output[j])
            lo = Math.min(lo, output[j])
            hi = Math.max(hi, output[j])
        }
        if (lo > hi || hi <= 0) {
            lo = 0
            hi = 250
        }
        axisY.min = Math.max(0, Math.floor((lo - 10) / 10) * 10)
        axisY.max = Math.ceil((hi + 10) / 10) * 10
        axisX.max = Math.max(60, input.length - 1)
        stale = false
    }

    onVisibleChanged: if (visible && stale) redraw()
    Component.onCompleted: redraw()
    Connections {
        target: DevComm
        function onDevDataChanged() {
            if (page.visible)
                page.redraw()
            else
                page.stale = true
        }
    }

    ChartView {
        id: chart
        objectName: "voltageChart"
        anchors.fill: parent
        anchors.margins: 6
        antialiasing: true
        backgroundColor: Theme.card
        plotAreaColor: Theme.card
        legend.alignment: Qt.AlignTop
        legend.labelColor: Theme.textDim
        legend.font.pixelSize: Theme.fontSmall
        margins { left: 8; right: 12; top: 4; bottom: 4 }

        ValueAxis {
            id: axisX
            min: 0
            max: 60
            tickCount: 7
            labelFormat: "%d"
            labelsColor: Theme.textFaint
            labelsFont.pixelSize: Theme.fontCaption
            gridLineColor: Theme.divider
            lineVisible: false
        }
        ValueAxis {
            id: axisY
            min: 0
            max: 250
            tickCount: 6
            labelFormat: "%.0f"
            labelsColor: Theme.textFaint
            labelsFont.pixelSize: Theme.fontCaption
            gridLineColor: Theme.divider
            lineVisible: false
        }
        LineSeries {
            id: inputSeries
            objectName: "inputSeries"
            name: qsTr("Input Voltage(V)")
            axisX: axisX
            axisY: axisY
            color: Theme.seriesA
            width: 2.5
        }
        LineSeries {
            id: outputSeries
            objectName: "outputSeries"
            name: qsTr("Output Voltage(V)")
            axisX: axisX
            axisY: axisY
            color: Theme.seriesB
            width: 2.5
        }
    }
}
