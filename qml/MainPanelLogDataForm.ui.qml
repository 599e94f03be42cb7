import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.15

Item {
    id: root

    property alias labelTitle: labelTitle
    property alias listLogType: listLogType
    property alias labelDateStart: labelDateStart
    property alias dateStart: dateStart
    property alias labelDateEnd: labelDateEnd
    property alias dateEnd: dateEnd
    property alias buttonSearch: buttonSearch
    property alias buttonPrint: buttonPrint
    property alias busyIndicator: busyIndicator
    property alias stackLog: stackLog
    property alias logDevData: logDevData
    property alias logAlarmData: logAlarmData
    property alias logClosedRecords: logClosedRecords
    property alias logSelfTest: logSelfTest
    property alias msgDialog: msgDialog

    RowLayout {
        anchors.fill: parent
        spacing: 0

        Rectangle {
            Layout.preferredWidth: 190
            Layout.fillHeight: true
            color: Theme.card

            Rectangle {
                anchors.right: parent.right
                width: 1
                height: parent.height
                color: Theme.border
            }

            ListView {
                id: listLogType
                objectName: "logDataSubPages"
                anchors.fill: parent
                anchors.topMargin: Theme.margin
                currentIndex: 0
                interactive: false
                model: [qsTr("Data"), qsTr("Alarm"), qsTr("Closed Records"), qsTr("Self-test")]
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.margins: Theme.margin + 8
            spacing: Theme.margin

            RowLayout {
                Layout.fillWidth: true
                spacing: Theme.gap
                z: 10 // the calendars drop over the table

                Text {
                    id: labelTitle
                    text: qsTr("Historical Data")
                    color: Theme.text
                    font.pixelSize: Theme.fontHeading
                    font.bold: true
                }
                Item {
                    Layout.fillWidth: true
                }
                Text {
                    id: labelDateStart
                    Layout.leftMargin: Theme.gap
                    text: qsTr("Date Start:")
                    color: Theme.textDim
                    font.pixelSize: Theme.fontBody
                }
                DateEdit {
                    id: dateStart
                    objectName: "dateStart"
                }
                Text {
                    id: labelDateEnd
                    Layout.leftMargin: Theme.gap
                    text: qsTr("Date End:")
                    color: Theme.textDim
                    font.pixelSize: Theme.fontBody
                }
                DateEdit {
                    id: dateEnd
                    objectName: "dateEnd"
                }
                LogDataButton {
                    id: buttonSearch
                    objectName: "buttonSearch"
                    source: "qrc:/res/image/log_search.svg"
                }
                LogDataButton {
                    id: buttonPrint
                    objectName: "buttonPrint"
                    source: "qrc:/res/image/log_print.svg"
                }
                BusyIndicator {
                    id: busyIndicator
                    objectName: "busyIndicator"
                    Layout.preferredWidth: 32
                    Layout.preferredHeight: 32
                    running: false
                    visible: running
                }
            }

            StackLayout {
                id: stackLog
                Layout.fillWidth: true
                Layout.fillHeight: true
                currentIndex: listLogType.currentIndex

                LogDevData {
                    id: logDevData
                    objectName: "logDevData"
                }
                LogAlarmData {
                    id: logAlarmData
                    objectName: "logAlarmData"
                }
                LogClosedRecords {
                    id: logClosedRecords
                    objectName: "logClosedRecords"
                }
                LogSelfTest {
                    id: logSelfTest
                    objectName: "logSelfTest"
                }
            }
        }
    }

    MsgDialog {
        id: msgDialog
        objectName: "msgDialog"
    }
}
