import QtQuick
import "../basic/Skin.js" as S

// A flat text button: highlight while hovered, button colour otherwise.
Rectangle {
    id: b
    property alias text: label.text
    property bool bold: false
    property bool active: false
    property color idleColor: S.button
    signal clicked()
    width: 64
    height: 24
    radius: 2
    color: area.containsMouse || active ? S.highlight : idleColor
    opacity: enabled ? 1 : 0.5
    Text {
        id: label
        anchors.fill: parent
        anchors.leftMargin: 4
        anchors.rightMargin: 4
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        color: S.text
        font.family: S.fontFamily
        font.pixelSize: S.fontNormal
        font.bold: b.bold
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: b.clicked()
    }
}
