import QtQuick 2.15
import QtQuick.Layouts 1.15

// The settings page: a list of five sub-pages beside the one that is chosen.
Item {
    id: page

    property alias currentIndex: listSettings.currentIndex

    RowLayout {
        anchors.fill: parent
        spacing: 0

        Rectangle {
            Layout.preferredWidth: 190
            Layout.fillHeight: true
            color: Theme.card

            Rectangle {
                anchors.right: parent.right
                width: 1
                height: parent.height
                color: Theme.border
            }

            ListView {
                id: listSettings
                objectName: "settingsSubPages"
                anchors.fill: parent
                anchors.topMargin: Theme.margin
                currentIndex: 0
                interactive: false
                model: [qsTr("Common Parameters"), qsTr("E-Mail"), qsTr("Shutdown"), qsTr("Network Sharing"), qsTr("Watched UPSes")]
                delegate: SettingsListDelegate {}
            }
        }

        StackLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: listSettings.currentIndex

            SettingsCommon {
                objectName: "settingsCommon"
            }
            SettingsEMail {
                objectName: "settingsEMail"
            }
            SettingsShutdown {
                objectName: "settingsShutdown"
            }
            SettingsNetwork {
                objectName: "settingsNetwork"
            }
            SettingsWatch {
                objectName: "settingsWatch"
            }
        }
    }
}
