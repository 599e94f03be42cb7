import QtQuick 2.15
import Quelta 1.0

// The stored measurement samples; empty until the first search.
LogDevDataForm {
    property alias model: tableModel

    function search(dateStart, dateEnd) {
        tableModel.selectDate(dateStart, dateEnd)
    }

    function saveAs(url) {
        return tableModel.saveAs(url)
    }

    TableModelDevData {
        id: tableModel
    }

    tableView.model: tableModel
}
