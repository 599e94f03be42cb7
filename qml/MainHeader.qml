import QtQuick 2.15

MainHeaderForm {
    id: header
    // Hidden where a tray brings it back, minimised where none does: the window decides.
    signal closeRequested
    buttonMinimize.onClicked: window.showMinimized()
    buttonClose.onClicked: header.closeRequested()
}
