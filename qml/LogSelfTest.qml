import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.15
import QtCharts 2.15
import Quelta 1.0

// The recorded self-tests; choosing one draws its load and battery capacity over time.
Item {
    id: root

    property alias model: tableModel
    property alias chart: chart
    property alias seriesLoad: seriesLoad
    property alias seriesCap: seriesCap

    function search(dateStart, dateEnd) {
        tableModel.selectDate(dateStart, dateEnd)
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
        spacing: 8

        TableView {
            id: tableView
            objectName: "tableViewSelfTest"
            Layout.fillWidth: true
            Layout.preferredHeight: parent.height * 0.4
            model: tableModel
            onClicked: tableModel.selectLog(row)

            TableViewColumn {
                role: "dateTime"
                title: qsTr("Date")
                width: 200
            }
            TableViewColumn {
                role: "duration"
                title: qsTr("Duration")
                width: 150
            }
            TableViewColumn {
                role: "count"
                title: qsTr("Count")
                width: 150
            }
        }

        ChartView {
            id: chart
            objectName: "chartSelfTest"
            Layout.fillWidth: true
            Layout.fillHeight: true
            antialiasing: true
            legend.alignment: Qt.AlignBottom
            margins.top: 4
            margins.bottom: 4

            ValueAxis {
                id: axisTime
                min: 0
                max: 10
                labelFormat: "%d"
            }
            ValueAxis {
                id: axisPercent
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
            }
            LineSeries {
                id: seriesCap
                objectName: "seriesCap"
                name: qsTr("Battery Capacity(%)")
                axisX: axisTime
                axisY: axisPercent
                width: 2
            }
        }
    }
}
