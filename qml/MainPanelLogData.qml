import QtQuick 2.15
import Qt.labs.platform 1.1 as Platform
import Quelta 1.0

MainPanelLogDataForm {
    id: page

    readonly property var views: [logDevData, logChart, logAlarmData, logClosedRecords, logSelfTest, logHealth]
    readonly property Item currentView: views[stackLog.currentIndex]
    // Only the device data and the alarms can be exported; the closed records and the battery's
    // health take no dates.
    readonly property bool datesShown: currentView !== logClosedRecords && currentView !== logHealth
    readonly property bool exportShown: currentView === logDevData || currentView === logAlarmData
    property url pendingExport: ""

    // Whose history is shown: "" for this computer's UPS, else a watched UPS's shown name (the
    // `ups` value of its rows). The chooser is there while other UPSes are watched.
    property string ups: ""
    readonly property var upsChoices: [""].concat(WatchService.units.map(function (unit) { return unit.name }))
    readonly property var upsLabels: [qsTr("This computer's UPS")].concat(upsChoices.slice(1))

    // Every view shows the chosen UPS: the one shown now searches again, the others when shown.
    function showUps(name) {
        if (upsChoices.indexOf(name) < 0)
            name = ""
        if (name !== ups) {
            ups = name
            for (var i = 0; i < views.length; ++i) {
                if (views[i].search)
                    views[i].searched = false
            }
            searchUnlessDone()
        }
        comboUps.currentIndex = upsChoices.indexOf(ups)
    }

    readonly property bool rangeReversed: dateStart.text > dateEnd.text
    function search() {
        if (!currentView || !currentView.search)
            return
        if (rangeReversed && datesShown) {
            msgDialog.text = qsTr("The start date is after the end date.")
            msgDialog.dialogType = UiEnums.MsgDialogWarning
            msgDialog.buttons = UiEnums.MsgDialogButtonSure
            msgDialog.open()
            return
        }
        currentView.search(dateStart.text, dateEnd.text, ups)
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
        msgDialog.dialogType = saved ? UiEnums.MsgDialogInformation : UiEnums.MsgDialogWarning
        msgDialog.buttons = UiEnums.MsgDialogButtonSure
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

    // Kept in place on the closed records (this computer's alone), so the list does not move.
    upsChooser.visible: upsChoices.length > 1
    upsChooser.enabled: datesShown || currentView === logHealth
    comboUps.model: upsLabels
    comboUps.onActivated: showUps(upsChoices[index])
    // A new list (or its words in another language) starts the box at its first entry; a UPS
    // no longer watched gives way to this computer's.
    comboUps.onModelChanged: Qt.callLater(followChoices)
    function followChoices() {
        showUps(ups)
    }

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
