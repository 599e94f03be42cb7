import QtQuick 2.15
import QtQuick.Window 2.15
import Quelta 1.0

// The root of the frameless window: drag anywhere to move it, the main form, the current-alarm
// pop-up, the tray icon and the shutdown warning.
Item {
    id: root

    width: Theme.windowWidth
    height: Theme.windowHeight

    // Reached by the screenshot walker and the tests.
    property alias currentTab: form.currentTab
    property alias alarmPopup: alarmPopup
    property alias shutdownDialog: shutdownDialog
    property alias failureDialog: failureDialog
    property alias refusedDialog: refusedDialog
    property alias quitDialog: quitDialog
    property alias trayIcon: trayIcon
    property alias batteryDialog: batteryDialog
    readonly property bool devOnline: DevComm.devData.devOnline === true
    // The worst state of all, naming the watched UPS in it when it is not this computer's.
    readonly property string stateWords: allUps.worstName !== ""
                                         ? qsTr("%1: %2").arg(allUps.worstName).arg(trayLook.text)
                                         : trayLook.text
    // The last balloon message of the tray icon (a tray may show none, or be absent).
    property string trayMessage

    function showAndRaise() {
        Window.window.show()
        Window.window.raise()
        Window.window.requestActivate()
    }

    // Quitting ends the protection too, so with it switched on the user is asked first, in the
    // window, hidden or not.
    function quit() {
        if (Settings.getSettings("shutdown/enable")) {
            showAndRaise()
            quitDialog.open()
        } else {
            Qt.quit()
        }
    }

    function notifyAtTray(text) {
        trayMessage = text
        trayIcon.showMessage(App.name, text, true, 30000)
    }

    MouseArea {
        id: dragArea
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton
        property point pressPoint
        onPressed: pressPoint = Qt.point(mouse.x, mouse.y)
        onPositionChanged: {
            Window.window.x += mouse.x - pressPoint.x
            Window.window.y += mouse.y - pressPoint.y
        }
    }

    MainForm {
        id: form
        anchors.fill: parent
        header.onCloseRequested: trayIcon.closeWindow(Window.window)
        footer.onTabSelected: form.panel.select(tab)
        footer.onAlarmRequested: alarmPopup.open()
        // With other UPSes watched, the header names the worst state of them all.
        header.worstShown: WatchService.units.length > 0
        header.worstText: root.stateWords
        header.worstColor: trayLook.color
    }

    PopupCurrentAlarm {
        id: alarmPopup
        objectName: "popupCurrentAlarm"
    }

    // Closes by itself once the countdown ends or is called off, or the mains returns.
    MsgDialog {
        id: shutdownDialog
        objectName: "shutdownDialog"
        dialogType: UiEnums.MsgDialogWarning
        buttons: ServiceShutdown.cancellable
                 ? UiEnums.MsgDialogButtonSure | UiEnums.MsgDialogButtonCancel
                 : UiEnums.MsgDialogButtonSure
        cancelText: qsTr("Cancel shutdown")
        escapeRejects: false
        text: qsTr("Shutdown event activated!")
        onRejected: ServiceShutdown.cancelCountdown("pop-up")
    }

    MsgDialog {
        id: failureDialog
        objectName: "failureDialog"
        dialogType: UiEnums.MsgDialogWarning
        buttons: UiEnums.MsgDialogButtonSure
    }

    // A control request the UPS server refused, or that it cannot carry out, from whichever page
    // or task sent it.
    MsgDialog {
        id: refusedDialog
        objectName: "refusedDialog"
        dialogType: UiEnums.MsgDialogWarning
        buttons: UiEnums.MsgDialogButtonSure
    }

    MsgDialog {
        id: quitDialog
        objectName: "quitDialog"
        dialogType: UiEnums.MsgDialogQuestion
        buttons: UiEnums.MsgDialogButtonSure | UiEnums.MsgDialogButtonCancel
        text: qsTr("Quitting stops the protection: the computer will not be shut down when the mains fails. Quit anyway?")
        onAccepted: Qt.quit()
    }

    // Told once for each cause that keeps history from being stored.
    MsgDialog {
        id: historyDialog
        objectName: "historyDialog"
        dialogType: UiEnums.MsgDialogWarning
        buttons: UiEnums.MsgDialogButtonSure
        text: HistoryNotice.text
        function tell() {
            if (HistoryNotice.text === "")
                return
            open()
            root.notifyAtTray(HistoryNotice.text)
        }
        Component.onCompleted: tell()
    }

    Connections {
        target: HistoryNotice
        function onTextChanged() {
            historyDialog.tell()
        }
    }

    // A damaged settings file was replaced at the start: told once, in the window. The desktop
    // notice goes out with the services, window or not.
    MsgDialog {
        id: settingsFileDialog
        objectName: "settingsFileDialog"
        dialogType: UiEnums.MsgDialogWarning
        buttons: UiEnums.MsgDialogButtonSure
        takeKeyboard: false
        text: Settings.fileNotice
        Component.onCompleted: {
            if (Settings.fileNotice !== "")
                open()
        }
    }

    Connections {
        target: ServiceShutdown
        function onShutdownStarted(sec) {
            if (sec > 0) {
                root.showAndRaise()
                shutdownDialog.open()
            }
        }
        function onProgressChanged() {
            if (!ServiceShutdown.alerting)
                shutdownDialog.close()
        }
        function onCancelRefused(message) {
            refusedDialog.text = message
            root.showAndRaise()
            refusedDialog.open()
        }
        function onShutdownFailed(message) {
            shutdownDialog.close()
            failureDialog.text = message
            root.showAndRaise()
            failureDialog.open()
            root.notifyAtTray(message)
        }
    }

    Connections {
        target: DevComm
        function onCommandRefused(message) {
            refusedDialog.text = message
            refusedDialog.open()
        }
    }

    DevStatusView {
        id: upsStatus
        objectName: "trayStatus"
        source: DevComm
        shutdown: ServiceShutdown
        directory: UpsDirectory
    }
    UpsOverview {
        id: allUps
        objectName: "allUps"
        local: upsStatus
        watch: WatchService
    }
    UpsStateLook {
        id: trayLook
        objectName: "trayLook"
        status: allUps.worstStatus
    }

    // The tray shows the UPS's worst state now: its icon, and in words its tool tip.
    TrayIcon {
        id: trayIcon
        objectName: "trayIcon"
        iconSource: trayLook.trayIcon
        tooltip: App.name + " - " + root.stateWords
        showText: qsTr("Show")
        quitText: qsTr("Quit")
        cancelText: upsStatus.cancelKind === DevStatusView.CancelShutdown ? qsTr("Cancel shutdown")
                  : upsStatus.cancelKind === DevStatusView.CancelOutputOff ? qsTr("Cancel output off") : ""
        onCancelRequested: upsStatus.cancel("tray menu")
        visible: true
        onDoubleClicked: root.showAndRaise()
        onShowRequested: root.showAndRaise()
        onQuitRequested: root.quit()
    }

    // A notice the desktop could not show (no notification server) goes to the tray.
    Connections {
        target: ServiceNotification
        function onUndelivered(title, body, urgent) {
            root.trayMessage = title + ": " + body
            trayIcon.showMessage(title, body, urgent, 30000)
        }
    }

    // The battery is due for replacement: told once, in the window, like an alarm.
    MsgDialog {
        id: batteryDialog
        objectName: "batteryDialog"
        dialogType: UiEnums.MsgDialogWarning
        buttons: UiEnums.MsgDialogButtonSure
        takeKeyboard: false
    }
    Connections {
        target: BatteryAge
        function onReplacementDue(title, text) {
            batteryDialog.title = title
            batteryDialog.text = text
            batteryDialog.open()
        }
    }
}
