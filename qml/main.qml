import QtQuick

// The root document: 1024 x 640, the size the window takes.
Rectangle {
    id: root
    width: 1024
    height: 640
    color: "#1b1c20"
    radius: 6
    border.color: "#3a3b40"

    property bool firstInit: true
    property bool isLock: false

    signal keyboardEvent(bool isDown, int usbCode)

    // Native side -> UI -------------------------------------------------------
    function initUI() {
        setProtectUI(1000)
        mainItem.visible = true
        if (firstInit) {
            firstInit = false
        }
    }
    function run() {
        runTimer.restart()
    }
    function setProtectUI(busyTime) {
        var t = Number(busyTime)
        if (!(t > 0)) {
            busy.visible = false
            isLock = false
            protectTimer.stop()
            ui_View.setEnabled(true)
            return
        }
        busy.visible = true
        isLock = true
        ui_View.setEnabled(false)
        protectTimer.interval = t
        protectTimer.restart()
    }
    function setCurrentDPI(dpiValue) {
        var v = Number(dpiValue)
        if (v === 0)
            return
        currentDpiStage = v - 1
    }
    function detectKeyboard(isDown, usbCode) {
        keyboardEvent(isDown, usbCode)
    }
    function detectMouse(isDown, buttonCode, x, y) {
    }

    property int currentDpiStage: -1

    Timer {
        id: protectTimer
        repeat: false
        onTriggered: root.setProtectUI(0)
    }
    Timer {
        id: runTimer
        interval: 1000
        repeat: false
    }

    // Dragging the background moves the window.
    MouseArea {
        anchors.fill: parent
        property point pressPos
        onPressed: function (mouse) { pressPos = Qt.point(mouse.x, mouse.y) }
        onPositionChanged: function (mouse) {
            if (!pressed)
                return
            ui_Ctl.onXChanged(mouse.x - pressPos.x)
            ui_Ctl.onYChanged(mouse.y - pressPos.y)
        }
    }

    Item {
        id: mainItem
        objectName: "mainItem"
        anchors.fill: parent
        visible: false

        Rectangle {
            id: titleBar
            width: parent.width
            height: 40
            color: "#26272c"
            radius: 6
            Text {
                x: 20
                anchors.verticalCenter: parent.verticalCenter
                text: "SKELD"
                color: "#e1e1e1"
                font.pixelSize: 16
                font.bold: true
            }
        }
    }

    // Window buttons stay usable even before the pages are ready.
    Row {
        anchors.right: parent.right
        anchors.rightMargin: 10
        y: 8
        spacing: 6
        WindowButton {
            id: minButton
            objectName: "minimizeButton"
            kind: "minimize"
            onClicked: ui_Ctl.onMinimize()
        }
        WindowButton {
            id: closeButton
            objectName: "closeButton"
            kind: "close"
            onClicked: ui_Ctl.onClose()
        }
    }

    BusyIndicator {
        id: busy
        anchors.centerIn: parent
        visible: false
    }
}
