import QtQuick 2.15
import Quelta 1.0

// The page area: the five pages on top of each other; the footer picks the one shown by its
// UiEnums tab number. A page is made the first time it is shown and kept from then on, so
// the window's first frame waits for the device page alone. The services a page sets up run
// without it.
Rectangle {
    id: panel

    property alias currentIndex: pages.currentIndex

    function getTab(index) {
        return pages.getTab(index)
    }

    // A page chosen in the footer; the overview's button shows all the UPSes, not the one
    // opened there last.
    function select(tab) {
        if (tab === UiEnums.MainTabOverview && pageOverview.item)
            pageOverview.item.opened = null
        pages.currentIndex = tab
    }

    color: Theme.page

    LazyPages {
        id: pages
        anchors.fill: parent
        currentIndex: UiEnums.MainTabDevice

        LazyPage {
            objectName: "pageDevice"
            source: "MainPanelDev.qml"
        }
        LazyPage {
            objectName: "pageScheduleTask"
            source: "MainPanelScheduleTask.qml"
        }
        LazyPage {
            objectName: "pageControl"
            source: "MainPanelControl.qml"
        }
        LazyPage {
            objectName: "pageSettings"
            source: "MainPanelSettings.qml"
        }
        LazyPage {
            id: pageLogData
            objectName: "pageLogData"
            source: "MainPanelLogData.qml"
        }
        LazyPage {
            id: pageOverview
            objectName: "pageOverview"
            source: "MainPanelOverview.qml"
        }
    }

    // A UPS's history from its device page on the overview: the history page, made if need be,
    // turned to that UPS.
    Connections {
        target: pageOverview.item
        function onHistoryRequested(ups) {
            pages.currentIndex = UiEnums.MainTabLogData
            pageLogData.item.showUps(ups)
        }
    }
}
