import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import Quelta 1.0

// The page area: the five pages side by side in a tab view without visible tabs; the footer
// picks the one shown by its GlobalDataDef tab number. A page is made the first time it is
// shown (a Tab is a Loader the view activates then) and kept from then on, so the window's first
// frame waits for the device page alone. The services a page sets up run without it.
TabView {
    id: panel
    tabsVisible: false
    frameVisible: false
    currentIndex: GlobalDataDef.MainTabDevice

    style: TabViewStyle {
        frame: Rectangle { color: Theme.page }
    }

    Tab {
        objectName: "pageDevice"
        source: "MainPanelDev.qml"
    }
    Tab {
        objectName: "pageScheduleTask"
        source: "MainPanelScheduleTask.qml"
    }
    Tab {
        objectName: "pageControl"
        source: "MainPanelControl.qml"
    }
    Tab {
        objectName: "pageSettings"
        source: "MainPanelSettings.qml"
    }
    Tab {
        objectName: "pageLogData"
        source: "MainPanelLogData.qml"
    }
}
