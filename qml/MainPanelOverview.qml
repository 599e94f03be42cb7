import QtQuick 2.15
import QtQuick.Controls 1.4
import Quelta 1.0

// Every UPS at a glance: this computer's first, then each watched one; a card opens as the
// device page of that UPS.
Item {
    id: page
    property DevStatusView opened: null
    property alias overview: overview

    // The history of a UPS asked for: "" for this computer's, else a watched UPS's shown name.
    signal historyRequested(string ups)

    DevStatusView {
        id: localStatus
        source: DevComm
        shutdown: ServiceShutdown
        directory: UpsDirectory
    }
    UpsOverview {
        id: overview
        objectName: "upsOverview"
        local: localStatus
        watch: WatchService
        // A card that went (its UPS no longer listed) is not left open.
        onCardsChanged: if (page.opened && page.opened !== localStatus) page.opened = null
    }

    Flickable {
        anchors.fill: parent
        anchors.margins: Theme.margin
        visible: page.opened === null
        contentHeight: cards.implicitHeight
        clip: true

        Flow {
            id: cards
            objectName: "overviewCards"
            width: parent.width
            spacing: Theme.margin

            UpsCard {
                objectName: "cardLocal"
                status: localStatus
                local: true
                onOpened: page.opened = localStatus
            }
            Repeater {
                model: overview.cards
                UpsCard {
                    status: modelData
                    onOpened: page.opened = modelData
                }
            }
        }
    }

    Item {
        id: openedPage
        anchors.fill: parent
        visible: page.opened !== null
        // The commands take a line of their own where the words are too long for one (French).
        readonly property bool crowded: commands.visible
            && historyButton.x + historyButton.width + 2 * Theme.margin + commands.width > width

        Button {
            id: back
            objectName: "overviewBack"
            x: Theme.margin
            y: 8
            text: qsTr("Back to the overview")
            style: SettingsButtonStyle {}
            onClicked: page.opened = null
        }
        Text {
            id: openedName
            anchors.left: back.right
            anchors.leftMargin: Theme.margin
            anchors.verticalCenter: back.verticalCenter
            text: page.opened === localStatus ? qsTr("This computer")
                                              : (page.opened ? page.opened.name : "")
            color: Theme.text
            font.pixelSize: Theme.fontLarge
            font.bold: true
        }
        // Its history: the history page's icon, as small as the commands leave room for.
        LogDataButton {
            id: historyButton
            objectName: "overviewHistory"
            anchors.left: openedName.right
            anchors.leftMargin: Theme.gap
            anchors.verticalCenter: back.verticalCenter
            implicitWidth: 32
            implicitHeight: 32
            source: "qrc:/res/image/log_history.svg"
            onClicked: page.historyRequested(page.opened && page.opened.watched ? page.opened.watched.name : "")
        }
        // A watched UPS's commands, as its server offers them.
        Row {
            id: commands
            objectName: "overviewCommands"
            property WatchedUps unit: page.opened ? page.opened.watched : null
            property int revision: 0
            property string refusal
            function unavailable(request) {
                revision
                return unit ? unit.controlUnavailable(request) : ""
            }
            visible: unit !== null
            anchors.right: parent.right
            anchors.rightMargin: Theme.margin
            y: openedPage.crowded ? back.y + back.height + 8 : back.y + (back.height - height) / 2
            spacing: 8

            Connections {
                target: commands.unit
                function onControlsChanged() { commands.revision++ }
                function onCommandRefused(message) { commands.refusal = message }
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: commands.refusal
                color: Theme.fault
                font.pixelSize: Theme.fontSmall
            }
            // The request numbers are the link's (UpsLink::ControlRequest), as on the control page.
            Button {
                text: qsTr("UPS Self-test for 10S")
                style: SettingsButtonStyle {}
                enabled: commands.unavailable(UpsLink.ControlSelfTest10S) === ""
                onClicked: commands.unit.setSelfTest(UiEnums.SelfTest10S, 0)
            }
            Button {
                text: qsTr("UPS Self-test cancel")
                style: SettingsButtonStyle {}
                enabled: commands.unavailable(UpsLink.ControlSelfTestCancel) === ""
                onClicked: commands.unit.setSelfTest(UiEnums.SelfTestCancel, 0)
            }
            Button {
                text: qsTr("UPS buzzer toggle")
                style: SettingsButtonStyle {}
                enabled: commands.unavailable(UpsLink.ControlBeeper) === ""
                onClicked: commands.unit.toggleBeeper()
            }
        }
        MainPanelDevForm {
            objectName: "overviewDevice"
            anchors.top: openedPage.crowded ? commands.bottom : back.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            status: page.opened
        }
    }
}
