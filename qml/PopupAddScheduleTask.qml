import QtQuick 2.15
import Quelta 1.0

// Adds a task (row -1) or changes the cycle, time and action of the task in `row`.
PopupAddScheduleTaskForm {
    id: popup

    property int row: -1

    ScheduleTaskData {
        id: taskData
    }

    function twoDigits(n) {
        return (n < 10 ? "0" : "") + n
    }

    function setFields(cycle, timeText, action) {
        // The list shows the next due time ("yyyy-MM-dd hh:mm:ss"); its time of day is the task's.
        var parts = String(timeText).trim().split(" ")
        var hms = parts[parts.length - 1].split(":")
        textFieldHour.text = hms.length === 3 ? hms[0] : "00"
        textFieldMinute.text = hms.length === 3 ? hms[1] : "00"
        textFieldSecond.text = hms.length === 3 ? hms[2] : "00"
        comboBoxCycle.currentIndex = Math.max(0, Math.min(comboBoxCycle.model.length - 1, Number(cycle)))
        comboBoxTaskType.currentIndex = Math.max(0, Math.min(comboBoxTaskType.model.length - 1, Number(action)))
    }

    function openAdd() {
        row = -1
        labelTitle.text = Qt.binding(function () { return qsTr("Add Schedule Task") })
        var now = new Date()
        setFields(ScheduleTaskData.EveryDay, twoDigits(now.getHours()) + ":" + twoDigits(now.getMinutes()) + ":00",
                  ScheduleTaskData.SelfTest10S)
        visible = true
    }

    function openModify(taskRow, cycle, timeText, action) {
        row = taskRow
        labelTitle.text = Qt.binding(function () { return qsTr("Modify Schedule Task") })
        setFields(cycle, timeText, action)
        visible = true
    }

    function field(textField, top) {
        var n = parseInt(textField.text, 10)
        return isNaN(n) ? 0 : Math.max(0, Math.min(top, n))
    }

    function accept() {
        taskData.cycle = comboBoxCycle.currentIndex
        taskData.action = comboBoxTaskType.currentIndex
        taskData.time = twoDigits(field(textFieldHour, 23)) + ":" + twoDigits(field(textFieldMinute, 59)) + ":"
                + twoDigits(field(textFieldSecond, 59))
        var task = {
            "cycle": taskData.cycle,
            "time": taskData.time,
            "action": taskData.action,
            "enable": true
        }
        if (row < 0)
            listModelScheduleTask.addTask(task)
        else
            listModelScheduleTask.updateTask(row, task)
        visible = false
    }

    function open() {
        openAdd()
    }

    function close() {
        visible = false
    }

    buttonSure.onClicked: accept()
    buttonCancel.onClicked: close()
}
