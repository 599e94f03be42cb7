import QtQuick 2.15
import QtQuick.Controls 1.4
import QtQuick.Controls.Styles 1.4

// The drop-down list of the settings pages, in the program's look.
ComboBox {
    id: combo
    implicitWidth: 160
    implicitHeight: Theme.controlHeight

    style: ComboBoxStyle {
        padding { left: 10; right: 28; top: 0; bottom: 0 }
        // A box one may type in: the text on the box's own background, the arrow as elsewhere.
        __editor: Item {}
        dropDownButtonWidth: 0
        textColor: control.enabled ? Theme.text : Theme.textFaint
        font.pixelSize: Theme.fontBody
        background: Rectangle {
            implicitWidth: 160
            implicitHeight: Theme.controlHeight
            radius: Theme.radius
            color: control.enabled ? Theme.card : Theme.cardAlt
            border.width: control.activeFocus ? 2 : 1
            border.color: control.hovered || control.activeFocus ? Theme.accent : Theme.border
            Image {
                anchors.right: parent.right
                anchors.rightMargin: 8
                anchors.verticalCenter: parent.verticalCenter
                width: 12
                height: 12
                sourceSize: Qt.size(12, 12)
                source: "qrc:/res/image/chevron_down.svg"
                opacity: control.enabled ? 1 : 0.4
            }
        }
        label: Text {
            text: control.currentText
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
            color: control.enabled ? Theme.text : Theme.textFaint
            font.pixelSize: Theme.fontBody
        }
        // The open list in the same white, border and type as the box, no wider than it needs.
        __dropDownStyle: MenuStyle {
            __maxPopupHeight: 400
            __menuItemType: "comboboxitem"
            __backgroundColor: Theme.card
            __borderColor: Theme.border
            __labelColor: Theme.text
            __selectedLabelColor: Theme.text
            __selectedBackgroundColor: Theme.accentSoft
            __leftLabelMargin: 10
            __rightLabelMargin: 10
            __minRightLabelSpacing: 0
            font.pixelSize: Theme.fontBody
            frame: Rectangle {
                color: Theme.card
                border.color: Theme.border
            }
            itemDelegate.background: Rectangle {
                color: styleData.selected ? Theme.accentSoft : "transparent"
            }
        }
    }
}
