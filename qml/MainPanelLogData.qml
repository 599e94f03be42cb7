import QtQuick 2.15
import Qt.labs.platform 1.1 as Platform
import Quelta 1.0

MainPanelLogDataForm {
    id: page

    readonly property var views: [logDevData, logChart, logAlarmData, logClosedRecords, logSelfTest]
    readonly property Item currentView: views[stackLog.currentIndex]
    // Only the device data and the alarms can be exported; the closed records take no dates.
    readonly property bool datesShown: currentView !== logClosedRecords
    readonly property bool exportShown: currentView === logDevData || currentView === logAlarmData
    property url pendingExport: ""

    readonly property bool rangeReversed: dateStart.text > dateEnd.text
    function search() {
        if (!currentView || !currentView.search)
            return
        if (rangeReversed) {
            msgDialog.text = qsTr("The start date is after the end date.")
            msgDialog.dialogType = GlobalDataDef.MsgDialogWarning
            msgDialog.buttons = GlobalDataDef.MsgDialogButtonSure
            msgDialog.open()
            return
        }
        currentView.search(dateStart.text, dateEnd.text)
    }

    // The file a dialog's URL names, as the user knows it ("/home/..." or "C:/...").
    function localPath(url) {
        var text = String(url)
        if (text.indexOf("file://") !== 0)
            return text
        var path = decodeURIComponent(text.substring(7))
        return /^\/[A-Za-z]:\//.test(path) ? path.substring(1) : path
    }

    // The chosen workbook file; the indicator turns while the rows are written on the history
    // reader's thread.
    function exportTo(url) {
        if (!exportShown || busyIndicator.running)
            return
        pendingExport = url
        if (currentView.saveAs(url) === false) {
            finishExport(false)
            return
        }
        busyIndicator.running = true
    }

    // The workbook helper reports whether the file was written; a failed write is not
    // announced as finished.
    function finishExport(saved) {
        busyIndicator.running = false
        msgDialog.text = saved ? qsTr("Operation finished!") + "\n" + qsTr("Saved as %1").arg(localPath(pendingExport))
                               : qsTr("Operation failed!")
        msgDialog.dialogType = saved ? GlobalDataDef.MsgDialogInformation : GlobalDataDef.MsgDialogWarning
        msgDialog.buttons = GlobalDataDef.MsgDialogButtonSure
        msgDialog.open()
    }

    Connections {
        target: logDevData.model
        function onExportFinished(saved) { page.finishExport(saved) }
    }
    Connections {
        target: logAlarmData.model
        function onExportFinished(saved) { page.finishExport(saved) }
    }

    // Each view shows the chosen days as soon as it is first shown; a start after the end says
    // so rather than showing nothing.
    function searchUnlessDone() {
        if (currentView && currentView.search && !currentView.searched)
            search()
    }
    onCurrentViewChanged: searchUnlessDone()
    Component.onCompleted: searchUnlessDone()

    listLogType.delegate: SettingsListDelegate {}

    labelDateStart.visible: datesShown
    dateStart.visible: datesShown
    dateStart.refused: rangeReversed
    labelDateEnd.visible: datesShown
    dateEnd.visible: datesShown
    buttonSearch.visible: datesShown
    buttonExport.visible: exportShown

    buttonSearch.onClicked: search()
    buttonExport.onClicked: saveDialog.open()

    Platform.FileDialog {
        id: saveDialog
        title: qsTr("Save as...")
        fileMode: Platform.FileDialog.SaveFile
        defaultSuffix: "xlsx"
        nameFilters: [qsTr("Excel files (*.xlsx)")]
        folder: Platform.StandardPaths.writableLocation(Platform.StandardPaths.DesktopLocation)
        onAccepted: page.exportTo(file)
    }
}
