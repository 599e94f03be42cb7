import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15

// A date field with a calendar that drops down below it; `text` is the date as "yyyy-MM-dd".
Item {
    id: root

    property date date: new Date()
    readonly property string text: root.date.toLocaleDateString(Qt.locale("en_GB"), "yyyy-MM-dd")
    property alias calendarVisible: calendar.visible

    implicitWidth: 130
    implicitHeight: field.implicitHeight

    TextField {
        id: field
        objectName: "field"
        anchors.fill: parent
        readOnly: true
        text: root.text
        style: TextFieldStyle {
            textColor: Theme.text
            padding {
                left: 10
                right: 28
            }
            background: Rectangle {
                implicitWidth: 130
                implicitHeight: Theme.controlHeight
                radius: Theme.radius
                color: Theme.card
                border.width: calendar.visible ? 2 : 1
                border.color: calendar.visible || control.hovered ? Theme.accent : Theme.border
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: calendar.visible = !calendar.visible
    }

    Image {
        anchors.right: parent.right
        anchors.rightMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        width: 16
        height: 16
        sourceSize: Qt.size(32, 32)
        source: "qrc:/res/image/calendar.svg"
    }

    Calendar {
        id: calendar
        objectName: "calendar"
        anchors.top: field.bottom
        anchors.topMargin: 4
        anchors.left: field.left
        width: 280
        height: 250
        z: 100
        visible: false
        selectedDate: root.date
        locale: Qt.locale("en_GB")
        frameVisible: false
        style: CalendarStyle {
            gridVisible: false
            background: Rectangle {
                color: Theme.card
                radius: Theme.radius
                border.color: Theme.border
            }
            navigationBar: Item {
                implicitHeight: 36
                Text {
                    anchors.centerIn: parent
                    text: styleData.title
                    color: Theme.text
                    font.pixelSize: Theme.fontBody
                    font.bold: true
                }
                Text {
                    anchors.left: parent.left
                    anchors.leftMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                    text: "\u2039"
                    color: Theme.textDim
                    font.pixelSize: Theme.fontTitle
                    MouseArea {
                        anchors.fill: parent
                        anchors.margins: -8
                        onClicked: control.showPreviousMonth()
                    }
                }
                Text {
                    anchors.right: parent.right
                    anchors.rightMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                    text: "\u203a"
                    color: Theme.textDim
                    font.pixelSize: Theme.fontTitle
                    MouseArea {
                        anchors.fill: parent
                        anchors.margins: -8
                        onClicked: control.showNextMonth()
                    }
                }
            }
            dayOfWeekDelegate: Text {
                height: 24
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                text: Qt.locale("en_GB").dayName(styleData.dayOfWeek, Locale.ShortFormat)
                color: Theme.textFaint
                font.pixelSize: Theme.fontCaption
            }
            dayDelegate: Rectangle {
                radius: Theme.radius
                color: styleData.selected ? Theme.accent : styleData.hovered ? Theme.accentSoft : "transparent"
                Text {
                    anchors.centerIn: parent
                    text: styleData.date.getDate()
                    color: styleData.selected ? Theme.textOnAccent
                         : styleData.visibleMonth ? Theme.text : Theme.textFaint
                    font.pixelSize: Theme.fontSmall
                    font.bold: styleData.today
                }
            }
        }
        onClicked: {
            root.date = date
            visible = false
        }
    }
}
