import QtQml 2.15
import Quelta 1.0

// One setting as a screen binds to it: the value in force, typed by the key table (a flag, a
// number, a text, a list's items), followed whoever writes it (this page, an import, a restore,
// the command line, a hand edit), and for a number the range a form offers.
QtObject {
    id: setting

    property string key
    // Bumped by each write under the key: the value is read again.
    property int revision: 0
    readonly property var value: (revision, key !== "" ? Settings.getSettings(key) : undefined)
    // {"min", "max", "default"} for a number key; empty for the others.
    readonly property var range: key !== "" ? Settings.formRange(key) : ({})

    // Writes `newValue` unless it is the one in force.
    function set(newValue) {
        if (newValue !== value)
            Settings.setSettings(key, newValue)
    }

    property Connections watch: Connections {
        target: Settings
        function onChanged(changedKey) {
            if (changedKey === setting.key)
                ++setting.revision
        }
    }
}
