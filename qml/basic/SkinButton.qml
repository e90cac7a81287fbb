import QtQuick
import "Skin.js" as Skin

// A flat text button: highlight colour while hovered, button colour otherwise.
// Tab reaches it; Enter or Space presses it.
Rectangle {
    id: button
    property alias text: label.text
    property alias font: label.font
    property color idleColor: Skin.button
    property color hoverColor: Skin.highlight
    readonly property bool hovered: area.containsMouse
    signal clicked()

    implicitWidth: 100
    implicitHeight: 24
    radius: 2
    color: area.containsMouse ? hoverColor : idleColor
    activeFocusOnTab: true
    border.width: activeFocus ? 1 : 0
    border.color: Skin.text
    Keys.onReturnPressed: button.clicked()
    Keys.onEnterPressed: button.clicked()
    Keys.onSpacePressed: button.clicked()

    Text {
        id: label
        anchors.fill: parent
        anchors.leftMargin: 4
        anchors.rightMargin: 4
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        color: Skin.text
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormal
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
