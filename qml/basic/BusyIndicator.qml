import QtQuick
import "Skin.js" as Skin

// "LOADING ......", pulsing while the UI is locked.
Rectangle {
    id: indicator
    width: 180
    height: 40
    radius: 4
    color: "#c0000000"
    Text {
        id: label
        anchors.centerIn: parent
        text: "LOADING ......"
        color: Skin.text
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddle
        font.bold: true
        SequentialAnimation on opacity {
            running: indicator.visible
            loops: Animation.Infinite
            NumberAnimation { from: 1.0; to: 0.2; duration: 400 }
            NumberAnimation { from: 0.2; to: 1.0; duration: 400 }
        }
    }
}
