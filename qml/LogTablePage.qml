import QtQuick 2.15

// A history table over the record model it is given: the rows of the days searched for, and the
// export of what it shows. Its form lays out the columns.
Item {
    property QtObject model
    property bool searched: false

    // `ups`: whose rows, "" for this computer's UPS.
    function search(dateStart, dateEnd, ups) {
        searched = true
        model.ups = ups || ""
        model.selectDate(dateStart, dateEnd)
    }

    function saveAs(url) {
        return model.saveAs(url)
    }
}
