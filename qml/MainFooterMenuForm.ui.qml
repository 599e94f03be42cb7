import QtQuick 2.15
import Quelta 1.0

Rectangle {
    id: footer
    property int currentTab: UiEnums.MainTabDevice
    property alias buttonDevice: buttonDevice
    property alias buttonScheduleTask: buttonScheduleTask
    property alias buttonControl: buttonControl
    property alias buttonSettings: buttonSettings
    property alias buttonLogData: buttonLogData
    property alias buttonAlarm: buttonAlarm
    property alias buttonOverview: buttonOverview

    height: Theme.footerHeight
    color: Theme.chrome

    Rectangle {
        anchors.top: parent.top
        width: parent.width
        height: 1
        color: Theme.chromeLine
    }

    Row {
        anchors.left: parent.left
        anchors.leftMargin: Theme.gap
        anchors.verticalCenter: parent.verticalCenter
        height: parent.height - 8
        spacing: 2

        // Every UPS at a glance, once others than this computer's are watched.
        ImageButton {
            id: buttonOverview
            objectName: "footerOverview"
            visible: WatchService.units.length > 0
            width: Math.max(112, implicitWidth)
            height: parent.height
            text: qsTr("Overview")
            source: "qrc:/res/image/menu_device.svg"
            checked: footer.currentTab === UiEnums.MainTabOverview
        }
        ImageButton {
            id: buttonDevice
            objectName: "footerDevice"
            width: Math.max(112, implicitWidth)
            height: parent.height
            text: qsTr("Device")
            source: "qrc:/res/image/menu_device.svg"
            checked: footer.currentTab === UiEnums.MainTabDevice
        }
        ImageButton {
            id: buttonScheduleTask
            objectName: "footerScheduleTask"
            width: Math.max(112, implicitWidth)
            height: parent.height
            text: qsTr("Schedule Task")
            source: "qrc:/res/image/menu_schedule.svg"
            checked: footer.currentTab === UiEnums.MainTabLogWork
        }
        ImageButton {
            id: buttonControl
            objectName: "footerControl"
            width: Math.max(112, implicitWidth)
            height: parent.height
            text: qsTr("UPS Control")
            source: "qrc:/res/image/menu_control.svg"
            checked: footer.currentTab === UiEnums.MainTabControl
        }
        ImageButton {
            id: buttonSettings
            objectName: "footerSettings"
            width: Math.max(112, implicitWidth)
            height: parent.height
            text: qsTr("Settings")
            source: "qrc:/res/image/menu_settings.svg"
            checked: footer.currentTab === UiEnums.MainTabSetting
        }
        ImageButton {
            id: buttonLogData
            objectName: "footerLogData"
            width: Math.max(112, implicitWidth)
            height: parent.height
            text: qsTr("Historical Data")
            source: "qrc:/res/image/menu_history.svg"
            checked: footer.currentTab === UiEnums.MainTabLogData
        }
    }

    ImageButton {
        id: buttonAlarm
        objectName: "footerAlarm"
        anchors.right: parent.right
        anchors.rightMargin: Theme.gap
        anchors.verticalCenter: parent.verticalCenter
        width: 112
        height: parent.height - 8
        text: qsTr("Alarm")
        source: "qrc:/res/image/menu_alarm.svg"
        badge: Alarm.alarmNum
    }
}
