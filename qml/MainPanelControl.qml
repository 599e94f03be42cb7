import QtQuick 2.15
import Quelta 1.0

MainPanelControlForm {
    id: page

    // The order waiting for the user's answer to its question; "" when none waits.
    property string pendingOrder: ""
    // Counts the link's changes of what it can carry out, so the bindings below ask again.
    property int controlsRevision: 0

    // The orders' requests, in the order of the orders.
    readonly property var requests: [UpsLink.ControlSelfTest10S, UpsLink.ControlSelfTestEOD,
        UpsLink.ControlSelfTestCustom, UpsLink.ControlSelfTestCancel, UpsLink.ControlOutputOff,
        UpsLink.ControlOutputOffCancel, UpsLink.ControlBeeper]

    // Why the link in use cannot carry out `request` (UpsLink's ControlRequest), "" when it can.
    function unavailable(request) {
        controlsRevision
        return DevComm.controlUnavailable(request)
    }

    radioSelfTest10S.enabled: unavailable(UpsLink.ControlSelfTest10S) === ""
    radioSelfTestEOD.enabled: unavailable(UpsLink.ControlSelfTestEOD) === ""
    radioSelfTestCustom.enabled: unavailable(UpsLink.ControlSelfTestCustom) === ""
    radioSelfTestCancel.enabled: unavailable(UpsLink.ControlSelfTestCancel) === ""
    radioCloseOutput.enabled: unavailable(UpsLink.ControlOutputOff) === ""
    radioCancelCloseOutput.enabled: unavailable(UpsLink.ControlOutputOffCancel) === ""
    radioBuzzer.enabled: unavailable(UpsLink.ControlBeeper) === ""
    buttonSure.enabled: {
        var order = chosenOrder()
        var orders = ["selfTest10S", "selfTestEOD", "selfTestCustom", "selfTestCancel",
                      "closeOutput", "cancelCloseOutput", "buzzer"]
        var index = orders.indexOf(order)
        return index >= 0 && unavailable(requests[index]) === ""
    }
    // The reasons, one line each, for the orders that cannot go out.
    labelUnavailable.text: {
        var lines = []
        for (var i = 0; i < requests.length; ++i) {
            var why = unavailable(requests[i])
            if (why !== "" && lines.indexOf(why) < 0)
                lines.push(why)
        }
        return lines.join("\n")
    }

    // What the chosen order does, when it is worth a question first: cutting the output takes
    // the power from this computer, and the long self-tests drain the battery that has to carry
    // it through the next mains failure. The 10-second test, the cancels and the beeper are
    // harmless and go at once.
    function question(order) {
        switch (order) {
        case "closeOutput":
            return spinBoxCloseDelay.value === 0
                    ? qsTr("The UPS output switches off in about 12 seconds: this computer and everything else on the UPS lose power.")
                    : qsTr("The UPS output switches off in %1 minute(s): this computer and everything else on the UPS lose power.")
                      .arg(spinBoxCloseDelay.value)
        case "selfTestEOD":
            return qsTr("The UPS runs on its battery until the battery is low. Until it has charged again, it may not carry this computer through a mains failure.")
        case "selfTestCustom":
            return qsTr("The UPS runs on its battery for %1 minute(s). Until it has charged again, it may not carry this computer through a mains failure.")
                    .arg(spinBoxTestMinutes.value)
        }
        return ""
    }

    function chosenOrder() {
        if (radioSelfTest10S.checked)
            return "selfTest10S"
        if (radioSelfTestEOD.checked)
            return "selfTestEOD"
        if (radioSelfTestCustom.checked)
            return "selfTestCustom"
        if (radioSelfTestCancel.checked)
            return "selfTestCancel"
        if (radioCloseOutput.checked)
            return "closeOutput"
        if (radioCancelCloseOutput.checked)
            return "cancelCloseOutput"
        if (radioBuzzer.checked)
            return "buzzer"
        return ""
    }

    // Sure: a dangerous order asks first, the others go at once.
    function issueOrder() {
        var order = chosenOrder()
        // A minute count out of its range is refused in its field, never cut to another one.
        if ((order === "selfTestCustom" && !spinBoxTestMinutes.accept())
                || (order === "closeOutput" && !spinBoxCloseDelay.accept()))
            return
        var text = question(order)
        if (text === "") {
            send(order)
            return
        }
        pendingOrder = order
        msgDialog.text = text + "\n" + qsTr("Issue the order?")
        msgDialog.dialogType = UiEnums.MsgDialogWarning
        msgDialog.buttons = UiEnums.MsgDialogButtonSure | UiEnums.MsgDialogButtonCancel
        msgDialog.open()
    }

    // Sends the order to the UPS; whether it obeyed shows in the later status data.
    function send(order) {
        if (order === "selfTest10S")
            DevComm.setSelfTest(UiEnums.SelfTest10S, 0)
        else if (order === "selfTestEOD")
            DevComm.setSelfTest(UiEnums.SelfTestEOD, 0)
        else if (order === "selfTestCustom")
            DevComm.setSelfTest(UiEnums.SelfTestCustom, spinBoxTestMinutes.value)
        else if (order === "selfTestCancel")
            DevComm.setSelfTest(UiEnums.SelfTestCancel, 0)
        else if (order === "closeOutput")
            DevComm.switchOutputOff(spinBoxCloseDelay.value)
        else if (order === "cancelCloseOutput")
            DevComm.cancelOutputOff()
        else if (order === "buzzer")
            DevComm.toggleBeeper()
        else
            return
        msgDialog.text = qsTr("Order has been issued!")
        msgDialog.dialogType = UiEnums.MsgDialogInformation
        msgDialog.buttons = UiEnums.MsgDialogButtonSure
        msgDialog.open()
    }

    buttonSure.onClicked: issueOrder()

    Connections {
        target: DevComm
        function onControlsChanged() {
            page.controlsRevision++
        }
    }

    Connections {
        target: msgDialog
        function onAccepted() {
            var order = page.pendingOrder
            page.pendingOrder = ""
            if (order !== "")
                page.send(order)
        }
        function onRejected() {
            page.pendingOrder = ""
        }
    }
}
