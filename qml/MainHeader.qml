import QtQuick 2.15

MainHeaderForm {
    // The close button only hides the window; the tray brings it back.
    buttonMinimize.onClicked: window.showMinimized()
    buttonClose.onClicked: window.hide()
}
