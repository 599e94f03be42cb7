import QtQuick 2.15
import QtQuick.Layouts 1.15

// A white card holding one group of settings, under its title when it has one, laid out in
// `columns` columns.
Rectangle {
    property alias title: heading.text
    property alias columns: body.columns
    property alias rowSpacing: body.rowSpacing
    default property alias content: body.data

    Layout.fillWidth: true
    implicitHeight: (heading.visible ? heading.implicitHeight + Theme.margin : 0)
                    + body.implicitHeight + 2 * Theme.margin
    radius: Theme.radiusLarge
    color: Theme.card
    border.color: Theme.border

    Text {
        id: heading
        visible: text !== ""
        x: Theme.margin
        y: Theme.margin
        color: Theme.text
        font.pixelSize: Theme.fontLarge
        font.bold: true
    }
    GridLayout {
        id: body
        x: Theme.margin
        y: heading.visible ? heading.y + heading.implicitHeight + Theme.margin : Theme.margin
        width: parent.width - 2 * Theme.margin
        columns: 2
        rowSpacing: 10
        columnSpacing: Theme.margin
    }
}
