import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import Quelta 1.0

// The page area: the five pages side by side in a tab view without visible tabs. Every page is
// made at start-up; the footer picks the one shown by its GlobalDataDef tab number.
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
        active: true
        source: "MainPanelDev.qml"
    }
    Tab {
        objectName: "pageScheduleTask"
        active: true
        source: "MainPanelScheduleTask.qml"
    }
    Tab {
        objectName: "pageControl"
        active: true
        source: "MainPanelControl.qml"
    }
    Tab {
        objectName: "pageSettings"
        active: true
        source: "MainPanelSettings.qml"
    }
    Tab {
        objectName: "pageLogData"
        active: true
        source: "MainPanelLogData.qml"
    }
}
