import QtQuick 2.15
import Quelta 1.0

MainPanelScheduleTaskForm {
    id: page

    property int pendingDelete: -1
    // Counts the link's changes of what it can carry out, so the rows ask again.
    property int controlsRevision: 0

    // Why the link in use cannot carry out a task's action, "" when it can. The power-off is the
    // computer's own countdown and always can.
    function actionUnavailable(action) {
        controlsRevision
        var requests = [UpsLink.ControlSelfTest10S, UpsLink.ControlSelfTestEOD,
                        UpsLink.ControlOutputOffCancel] // the self-tests and power on
        var index = Number(action)
        return index >= 0 && index < requests.length ? DevComm.controlUnavailable(requests[index]) : ""
    }

    function askDelete(row) {
        pendingDelete = row
        msgDialog.text = qsTr("Are you sure to delete this task?")
        msgDialog.dialogType = UiEnums.MsgDialogQuestion
        msgDialog.buttons = UiEnums.MsgDialogButtonSure | UiEnums.MsgDialogButtonCancel
        msgDialog.open()
    }

    buttonAddTask.onClicked: popupAddScheduleTask.openAdd()

    listView.delegate: ScheduleTaskListDelegate {
        width: ListView.view.width
        onEditClicked: popupAddScheduleTask.openModify(index, model.cycle, model.time, model.action, model.dateTime)
        onDeleteClicked: page.askDelete(index)
        onEnableToggled: model.enable = on
        unavailable: page.actionUnavailable(model.action)
    }

    Connections {
        target: DevComm
        function onControlsChanged() {
            page.controlsRevision++
        }
    }

    Connections {
        target: msgDialog
        function onAccepted() {
            if (page.pendingDelete >= 0)
                ListModelScheduleTask.delTask(page.pendingDelete)
            page.pendingDelete = -1
        }
        function onRejected() {
            page.pendingDelete = -1
        }
    }
}
