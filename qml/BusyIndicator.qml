import QtQuick

// A spinning ring shown while the UI is locked.
Item {
    id: indicator
    width: 56
    height: 56
    Repeater {
        model: 8
        Rectangle {
            required property int index
            width: 8
            height: 8
            radius: 4
            color: "#ff3b3b"
            opacity: 0.25 + index / 10
            x: indicator.width / 2 - 4 + Math.cos(index * Math.PI / 4) * 22
            y: indicator.height / 2 - 4 + Math.sin(index * Math.PI / 4) * 22
        }
    }
    RotationAnimation on rotation {
        running: indicator.visible
        from: 0
        to: 360
        duration: 1200
        loops: Animation.Infinite
    }
}
