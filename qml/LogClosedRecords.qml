import QtQuick 2.15
import Quelta 1.0

// The windows that were open at the last shutdown, read once when the page is made.
LogClosedRecordsForm {
    property alias model: treeModel

    TreeModelShutdown {
        id: treeModel
    }

    treeView.model: treeModel

    // The log is short: every application opens with its windows shown.
    Component.onCompleted: {
        for (var row = 0; row < treeModel.rowCount(); ++row)
            treeView.expand(treeModel.index(row, 0))
    }
}
