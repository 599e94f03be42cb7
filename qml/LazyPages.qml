import QtQuick 2.15

// Pages on top of each other, the one at currentIndex shown; each LazyPage inside is made when it
// is first shown. Plain items, so a window's first frame does not wait for a styled tab view.
Item {
    id: stack

    property int currentIndex: 0
    readonly property int count: holder.children.length
    default property alias pages: holder.children

    // The page (a Loader: its item is null until the page is first shown); null out of range.
    function getTab(index) {
        return index >= 0 && index < holder.children.length ? holder.children[index] : null
    }

    function showCurrent() {
        for (var i = 0; i < holder.children.length; ++i)
            holder.children[i].visible = i === currentIndex
    }

    onCurrentIndexChanged: showCurrent()
    Component.onCompleted: showCurrent()

    Item {
        id: holder
        anchors.fill: parent
    }
}
