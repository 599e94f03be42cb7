import QtQuick 2.15
import Quelta 1.0

// An icon with a caption on one side (textDirection: UiEnums.North, South, East, West),
// a hover and a checked state, and an optional red counter badge.
Item {
    id: control

    property url source
    property string text
    property int textDirection: UiEnums.South
    property int iconSize: 26
    property bool checkable: false
    property bool checked: false
    property int badge: 0
    property color textColor: Theme.chromeTextDim
    property color checkedTextColor: Theme.chromeText
    property color hoverColor: Theme.chromeHover
    property color checkedColor: Theme.chromeRaised
    property color accentColor: Theme.accent
    property int fontSize: Theme.fontSmall
    readonly property bool hovered: area.containsMouse
    readonly property bool pressed: area.pressed

    signal clicked

    implicitWidth: content.implicitWidth + 24
    implicitHeight: content.implicitHeight + 14
    activeFocusOnTab: true

    Accessible.role: Accessible.Button
    Accessible.name: control.text
    Accessible.onPressAction: control.clicked()
    Keys.onSpacePressed: area.activate()
    Keys.onReturnPressed: area.activate()

    Rectangle {
        id: background
        anchors.fill: parent
        anchors.margins: 3
        radius: Theme.radius
        color: control.checked ? control.checkedColor
                               : (control.hovered || control.activeFocus ? control.hoverColor : "transparent")
        Behavior on color { ColorAnimation { duration: Theme.fast } }

        // A short bar marks the selected entry of a menu.
        Rectangle {
            visible: control.checked
            width: parent.width * 0.4
            height: 3
            radius: 1.5
            color: control.accentColor
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.top: parent.top
        }
    }

    Grid {
        id: content
        anchors.centerIn: parent
        columns: (control.textDirection === UiEnums.East
                  || control.textDirection === UiEnums.West) ? 3 : 1
        spacing: 5
        horizontalItemAlignment: Grid.AlignHCenter
        verticalItemAlignment: Grid.AlignVCenter
        opacity: control.pressed ? 0.7 : 1.0

        Text {
            visible: control.text.length > 0 && (control.textDirection === UiEnums.North
                                                  || control.textDirection === UiEnums.West)
            text: control.text
            color: control.checked ? control.checkedTextColor : control.textColor
            font.pixelSize: control.fontSize
        }
        Image {
            id: icon
            visible: control.source.toString().length > 0
            source: control.source
            width: control.iconSize
            height: control.iconSize
            sourceSize.width: control.iconSize
            sourceSize.height: control.iconSize
            fillMode: Image.PreserveAspectFit
            smooth: true
            // Each button's icon is fixed: decoded beside the window's first frame, not before it.
            asynchronous: true
        }
        Text {
            visible: control.text.length > 0 && (control.textDirection === UiEnums.South
                                                  || control.textDirection === UiEnums.East)
            text: control.text
            color: control.checked ? control.checkedTextColor : control.textColor
            font.pixelSize: control.fontSize
        }
    }

    Rectangle {
        objectName: "badge"
        visible: control.badge > 0
        height: 18
        width: Math.max(height, badgeText.implicitWidth + 10)
        radius: height / 2
        color: Theme.fault
        border.color: Theme.chrome
        border.width: 2
        x: content.x + icon.x + icon.width - width / 2 + 4
        y: content.y + icon.y - height / 2 + 2
        Text {
            id: badgeText
            anchors.centerIn: parent
            text: control.badge > 99 ? "99+" : control.badge
            color: "white"
            font.pixelSize: Theme.fontCaption
            font.bold: true
        }
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        function activate() {
            if (control.checkable)
                control.checked = true
            control.clicked()
        }
        onClicked: activate()
    }
}
