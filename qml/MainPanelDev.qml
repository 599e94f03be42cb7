import QtQuick 2.15
import Quelta 1.0

// The device page: the status column beside the tabbed data view, both fed by one view of the
// link's data and the shutdown countdown.
MainPanelDevForm {
    id: page

    status: DevStatusView {
        objectName: "devStatusView"
        source: DevComm
    }

    Connections {
        target: ServiceShutdown
        function onShutdownStarted(sec) {
            page.status.shutdownSeconds = sec
        }
        function onShutdownTimeChanged(sec) {
            page.status.shutdownSeconds = sec
        }
    }
}
