import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Layouts 1.15

Item {
    id: root

    property alias labelTitle: labelTitle
    property alias upsChooser: upsChooser
    property alias comboUps: comboUps
    property alias listLogType: listLogType
    property alias labelDateStart: labelDateStart
    property alias dateStart: dateStart
    property alias labelDateEnd: labelDateEnd
    property alias dateEnd: dateEnd
    property alias buttonSearch: buttonSearch
    property alias buttonExport: buttonExport
    property alias busyIndicator: busyIndicator
    property alias stackLog: stackLog
    property alias logDevData: logDevData
    property alias logChart: logChart
    property alias logAlarmData: logAlarmData
    property alias logClosedRecords: logClosedRecords
    property alias logSelfTest: logSelfTest
    property alias logHealth: logHealth
    property alias msgDialog: msgDialog

    // One look for the four record views: a quiet header, roomy rows, the accent selection.
    Component {
        id: headerDelegate
        Rectangle {
            implicitHeight: 54
            color: Theme.cardAlt
            Rectangle {
                anchors.bottom: parent.bottom
                width: parent.width
                height: 1
                color: Theme.border
            }
            Rectangle {
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: 1
                height: parent.height - 14
                color: Theme.divider
            }
            Text {
                anchors.fill: parent
                anchors.leftMargin: 10
                anchors.rightMargin: 6
                verticalAlignment: Text.AlignVCenter
                // A closing bracket stays on the line of what it closes: "temperature(℃ )".
                text: styleData.value ? String(styleData.value).replace(/ (?=[)\]])/g, "\u00a0") : ""
                // A long translated title takes more lines; every title keeps one size.
                wrapMode: Text.WordWrap
                maximumLineCount: 3
                elide: Text.ElideRight
                color: Theme.textDim
                font.pixelSize: Theme.fontSmall
                font.bold: true
            }
        }
    }

    Component {
        id: rowDelegate
        Rectangle {
            height: 28
            color: styleData.selected ? Theme.accentSoft : styleData.alternate ? Theme.cardAlt : Theme.card
        }
    }

    Component {
        id: itemDelegate
        Text {
            leftPadding: 10
            rightPadding: 6
            verticalAlignment: Text.AlignVCenter
            text: styleData.value !== undefined ? styleData.value : ""
            elide: Text.ElideRight
            color: styleData.selected ? Theme.accentPressed : Theme.text
            font.pixelSize: Theme.fontBody
        }
    }

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

            // Whose history: this computer's UPS or a watched one.
            Column {
                id: upsChooser
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.topMargin: Theme.margin
                // As wide as the entries of the list below, the caption over the box's text.
                anchors.leftMargin: 6
                anchors.rightMargin: 7
                spacing: 6
                visible: false

                Text {
                    leftPadding: 10
                    text: qsTr("UPS")
                    color: Theme.textDim
                    font.pixelSize: Theme.fontSmall
                    font.bold: true
                }
                SettingsComboBox {
                    id: comboUps
                    objectName: "comboBoxUps"
                    width: parent.width
                }
            }

            ListView {
                id: listLogType
                objectName: "logDataSubPages"
                anchors.fill: parent
                anchors.topMargin: upsChooser.visible ? upsChooser.height + 2 * Theme.margin : Theme.margin
                currentIndex: 0
                interactive: false
                // Texts in a list are looked up under "MainPanelLogDataForm" without ".ui"; name the context.
                model: [
                    qsTranslate("MainPanelLogDataForm.ui", "Data"),
                    qsTranslate("MainPanelLogDataForm.ui", "Chart"),
                    qsTranslate("MainPanelLogDataForm.ui", "Alarm"),
                    qsTranslate("MainPanelLogDataForm.ui", "Closed Records"),
                    qsTranslate("MainPanelLogDataForm.ui", "Self-test"),
                    qsTranslate("MainPanelLogDataForm.ui", "Battery health")
                ]
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
                    // Yesterday and today, so a chart opens on a whole day.
                    date: new Date(new Date().getTime() - 86400000)
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
                    id: buttonExport
                    objectName: "buttonExport"
                    source: "qrc:/res/image/log_export.svg"
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

            Rectangle {
                Layout.fillWidth: true
                Layout.fillHeight: true
                radius: Theme.radius
                color: Theme.card
                border.color: Theme.border

            StackLayout {
                id: stackLog
                anchors.fill: parent
                anchors.margins: 1
                clip: true
                currentIndex: listLogType.currentIndex

                LogDevDataForm {
                    id: logDevData
                    objectName: "logDevData"
                    tableView.headerDelegate: headerDelegate
                    tableView.rowDelegate: rowDelegate
                    tableView.itemDelegate: itemDelegate
                }
                LogChart {
                    id: logChart
                    objectName: "logChart"
                }
                LogAlarmDataForm {
                    id: logAlarmData
                    objectName: "logAlarmData"
                    tableView.headerDelegate: headerDelegate
                    tableView.rowDelegate: rowDelegate
                    tableView.itemDelegate: itemDelegate
                }
                LogClosedRecords {
                    id: logClosedRecords
                    objectName: "logClosedRecords"
                    treeView.headerDelegate: headerDelegate
                    treeView.rowDelegate: rowDelegate
                    treeView.itemDelegate: itemDelegate
                }
                LogSelfTest {
                    id: logSelfTest
                    objectName: "logSelfTest"
                    tableView.headerDelegate: headerDelegate
                    tableView.rowDelegate: rowDelegate
                    tableView.itemDelegate: itemDelegate
                }
                LogHealth {
                    id: logHealth
                    objectName: "logHealth"
                }
            }
            }
        }
    }

    MsgDialog {
        id: msgDialog
        objectName: "msgDialog"
    }
}
