import QtQuick 2.15
import Quelta 1.0

// The windows that were open at the last shutdown, read once when the page is made.
LogClosedRecordsForm {
    property alias model: treeModel

    TreeModelShutdown {
        id: treeModel
        // A short log opens with every application's windows shown; a long one stays folded,
        // one line per application.
        onLoaded: {
            if (rowCount() > 100)
                return
            for (var row = 0; row < rowCount(); ++row)
                treeView.expand(index(row, 0))
        }
    }

    treeView.model: treeModel
}
