import QtQuick 2.15

// Why the marked fields among `fields` were refused, one line each; empty, and hidden, once
// every one of them is right again.
Text {
    property var fields: []

    text: {
        var lines = []
        for (var i = 0; i < fields.length; ++i) {
            if (fields[i] && fields[i].refused && lines.indexOf(fields[i].refusal) < 0)
                lines.push(fields[i].refusal)
        }
        return lines.join("\n")
    }
    visible: text !== ""
    color: Theme.fault
    font.pixelSize: Theme.fontBody
    wrapMode: Text.Wrap
}
