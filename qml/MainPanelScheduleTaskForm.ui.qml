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
