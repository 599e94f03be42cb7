import QtQuick 2.15
import Quelta 1.0

MainPanelScheduleTaskForm {
    id: page

    property int pendingDelete: -1

    function askDelete(row) {
        pendingDelete = row
        msgDialog.text = qsTr("Are you sure to delete this task?")
        msgDialog.dialogType = GlobalDataDef.MsgDialogQuestion
        msgDialog.buttons = GlobalDataDef.MsgDialogButtonSure | GlobalDataDef.MsgDialogButtonCancel
        msgDialog.open()
    }

    buttonAddTask.onClicked: popupAddScheduleTask.openAdd()

    listView.delegate: ScheduleTaskListDelegate {
        width: ListView.view.width
        onEditClicked: popupAddScheduleTask.openModify(index, model.cycle, model.time, model.action, model.dateTime)
        onDeleteClicked: page.askDelete(index)
        onEnableToggled: model.enable = on
    }

    Connections {
        target: msgDialog
        function onAccepted() {
            if (page.pendingDelete >= 0)
                listModelScheduleTask.delTask(page.pendingDelete)
            page.pendingDelete = -1
        }
        function onRejected() {
            page.pendingDelete = -1
        }
    }
}
