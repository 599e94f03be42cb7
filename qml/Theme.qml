pragma Singleton
import QtQuick 2.15

// The one palette and type scale of the program. Pages take every colour, size and font from
// here, so the look stays consistent and can be tuned in one place.
QtObject {
    // Window chrome: header and footer.
    readonly property color chrome: "#15202b"
    readonly property color chromeRaised: "#1e2c3a"
    readonly property color chromeHover: "#263747"
    readonly property color chromeLine: "#2c3d4f"
    readonly property color chromeText: "#e9eff5"
    readonly property color chromeTextDim: "#8da0b3"

    // Page surfaces.
    readonly property color page: "#eef2f6"
    readonly property color card: "#ffffff"
    readonly property color cardAlt: "#f6f8fb"
    readonly property color border: "#d8e0e8"
    readonly property color divider: "#e6ebf0"

    // Text.
    readonly property color text: "#1a2633"
    readonly property color textDim: "#5b6b7b"
    readonly property color textFaint: "#93a1af"
    readonly property color textOnAccent: "#ffffff"

    // Accent and states.
    readonly property color accent: "#0f9d7a"
    readonly property color accentHover: "#0c8a6b"
    readonly property color accentPressed: "#0a7358"
    readonly property color accentSoft: "#daf3ec"
    readonly property color ok: "#16a34a"
    readonly property color okSoft: "#dcf5e4"
    readonly property color warn: "#e08a00"
    readonly property color warnSoft: "#fdf0d9"
    readonly property color fault: "#dc3545"
    readonly property color faultSoft: "#fbe1e3"
    readonly property color info: "#2f7de1"
    readonly property color infoSoft: "#dfeafb"
    readonly property color idle: "#9aa8b6"
    readonly property color idleSoft: "#e8edf2"

    // The UPS states of the header badge, the diagram's pill and the tray icon, one hue each
    // (the tray icons in res/image/tray_*.svg use the same), with the pale tint behind a text.
    readonly property color stateNormal: ok
    readonly property color stateNormalSoft: okSoft
    readonly property color stateOnBattery: warn
    readonly property color stateOnBatterySoft: warnSoft
    readonly property color stateBatteryLow: fault
    readonly property color stateBatteryLowSoft: faultSoft
    readonly property color stateFault: "#9b2fc9"
    readonly property color stateFaultSoft: "#f1e2f9"
    readonly property color stateOutputOff: info
    readonly property color stateOutputOffSoft: infoSoft
    // The load is about to lose its power, and the UPS is out of sight: both call for the user.
    readonly property color stateOutputOffPending: "#e8590c"
    readonly property color stateOutputOffPendingSoft: "#fde8dc"
    readonly property color stateCommLost: "#c2255c"
    readonly property color stateCommLostSoft: "#fbe3ec"
    readonly property color stateWaiting: idle
    readonly property color stateWaitingSoft: idleSoft

    // Power-flow diagram.
    readonly property color flowLive: "#12b886"
    readonly property color flowBattery: "#f59f00"
    readonly property color flowDead: "#c5ced8"

    // Chart series.
    readonly property color seriesA: "#2f7de1"
    readonly property color seriesB: "#0f9d7a"
    readonly property color seriesC: "#8e44ad"
    readonly property color seriesD: "#e08a00"
    readonly property color seriesE: "#a0522d"

    // Type scale (pixels, scaled by the platform for high-density screens).
    readonly property string fontFamily: Qt.application.font.family
    readonly property string fontMono: Qt.platform.os === "windows" ? "Consolas" : "DejaVu Sans Mono"
    readonly property int fontCaption: 11
    readonly property int fontSmall: 12
    readonly property int fontBody: 13
    readonly property int fontLarge: 15
    readonly property int fontTitle: 18
    readonly property int fontHeading: 24
    readonly property int fontDisplay: 32

    // Spacing and shape.
    readonly property int radius: 6
    readonly property int radiusLarge: 10
    readonly property int gap: 8
    readonly property int margin: 16
    readonly property int controlHeight: 30

    // Window geometry.
    readonly property int windowWidth: 1024
    readonly property int windowHeight: 680
    readonly property int headerHeight: 44
    readonly property int footerHeight: 76

    // Motion.
    readonly property int fast: 120
    readonly property int normal: 220
}
