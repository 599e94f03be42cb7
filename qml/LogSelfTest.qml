import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.15
import QtCharts 2.15
import Quelta 1.0

// The recorded self-tests; choosing one draws its load and battery capacity over time.
Item {
    id: root

    property alias model: tableModel
    property alias tableView: tableView
    property alias chart: chart
    property alias seriesLoad: seriesLoad
    property alias seriesCap: seriesCap

    property bool searched: false

    function search(dateStart, dateEnd, ups) {
        searched = true
        tableModel.ups = ups || ""
        tableModel.selectDate(dateStart, dateEnd)
        // The recording drawn belonged to a row of the last search, perhaps of another UPS.
        seriesLoad.clear()
        seriesCap.clear()
    }

    function redraw() {
        var data = tableModel.selfTestData()
        var times = data["time"] || []
        var loads = data["load"] || []
        var caps = data["battCap"] || []
        seriesLoad.clear()
        seriesCap.clear()
        var last = 0
        for (var i = 0; i < times.length; ++i) {
            var t = Number(times[i])
            if (isNaN(t))
                continue
            var load = Number(loads[i])
            var cap = Number(caps[i])
            if (!isNaN(load))
                seriesLoad.append(t, load)
            if (!isNaN(cap))
                seriesCap.append(t, cap)
            last = Math.max(last, t)
        }
        axisTime.max = Math.max(10, last)
    }

    TableModelSelfTest {
        id: tableModel
        onReadLogFinished: root.redraw()
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        TableView {
            id: tableView
            objectName: "tableViewSelfTest"
            Layout.fillWidth: true
            Layout.preferredHeight: parent.height * 0.4
            model: tableModel
            frameVisible: false
            onClicked: tableModel.selectLog(row)

            TableViewColumn {
                role: "dateTime"
                title: qsTr("Date")
                width: Math.floor(tableView.viewport.width * 0.24)
            }
            TableViewColumn {
                role: "duration"
                title: qsTr("Duration")
                width: Math.floor(tableView.viewport.width * 0.13)
            }
            TableViewColumn {
                role: "count"
                title: qsTr("Count")
                width: Math.floor(tableView.viewport.width * 0.1)
            }
            TableViewColumn {
                role: "result"
                title: qsTr("Result")
                width: Math.floor(tableView.viewport.width * 0.25)
            }
            // How far the battery voltage fell during the test: a growing drop from test to test
            // is an ageing battery.
            TableViewColumn {
                role: "battVolDrop"
                title: qsTr("Battery voltage drop (V)")
                width: Math.floor(tableView.viewport.width * 0.28)
            }
        }

        Rectangle {
            Layout.fillWidth: true
            height: 1
            color: Theme.border
        }

        ChartView {
            id: chart
            objectName: "chartSelfTest"
            Layout.fillWidth: true
            Layout.fillHeight: true
            antialiasing: true
            backgroundColor: "transparent"
            legend.alignment: Qt.AlignBottom
            legend.labelColor: Theme.textDim
            legend.font.pixelSize: Theme.fontSmall
            margins.top: 4
            margins.bottom: 4

            ValueAxis {
                id: axisTime
                labelsColor: Theme.textDim
                labelsFont.pixelSize: Theme.fontCaption
                gridLineColor: Theme.divider
                color: Theme.border
                min: 0
                max: 10
                labelFormat: "%d"
            }
            ValueAxis {
                id: axisPercent
                labelsColor: Theme.textDim
                labelsFont.pixelSize: Theme.fontCaption
                gridLineColor: Theme.divider
                color: Theme.border
                min: 0
                max: 100
                labelFormat: "%d"
            }
            LineSeries {
                id: seriesLoad
                objectName: "seriesLoad"
                name: qsTr("Load(%)")
                axisX: axisTime
                axisY: axisPercent
                width: 2
                color: Theme.seriesA
            }
            LineSeries {
                id: seriesCap
                objectName: "seriesCap"
                name: qsTr("Battery Capacity(%)")
                axisX: axisTime
                axisY: axisPercent
                width: 2
                color: Theme.seriesB
            }
        }
    }
}
