#pragma once

#include <QObject>

// The enumerations shared by the screens and the self-test operations.
class UiEnums : public QObject
{
    Q_OBJECT
public:
    explicit UiEnums(QObject *parent = nullptr) : QObject(parent) { }

    enum MainTabType {
        MainTabDevice = 0,
        MainTabLogWork = 1,
        MainTabControl = 2,
        MainTabSetting = 3,
        MainTabLogData = 4,
        MainTabOverview = 5
    };
    Q_ENUM(MainTabType)

    enum SelfTestType { SelfTestCancel = 1, SelfTest10S = 2, SelfTestEOD = 3, SelfTestCustom = 4 };
    Q_ENUM(SelfTestType)

    enum MsgDialogType {
        MsgDialogNoIcon = 0,
        MsgDialogInformation = 1,
        MsgDialogQuestion = 2,
        MsgDialogWarning = 3
    };
    Q_ENUM(MsgDialogType)

    enum MsgDialogButtons { MsgDialogButtonSure = 1, MsgDialogButtonCancel = 2 };
    Q_ENUM(MsgDialogButtons)

    enum ImageButtonTextDirection { North = 0, South = 1, East = 2, West = 3 };
    Q_ENUM(ImageButtonTextDirection)
};
