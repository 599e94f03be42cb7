import QtQuick 2.15
import Quelta 1.0

// The stored alarms, with their texts in the language shown now; empty until the first search.
LogAlarmDataForm {
    property alias model: tableModel

    function search(dateStart, dateEnd) {
        tableModel.selectDate(dateStart, dateEnd)
    }

    function saveAs(url) {
        return tableModel.saveAs(url)
    }

    TableModelAlarm {
        id: tableModel
    }

    tableView.model: tableModel
}
