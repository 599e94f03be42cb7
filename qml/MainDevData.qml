import QtQuick 2.15

// The tabbed data view of the device page.
MainDevDataForm {
}
