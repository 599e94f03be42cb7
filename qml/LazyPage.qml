import QtQuick 2.15

// One page of a LazyPages: made the first time it is shown and kept from then on. Its content is
// a source file or the one item written inside it.
Loader {
    id: page

    property string title
    default property alias content: page.sourceComponent
    // Handed on to the page's own `status` once it is made.
    property QtObject status: null

    anchors.fill: parent
    active: false
    visible: false
    onVisibleChanged: if (visible) active = true
    onLoaded: {
        if (status !== null)
            item.status = Qt.binding(function() { return page.status })
    }
}
