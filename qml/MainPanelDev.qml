import QtQuick 2.15
import Quelta 1.0

// The device page: the status column beside the tabbed data view, both fed by one view of the
// link's data, the shutdown countdown and a pending output-off.
MainPanelDevForm {
    id: page

    status: DevStatusView {
        objectName: "devStatusView"
        source: DevComm
        shutdown: ServiceShutdown
        directory: UpsDirectory
    }
}
