import QtQuick 2.15
import Qt.labs.platform 1.1 as Platform
import Quelta 1.0

SettingsNetworkForm {
    id: page

    property bool loading: false
    // Set once the fields hold the service's values; nothing is written back before.
    property bool ready: false
    readonly property bool writing: ready && !loading

    function refresh() {
        loading = true
        switchEnable.checked = ServiceNetwork.enable
        textFieldListen.text = ServiceNetwork.listen
        textFieldPort.text = ServiceNetwork.port > 0 ? String(ServiceNetwork.port) : ""
        textFieldAllow.text = ServiceNetwork.allow
        textFieldUpsName.text = ServiceNetwork.upsName
        textFieldAliases.text = ServiceNetwork.aliases
        spinBoxHostSync.value = ServiceNetwork.hostSync
        spinBoxMaxClients.value = ServiceNetwork.maxClients
        textFieldCertFile.text = ServiceNetwork.certFile
        textFieldKeyFile.text = ServiceNetwork.keyFile
        loading = false
    }

    // The text fields, also when the page is left while one still has the focus.
    function commitFields() {
        if (!ready || loading)
            return
        ServiceNetwork.listen = textFieldListen.text
        var port = parseInt(textFieldPort.text, 10)
        if (!isNaN(port) && port > 0 && port <= 65535)
            ServiceNetwork.port = port
        ServiceNetwork.allow = textFieldAllow.text
        if (textFieldUpsName.text.trim() !== "")
            ServiceNetwork.upsName = textFieldUpsName.text
        ServiceNetwork.aliases = textFieldAliases.text
        ServiceNetwork.certFile = textFieldCertFile.text
        ServiceNetwork.keyFile = textFieldKeyFile.text
    }

    function fileFromUrl(url) {
        var path = decodeURIComponent(String(url).replace(/^file:\/\//, ""))
        return /^\/[A-Za-z]:/.test(path) ? path.substring(1) : path
    }

    function deleteUser() {
        var row = listViewUser.currentIndex
        if (row < 0)
            return
        var problem = ServiceNetwork.users.delUser(row)
        listViewUser.currentIndex = -1
        if (problem !== "") {
            msgDialog.text = problem
            msgDialog.dialogType = GlobalDataDef.MsgDialogWarning
            msgDialog.buttons = GlobalDataDef.MsgDialogButtonSure
            msgDialog.open()
        }
    }

    labelState.text: !ServiceNetwork.enable ? qsTr("Off")
                     : ServiceNetwork.listeningPort > 0 ? qsTr("Serving the UPS on port %1").arg(ServiceNetwork.listeningPort)
                     : qsTr("Cannot listen: see the log")
    listViewUser.model: ServiceNetwork.users
    listViewClient.model: ServiceNetwork.clients

    Component.onCompleted: {
        refresh()
        ready = true
    }

    switchEnable.onCheckedChanged: if (writing) ServiceNetwork.enable = switchEnable.checked
    onVisibleChanged: if (!visible) commitFields()
    textFieldListen.onEditingFinished: commitFields()
    textFieldPort.onEditingFinished: commitFields()
    textFieldAllow.onEditingFinished: commitFields()
    textFieldUpsName.onEditingFinished: commitFields()
    textFieldAliases.onEditingFinished: commitFields()
    textFieldCertFile.onEditingFinished: commitFields()
    textFieldKeyFile.onEditingFinished: commitFields()
    spinBoxHostSync.onValueChanged: if (writing) ServiceNetwork.hostSync = spinBoxHostSync.value
    spinBoxMaxClients.onValueChanged: if (writing) ServiceNetwork.maxClients = spinBoxMaxClients.value
    buttonCertFile.onClicked: certDialog.open()
    buttonKeyFile.onClicked: keyDialog.open()

    buttonAddUser.onClicked: popupNutUser.openAdd()
    buttonModifyUser.onClicked: {
        var row = listViewUser.currentIndex
        if (row >= 0)
            popupNutUser.openModify(row, ServiceNetwork.users.get(row))
    }
    buttonDeleteUser.onClicked: deleteUser()

    Connections {
        target: SettingsFileExchange
        function onSettingsChanged() {
            page.refresh()
        }
    }

    Platform.FileDialog {
        id: certDialog
        title: qsTr("TLS certificate")
        fileMode: Platform.FileDialog.OpenFile
        nameFilters: [qsTr("PEM files (*.pem *.crt *.key)"), qsTr("All files (*)")]
        onAccepted: {
            textFieldCertFile.text = page.fileFromUrl(file)
            ServiceNetwork.certFile = textFieldCertFile.text
        }
    }

    Platform.FileDialog {
        id: keyDialog
        title: qsTr("TLS key")
        fileMode: Platform.FileDialog.OpenFile
        nameFilters: [qsTr("PEM files (*.pem *.crt *.key)"), qsTr("All files (*)")]
        onAccepted: {
            textFieldKeyFile.text = page.fileFromUrl(file)
            ServiceNetwork.keyFile = textFieldKeyFile.text
        }
    }
}
