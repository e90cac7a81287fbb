import QtQuick
import "../basic/Skin.js" as S

// A small square image button drawn as a glyph (back, close, confirm).
Rectangle {
    id: b
    property string glyph: "✕"
    signal clicked()
    width: 24
    height: 24
    radius: 4
    color: area.containsMouse ? S.highlight : "transparent"
    border.width: 1
    border.color: area.containsMouse ? S.highlight : S.gray1
    Text {
        anchors.centerIn: parent
        text: b.glyph
        color: S.text
        font.pixelSize: 14
        font.bold: true
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: b.clicked()
    }
}
