import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.15
import Quelta 1.0

Item {
    id: root

    property alias labelTitle: labelTitle
    property alias buttonAddTask: buttonAddTask
    property alias listView: listView
    property alias popupAddScheduleTask: popupAddScheduleTask
    property alias msgDialog: msgDialog

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: Theme.margin + 8
        spacing: Theme.margin

        RowLayout {
            Layout.fillWidth: true

            Text {
                id: labelTitle
                text: qsTr("Schedule Task")
                color: Theme.text
                font.pixelSize: Theme.fontHeading
                font.bold: true
            }
            Item {
                Layout.fillWidth: true
            }
            Button {
                id: buttonAddTask
                objectName: "buttonAddTask"
                text: qsTr("Add Task")
                style: CommonButtonStyle {}
            }
        }

        ListView {
            id: listView
            objectName: "listViewScheduleTask"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: Theme.gap
            model: ListModelScheduleTask

            // With no task yet, what the page is for and how to start.
            Text {
                objectName: "labelNoTask"
                anchors.centerIn: parent
                width: Math.min(parent.width, 520)
                visible: listView.count === 0
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                color: Theme.textDim
                font.pixelSize: Theme.fontBody
                text: qsTr("No task yet. A task runs a UPS self-test, switches the UPS on, or shuts this computer and the UPS down at a time you choose, once or every day, week or month. Click \"Add Task\" to make one.")
            }
        }
    }

    PopupAddScheduleTask {
        id: popupAddScheduleTask
        objectName: "popupAddScheduleTask"
        anchors.fill: parent
        visible: false
    }

    MsgDialog {
        id: msgDialog
        objectName: "msgDialog"
    }
}
