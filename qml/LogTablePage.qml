import QtQuick 2.15

// A history table over the record model it is given: the rows of the days searched for, and the
// export of what it shows. Its form lays out the columns.
Item {
    property QtObject model
    property bool searched: false

    function search(dateStart, dateEnd) {
        searched = true
        model.selectDate(dateStart, dateEnd)
    }

    function saveAs(url) {
        return model.saveAs(url)
    }
}
