import QtQuick 2.15
import Quelta 1.0

MainFooterMenuForm {
    id: menu
    signal tabSelected(int tab)
    signal alarmRequested

    buttonDevice.onClicked: tabSelected(UiEnums.MainTabDevice)
    buttonScheduleTask.onClicked: tabSelected(UiEnums.MainTabLogWork)
    buttonControl.onClicked: tabSelected(UiEnums.MainTabControl)
    buttonSettings.onClicked: tabSelected(UiEnums.MainTabSetting)
    buttonLogData.onClicked: tabSelected(UiEnums.MainTabLogData)
    buttonOverview.onClicked: tabSelected(UiEnums.MainTabOverview)
    buttonAlarm.onClicked: alarmRequested()
}
