import QtQuick 2.15
import QtQuick.Window 2.15

MainHeaderForm {
    id: header
    // Hidden where a tray brings it back, minimised where none does: the window decides.
    signal closeRequested
    buttonMinimize.onClicked: Window.window.showMinimized()
    buttonClose.onClicked: header.closeRequested()
}
