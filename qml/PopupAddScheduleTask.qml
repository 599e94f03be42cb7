import QtQuick 2.15
import Quelta 1.0

// Adds a task (row -1) or changes the cycle, day, time and action of the task in `row`. Fields
// out of their range are refused and marked, and nothing is stored until they are corrected.
PopupAddScheduleTaskForm {
    id: popup

    property int row: -1

    ScheduleTaskData {
        id: taskData
    }

    function twoDigits(n) {
        return (n < 10 ? "0" : "") + n
    }

    // "yyyy-MM-dd ..." as a local date.
    function dateOf(text) {
        var parts = String(text).trim().split(" ")[0].split("-")
        return parts.length === 3 ? new Date(Number(parts[0]), Number(parts[1]) - 1, Number(parts[2]), 12) : new Date()
    }

    // `dueText` is the next due time the list shows ("yyyy-MM-dd hh:mm:ss"): its time of day is
    // the task's, and so is its date for a one-shot task. `created` is the stored creation
    // moment, whose weekday or day of the month a weekly or monthly task runs on.
    function setFields(cycle, dueText, action, created) {
        var parts = String(dueText).trim().split(" ")
        var hms = parts[parts.length - 1].split(":")
        textFieldHour.text = hms.length === 3 ? hms[0] : "00"
        textFieldMinute.text = hms.length === 3 ? hms[1] : "00"
        textFieldSecond.text = hms.length === 3 ? hms[2] : "00"
        comboBoxCycle.currentIndex = Math.max(0, Math.min(comboBoxCycle.model.length - 1, Number(cycle)))
        comboBoxTaskType.currentIndex = Math.max(0, Math.min(comboBoxTaskType.model.length - 1, Number(action)))
        dateOneShot.date = parts.length === 2 ? dateOf(dueText) : new Date()
        var day = created ? dateOf(created) : new Date()
        comboBoxWeekday.currentIndex = (day.getDay() + 6) % 7 // Monday first
        textFieldDay.text = String(day.getDate())
        clearRefusals()
    }

    function clearRefusals() {
        textFieldHour.refused = false
        textFieldMinute.refused = false
        textFieldSecond.refused = false
        textFieldDay.refused = false
        dateOneShot.refused = false
        labelError.text = ""
    }

    function openAdd() {
        row = -1
        labelTitle.text = Qt.binding(function () { return qsTr("Add Schedule Task") })
        var now = new Date()
        setFields(ScheduleTaskData.EveryDay, twoDigits(now.getHours()) + ":" + twoDigits(now.getMinutes()) + ":00",
                  ScheduleTaskData.SelfTest10S, "")
        visible = true
    }

    function openModify(taskRow, cycle, dueText, action, created) {
        row = taskRow
        labelTitle.text = Qt.binding(function () { return qsTr("Modify Schedule Task") })
        setFields(cycle, dueText, action, created)
        visible = true
    }

    // The field's number when it is one from `low` to `high`; otherwise the field is marked
    // and -1 comes back.
    function checked(textField, low, high) {
        var text = textField.text.trim()
        var n = /^[0-9]{1,2}$/.test(text) ? parseInt(text, 10) : -1
        textField.refused = n < low || n > high
        return textField.refused ? -1 : n
    }

    // Why the link in use cannot carry out a task's action, "" when it can. The power-off is the
    // computer's own countdown and always can.
    function actionUnavailable(action) {
        var requests = [UpsLink.ControlSelfTest10S, UpsLink.ControlSelfTestEOD,
                        UpsLink.ControlOutputOffCancel] // the self-tests and power on
        return action >= 0 && action < requests.length ? DevComm.controlUnavailable(requests[action]) : ""
    }

    function accept() {
        clearRefusals()
        var problems = []
        var unavailable = actionUnavailable(comboBoxTaskType.currentIndex)
        if (unavailable !== "")
            problems.push(unavailable)
        var hour = checked(textFieldHour, 0, 23)
        var minute = checked(textFieldMinute, 0, 59)
        var second = checked(textFieldSecond, 0, 59)
        if (hour < 0)
            problems.push(qsTr("The hour must be from 0 to 23."))
        if (minute < 0)
            problems.push(qsTr("The minute must be from 0 to 59."))
        if (second < 0)
            problems.push(qsTr("The second must be from 0 to 59."))

        var cycle = comboBoxCycle.currentIndex
        var day
        if (cycle === ScheduleTaskData.EveryWeek) {
            day = comboBoxWeekday.currentIndex + 1
        } else if (cycle === ScheduleTaskData.EveryMonth) {
            day = checked(textFieldDay, 1, 31)
            if (day < 0)
                problems.push(qsTr("The day of the month must be from 1 to 31."))
        } else if (cycle === ScheduleTaskData.OneShoot) {
            day = dateOneShot.text
            var at = dateOneShot.date
            if (problems.length === 0
                    && new Date(at.getFullYear(), at.getMonth(), at.getDate(), hour, minute, second) <= new Date()) {
                dateOneShot.refused = true
                problems.push(qsTr("This date and time have already passed."))
            }
        }
        if (problems.length > 0) {
            labelError.text = problems.join("\n")
            return
        }

        taskData.cycle = cycle
        taskData.action = comboBoxTaskType.currentIndex
        taskData.time = twoDigits(hour) + ":" + twoDigits(minute) + ":" + twoDigits(second)
        var task = {
            "cycle": taskData.cycle,
            "time": taskData.time,
            "action": taskData.action,
            "enable": true
        }
        if (day !== undefined)
            task["day"] = day
        var stored = row < 0 ? ListModelScheduleTask.addTask(task) : ListModelScheduleTask.updateTask(row, task)
        if (!stored) {
            labelError.text = qsTr("The task could not be stored.")
            return
        }
        visible = false
    }

    function open() {
        openAdd()
    }

    function close() {
        visible = false
    }

    // A corrected field loses its mark at once.
    textFieldHour.onTextChanged: textFieldHour.refused = false
    textFieldMinute.onTextChanged: textFieldMinute.refused = false
    textFieldSecond.onTextChanged: textFieldSecond.refused = false
    textFieldDay.onTextChanged: textFieldDay.refused = false
    dateOneShot.onDateChanged: dateOneShot.refused = false

    comboBoxTaskType.onActivated: labelError.text = actionUnavailable(index)
    buttonSure.onClicked: accept()
    buttonCancel.onClicked: close()
}
