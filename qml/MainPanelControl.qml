import QtQuick 2.15
import Quelta 1.0

MainPanelControlForm {
    id: page

    // Sends the chosen order to the UPS; whether it obeyed shows in the later status data.
    function issueOrder() {
        if (radioSelfTest10S.checked)
            DevComm.setSelfTest(GlobalDataDef.SelfTest10S, 0)
        else if (radioSelfTestEOD.checked)
            DevComm.setSelfTest(GlobalDataDef.SelfTestEOD, 0)
        else if (radioSelfTestCustom.checked)
            DevComm.setSelfTest(GlobalDataDef.SelfTestCustom, spinBoxTestMinutes.value)
        else if (radioSelfTestCancel.checked)
            DevComm.setSelfTest(GlobalDataDef.SelfTestCancel, 0)
        else if (radioCloseOutput.checked)
            DevComm.setShutdown(true, spinBoxCloseDelay.value)
        else if (radioCancelCloseOutput.checked)
            DevComm.setShutdown(false, 0)
        else if (radioBuzzer.checked)
            DevComm.setBuzzer()
        else
            return
        msgDialog.text = qsTr("Order has been issued!")
        msgDialog.dialogType = GlobalDataDef.MsgDialogInformation
        msgDialog.buttons = GlobalDataDef.MsgDialogButtonSure
        msgDialog.open()
    }

    buttonSure.onClicked: issueOrder()
}
