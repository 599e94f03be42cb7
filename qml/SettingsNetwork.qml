import QtQuick 2.15
import Qt.labs.platform 1.1 as Platform
import Quelta 1.0

SettingsNetworkForm {
    id: page

    property bool loading: false
    // Set once the fields hold the service's values; nothing is written back before.
    property bool ready: false
    readonly property bool writing: ready && !loading

    // A setting of the server as the page shows it: a list's items joined by commas.
    function setting(name) {
        var value = Settings.getSettings("network/" + name)
        return typeof value === "object" && value !== null && value.length !== undefined
                ? Array.prototype.join.call(value, ",") : value
    }

    // Stored as the list's items, trimmed, joined by commas; a plain value as it is.
    function store(name, value) {
        if (typeof value === "string" && ["listen", "allow", "aliases"].indexOf(name) >= 0)
            value = value.split(",").map(function (item) { return item.trim() })
                         .filter(function (item) { return item !== "" }).join(",")
        if (value !== setting(name))
            Settings.setSettings("network/" + name, value)
    }

    function refresh() {
        loading = true
        switchEnable.checked = setting("enable")
        textFieldListen.text = setting("listen")
        textFieldPort.value = setting("port")
        textFieldAllow.text = setting("allow")
        textFieldUpsName.text = setting("upsName")
        textFieldAliases.text = setting("aliases")
        spinBoxHostSync.value = setting("hostSync")
        spinBoxMaxClients.value = setting("maxClients")
        textFieldCertFile.text = setting("certFile")
        textFieldKeyFile.text = setting("keyFile")
        for (var i = 0; i < checkedFields.length; ++i)
            checkedFields[i].refused = false
        loading = false
    }

    // The fields checked before they are stored, with the check of each.
    readonly property var checkedFields: [textFieldListen, textFieldAllow, textFieldUpsName, textFieldAliases]
    function problemOf(field) {
        if (field === textFieldListen)
            return ServiceNetwork.checkListen(field.text)
        if (field === textFieldAllow)
            return ServiceNetwork.checkAllow(field.text)
        if (field === textFieldUpsName)
            return field.text.trim() === "" ? qsTr("Name the UPS for the clients.") : ServiceNetwork.checkNames(field.text)
        return ServiceNetwork.checkNames(field.text)
    }

    // The text fields, also when the page is left while one still has the focus. A field that
    // is refused is marked with why, and stored once it is right.
    function commitFields() {
        if (!ready || loading)
            return
        for (var i = 0; i < checkedFields.length; ++i) {
            var field = checkedFields[i]
            field.refusal = problemOf(field)
            field.refused = field.refusal !== ""
        }
        if (!textFieldListen.refused)
            storeListening("listen", textFieldListen.text)
        if (!textFieldAllow.refused)
            store("allow", textFieldAllow.text)
        if (!textFieldUpsName.refused)
            store("upsName", textFieldUpsName.text.trim())
        if (!textFieldAliases.refused)
            store("aliases", textFieldAliases.text)
        store("certFile", textFieldCertFile.text)
        store("keyFile", textFieldKeyFile.text)
    }

    // A change the user made that decides where the server listens: once the server has tried,
    // a server that cannot listen is switched off again, with the reason shown.
    property bool awaitingListen: false
    property string listenFailure: ""
    function storeListening(name, value) {
        var before = setting("listen") + " " + setting("port") + " " + setting("enable")
        store(name, value)
        if (setting("enable") && before !== setting("listen") + " " + setting("port") + " " + setting("enable")) {
            listenFailure = ""
            awaitingListen = true
        }
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
            msgDialog.dialogType = UiEnums.MsgDialogWarning
            msgDialog.buttons = UiEnums.MsgDialogButtonSure
            msgDialog.open()
        }
    }

    labelState.text: listenFailure !== "" ? qsTr("Switched off: cannot listen on %1").arg(listenFailure)
                     : !ServiceNetwork.serving ? qsTr("Off")
                     : ServiceNetwork.listeningPort > 0 ? qsTr("Serving the UPS on port %1").arg(ServiceNetwork.listeningPort)
                     : ServiceNetwork.listenProblem !== "" ? qsTr("Cannot listen on %1").arg(ServiceNetwork.listenProblem)
                     : qsTr("Starting...")
    labelState.color: listenFailure !== "" || (ServiceNetwork.serving && ServiceNetwork.listeningPort === 0)
                      ? Theme.fault : Theme.textDim
    listViewUser.model: ServiceNetwork.users
    listViewClient.model: ServiceNetwork.clients

    Component.onCompleted: {
        refresh()
        ready = true
    }

    switchEnable.onCheckedChanged: {
        if (writing)
            storeListening("enable", switchEnable.checked)
        if (switchEnable.checked)
            listenFailure = ""
    }
    onVisibleChanged: if (!visible) commitFields()
    textFieldListen.onEditingFinished: commitFields()
    textFieldPort.onEdited: storeListening("port", number)
    textFieldAllow.onEditingFinished: commitFields()
    textFieldUpsName.onEditingFinished: commitFields()
    textFieldAliases.onEditingFinished: commitFields()
    textFieldCertFile.onEditingFinished: commitFields()
    textFieldKeyFile.onEditingFinished: commitFields()
    spinBoxHostSync.onEdited: store("hostSync", number)
    spinBoxMaxClients.onEdited: store("maxClients", number)
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
        target: ServiceNetwork
        function onListenAttempted() {
            if (!page.awaitingListen)
                return
            page.awaitingListen = false
            if (page.setting("enable") && ServiceNetwork.listeningPort === 0 && ServiceNetwork.listenProblem !== "") {
                page.listenFailure = ServiceNetwork.listenProblem
                page.store("enable", false)
                page.refresh()
            }
        }
    }

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
            page.store("certFile", textFieldCertFile.text)
        }
    }

    Platform.FileDialog {
        id: keyDialog
        title: qsTr("TLS key")
        fileMode: Platform.FileDialog.OpenFile
        nameFilters: [qsTr("PEM files (*.pem *.crt *.key)"), qsTr("All files (*)")]
        onAccepted: {
            textFieldKeyFile.text = page.fileFromUrl(file)
            page.store("keyFile", textFieldKeyFile.text)
        }
    }
}
