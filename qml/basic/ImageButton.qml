import QtQuick
import "Skin.js" as Skin

// An icon of the skin that reacts to the mouse; brightens while hovered.
Item {
    id: button
    property string icon: "close"
    property int iconSize: 16
    signal clicked()

    implicitWidth: iconSize
    implicitHeight: iconSize

    Rectangle {
        anchors.centerIn: parent
        width: button.iconSize + 6
        height: button.iconSize + 6
        radius: 3
        color: area.containsMouse ? (button.icon === "close" ? "#a01818" : Skin.button) : "transparent"
    }
    Image {
        anchors.centerIn: parent
        width: button.iconSize
        height: button.iconSize
        sourceSize: Qt.size(button.iconSize, button.iconSize)
        source: Skin.img(button.icon)
        opacity: area.containsMouse ? 1.0 : 0.85
    }
    MouseArea {
        id: area
        anchors.fill: parent
        anchors.margins: -3
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
