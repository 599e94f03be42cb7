import QtQuick 2.15

// The caption of a field on the settings and control pages.
Text {
    color: Theme.textDim
    font.pixelSize: Theme.fontBody
}
