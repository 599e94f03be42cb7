import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15
import Quelta 1.0

// One stored task: when it repeats, when it runs next, what it does, and its switch.
Rectangle {
    id: root

    signal editClicked
    signal deleteClicked
    signal enableToggled(bool on)

    readonly property bool taskOn: model.enable === true || Number(model.enable) === 1
    // Why the link in use cannot carry out this task's action, "" when it can.
    property string unavailable: ""

    function cycleText(cycle) {
        switch (Number(cycle)) {
        case ScheduleTaskData.OneShoot:
            return qsTr("One Shoot")
        case ScheduleTaskData.EveryDay:
            return qsTr("Daily")
        case ScheduleTaskData.EveryWeek:
            return qsTr("Weekly")
        case ScheduleTaskData.EveryMonth:
            return qsTr("Monthly")
        }
        return qsTr("Unkown code: ") + cycle
    }

    // The day a weekly or monthly task runs on, from its stored creation moment
    // ("yyyy-MM-dd hh:mm:ss"); other tasks show their date in the next due time.
    function dayText(cycle, created) {
        var parts = String(created || "").split(" ")[0].split("-")
        if (parts.length !== 3)
            return ""
        var day = new Date(Number(parts[0]), Number(parts[1]) - 1, Number(parts[2]), 12)
        if (isNaN(day.getTime()))
            return ""
        switch (Number(cycle)) {
        case ScheduleTaskData.EveryWeek:
            var names = [qsTr("every Sunday"), qsTr("every Monday"), qsTr("every Tuesday"), qsTr("every Wednesday"),
                         qsTr("every Thursday"), qsTr("every Friday"), qsTr("every Saturday")]
            return names[day.getDay()]
        case ScheduleTaskData.EveryMonth:
            return qsTr("on day %1 of each month").arg(day.getDate())
        }
        return ""
    }

    function actionText(action) {
        switch (Number(action)) {
        case ScheduleTaskData.SelfTest10S:
            return qsTr("Self-test for 10 secords")
        case ScheduleTaskData.SelfTestToEOD:
            return qsTr("Self-test to EOD")
        case ScheduleTaskData.PowerOn:
            return qsTr("UPS Power on")
        case ScheduleTaskData.PowerOff:
            return qsTr("System shutdown and close UPS")
        }
        return qsTr("Unkown code: ") + action
    }

    height: 60
    radius: Theme.radiusLarge
    color: Theme.card
    border.color: Theme.border

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Theme.margin
        anchors.rightMargin: Theme.margin
        spacing: Theme.margin

        Image {
            Layout.preferredWidth: 24
            Layout.preferredHeight: 24
            sourceSize: Qt.size(48, 48)
            source: "qrc:/res/image/task_clock.svg"
            opacity: root.taskOn ? 1.0 : 0.35
        }

        Rectangle {
            Layout.preferredWidth: 96
            Layout.preferredHeight: 24
            radius: 12
            color: root.taskOn ? Theme.accentSoft : Theme.idleSoft
            Text {
                objectName: "labelCycle"
                anchors.centerIn: parent
                text: root.cycleText(model.cycle)
                color: root.taskOn ? Theme.accentPressed : Theme.textDim
                font.pixelSize: Theme.fontSmall
                font.bold: true
            }
        }

        Column {
            Layout.preferredWidth: 190
            Text {
                objectName: "labelTime"
                text: model.time
                color: root.taskOn ? Theme.text : Theme.textFaint
                font.pixelSize: Theme.fontLarge
                font.bold: true
            }
            Text {
                objectName: "labelTaskDay"
                visible: text !== ""
                text: root.dayText(model.cycle, model.dateTime)
                color: root.taskOn ? Theme.textDim : Theme.textFaint
                font.pixelSize: Theme.fontSmall
            }
        }

        Column {
            Layout.fillWidth: true
            Text {
                objectName: "labelAction"
                width: parent.width
                text: root.actionText(model.action)
                color: root.taskOn ? Theme.textDim : Theme.textFaint
                font.pixelSize: Theme.fontBody
                elide: Text.ElideRight
            }
            // The task would come due and go nowhere: said on its row, not only when it fails.
            Text {
                objectName: "labelUnavailable"
                width: parent.width
                visible: text !== ""
                text: root.unavailable
                color: Theme.warn
                font.pixelSize: Theme.fontSmall
                elide: Text.ElideRight
            }
        }

        ImageButton {
            objectName: "buttonEdit"
            source: "qrc:/res/image/task_edit.svg"
            iconSize: 18
            hoverColor: Theme.idleSoft
            onClicked: root.editClicked()
        }
        ImageButton {
            objectName: "buttonDelete"
            source: "qrc:/res/image/task_delete.svg"
            iconSize: 18
            hoverColor: Theme.faultSoft
            onClicked: root.deleteClicked()
        }

        Switch {
            objectName: "switchEnable"
            checked: root.taskOn
            onClicked: root.enableToggled(checked)
            style: SwitchStyle {
                groove: Rectangle {
                    implicitWidth: 44
                    implicitHeight: 24
                    radius: 12
                    color: control.checked ? Theme.accent : Theme.idle
                    Behavior on color {
                        ColorAnimation {
                            duration: Theme.fast
                        }
                    }
                }
                handle: Rectangle {
                    implicitWidth: 24
                    implicitHeight: 24
                    radius: 12
                    color: Theme.card
                    border.width: 2
                    border.color: control.checked ? Theme.accent : Theme.idle
                }
            }
        }
    }
}
