import QtQuick 2.15
import Quelta 1.0

MainFooterMenuForm {
    id: menu
    signal tabSelected(int tab)
    signal alarmRequested

    buttonDevice.onClicked: tabSelected(GlobalDataDef.MainTabDevice)
    buttonScheduleTask.onClicked: tabSelected(GlobalDataDef.MainTabLogWork)
    buttonControl.onClicked: tabSelected(GlobalDataDef.MainTabControl)
    buttonSettings.onClicked: tabSelected(GlobalDataDef.MainTabSetting)
    buttonLogData.onClicked: tabSelected(GlobalDataDef.MainTabLogData)
    buttonOverview.onClicked: tabSelected(GlobalDataDef.MainTabOverview)
    buttonAlarm.onClicked: alarmRequested()
}
