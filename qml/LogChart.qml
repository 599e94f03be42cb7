import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.15
import Quelta 1.0

// The chosen days as a chart: the five measurements, each switched on or off here, with the
// alarms marked. The selection runs on a thread of its own; the page turns meanwhile.
Item {
    id: root

    property alias history: history
    property alias chartView: chartView
    property bool searched: false

    function search(dateStart, dateEnd, ups) {
        searched = true
        history.ups = ups || ""
        history.select(dateStart, dateEnd)
    }

    function setShown(which, on) {
        var shown = chartView.shown.slice()
        shown[which] = on
        chartView.shown = shown
    }

    HistoryChart {
        id: history
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: Theme.gap
        spacing: 0

        // The switches wrap onto a second line where their words are long.
        Item {
            Layout.fillWidth: true
            Layout.leftMargin: Theme.gap
            Layout.rightMargin: Theme.gap
            implicitHeight: Math.max(switches.implicitHeight, samplesText.implicitHeight)

            Flow {
                id: switches
                width: parent.width - samplesText.width - Theme.margin
                spacing: Theme.margin

                Repeater {
                    model: [qsTr("Input Voltage(V)"), qsTr("Output Voltage(V)"), qsTr("UPS Load(%)"),
                            qsTr("Battery voltage(V)"), qsTr("Temperature(℃)")]
                    delegate: Row {
                        spacing: 6
                        Rectangle {
                            anchors.verticalCenter: parent.verticalCenter
                            width: 12
                            height: 3
                            radius: 1
                            color: chartView.series[index].color
                        }
                        CheckBox {
                            objectName: "seriesSwitch" + index
                            text: modelData
                            checked: chartView.shown[index]
                            style: SettingsCheckBoxStyle {}
                            onClicked: root.setShown(index, checked)
                        }
                    }
                }
            }
            Text {
                id: samplesText
                objectName: "chartSamples"
                anchors.right: parent.right
                anchors.top: parent.top
                visible: root.searched && !history.busy
                text: qsTr("%1 samples").arg(history.samples)
                color: Theme.textFaint
                font.pixelSize: Theme.fontSmall
            }
        }

        HistoryChartView {
            id: chartView
            objectName: "historyChart"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.preferredWidth: 0
            history: history
        }
    }

    Text {
        objectName: "chartEmpty"
        anchors.centerIn: parent
        visible: root.searched && !history.busy && history.samples === 0
        text: qsTr("No samples were stored on these days.")
        color: Theme.textDim
        font.pixelSize: Theme.fontLarge
    }

    BusyIndicator {
        anchors.centerIn: parent
        width: 48
        height: 48
        running: history.busy
        visible: running
    }
}
