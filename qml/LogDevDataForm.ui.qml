import QtQuick 2.15
import QtQuick.Controls 1.4
import Quelta 1.0

// The stored measurement samples; empty until the first search.
LogTablePage {
    id: page
    property alias tableView: tableView

    model: TableModelDevData {}

    // What the page's header and cells are drawn with, and their side paddings.
    FontMetrics {
        id: headerMetrics
        font.pixelSize: Theme.fontSmall
        font.bold: true
    }
    FontMetrics {
        id: cellMetrics
        font.pixelSize: Theme.fontBody
    }
    readonly property int padding: 10 + 6 + 4

    // The narrowest a column may be: its longest title word (titles wrap between words, and a
    // closing bracket stays with the word before it) and its widest value.
    function minimumWidth(title, widestValue) {
        var words = String(title).split(/ (?![)\]])/)
        var widest = cellMetrics.advanceWidth(widestValue)
        for (var i = 0; i < words.length; ++i)
            widest = Math.max(widest, headerMetrics.advanceWidth(words[i]))
        return Math.ceil(widest) + padding
    }

    // Every column gets its minimum; the room left is shared out evenly.
    readonly property var columnWidths: {
        var minimums = []
        var total = 0
        for (var i = 0; i < tableView.columnCount; ++i) {
            var column = tableView.getColumn(i)
            var m = minimumWidth(column.title, i === 0 ? "0000-00-00 00:00:00" : "000.00")
            minimums.push(m)
            total += m
        }
        var extra = Math.max(0, Math.floor((tableView.viewport.width - total) / Math.max(1, minimums.length)))
        return minimums.map(function (m) { return m + extra })
    }

    TableView {
        id: tableView
        objectName: "tableViewDevData"
        anchors.fill: parent
        model: page.model
        frameVisible: false
        alternatingRowColors: true

        TableViewColumn {
            role: "dateTime"
            title: qsTr("Date")
            width: columnWidths[0] || 0
        }
        TableViewColumn {
            role: "inputVol"
            title: qsTr("Input Voltage(V)")
            width: columnWidths[1] || 0
        }
        TableViewColumn {
            role: "outputVol"
            title: qsTr("Output Voltage(V)")
            width: columnWidths[2] || 0
        }
        TableViewColumn {
            role: "load"
            title: qsTr("UPS Load(%)")
            width: columnWidths[3] || 0
        }
        TableViewColumn {
            role: "inputFreq"
            title: qsTr("Input Frequency(Hz)")
            width: columnWidths[4] || 0
        }
        TableViewColumn {
            role: "battVol"
            title: qsTr("Battery voltage(V)")
            width: columnWidths[5] || 0
        }
        TableViewColumn {
            role: "temperature"
            title: qsTr("temperature(℃ )")
            width: columnWidths[6] || 0
        }
    }
}
