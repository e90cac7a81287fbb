import QtQuick
import "../basic/Skin.js" as S

// A flat text button: highlight while hovered, button colour otherwise. A
// long text (French) shrinks to fit rather than being cut; Tab reaches it,
// Enter or Space presses it.
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
    activeFocusOnTab: true
    border.width: activeFocus ? 1 : 0
    border.color: S.text
    Keys.onReturnPressed: b.clicked()
    Keys.onEnterPressed: b.clicked()
    Keys.onSpacePressed: b.clicked()
    Text {
        id: label
        anchors.fill: parent
        anchors.leftMargin: 4
        anchors.rightMargin: 4
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        fontSizeMode: Text.Fit
        minimumPixelSize: S.fontMin
        wrapMode: Text.WordWrap
        maximumLineCount: 2
        lineHeight: 0.9
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
