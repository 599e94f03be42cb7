import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4
import QtQuick.Layouts 1.15
import Quelta 1.0

// A date field with a calendar that drops down below it; `text` is the date as "yyyy-MM-dd".
// The calendar is drawn over the whole window while open, kept inside it, and closes on a
// chosen day, Escape or a click outside it.
Item {
    id: root

    property date date: new Date()
    readonly property string text: root.date.toLocaleDateString(Qt.locale("en_GB"), "yyyy-MM-dd")
    readonly property alias calendarVisible: popup.visible
    // Month and weekday names in the language shown (the numbering of Translator.Language).
    readonly property var calendarLocale: Qt.locale(["en_GB", "zh_CN", "fr_FR", "zh_TW"][Translator.languageInUse] || "en_GB")
    // Marks a refused date until it is corrected.
    property bool refused: false

    implicitWidth: 130
    implicitHeight: field.implicitHeight

    function openCalendar() {
        // Lifted to the window's top item, so no page edge or clipping cuts it.
        var top = root
        while (top.parent)
            top = top.parent
        popup.parent = top
        var margin = 4
        var below = field.mapToItem(top, 0, field.height + margin)
        var above = field.mapToItem(top, 0, -margin - calendar.height)
        calendar.x = Math.max(margin, Math.min(below.x, top.width - calendar.width - margin))
        calendar.y = below.y + calendar.height <= top.height - margin || above.y < margin
                ? below.y : above.y
        calendar.selectedDate = root.date
        popup.visible = true
        calendar.forceActiveFocus()
    }

    function closeCalendar() {
        popup.visible = false
    }

    onVisibleChanged: if (!visible) closeCalendar()

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
                border.width: popup.visible || root.refused ? 2 : 1
                border.color: root.refused ? Theme.fault
                            : popup.visible || control.hovered ? Theme.accent : Theme.border
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: popup.visible ? root.closeCalendar() : root.openCalendar()
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

    Item {
        id: popup
        objectName: "calendarPopup"
        anchors.fill: parent
        visible: false
        z: 900

        Keys.onEscapePressed: root.closeCalendar()

        // A click anywhere outside the calendar only closes it.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            onPressed: root.closeCalendar()
            onWheel: wheel.accepted = true
        }

        Calendar {
            id: calendar
            objectName: "calendar"
            width: 280
            height: 250
            locale: root.calendarLocale
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
                    objectName: "calendarWeekday " + styleData.dayOfWeek
                    height: 24
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    text: root.calendarLocale.dayName(styleData.dayOfWeek, Locale.ShortFormat)
                    color: Theme.textFaint
                    font.pixelSize: Theme.fontCaption
                }
                dayDelegate: Rectangle {
                    objectName: "calendarDay " + Qt.formatDate(styleData.date, "yyyy-MM-dd")
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
                root.closeCalendar()
            }
        }
    }
}
