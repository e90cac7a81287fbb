import QtQuick
import "../basic/Skin.js" as S

// Label, then a 12 x 12 box 8 pixels to its right; a click toggles the tick.
Item {
    id: c
    property alias text: label.text
    property bool checked: false
    signal clicked()
    width: label.implicitWidth + 8 + 12
    height: 16
    Text {
        id: label
        anchors.verticalCenter: parent.verticalCenter
        color: S.text
        font.family: S.fontFamily
        font.pixelSize: S.fontNormal
    }
    Rectangle {
        id: box
        x: label.implicitWidth + 8
        anchors.verticalCenter: parent.verticalCenter
        width: 12
        height: 12
        radius: 2
        color: "transparent"
        border.width: 1
        border.color: S.gray3
        Text {
            anchors.centerIn: parent
            text: "✓"
            visible: c.checked
            color: S.highlight
            font.pixelSize: 11
            font.bold: true
        }
    }
    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: {
            c.checked = !c.checked
            c.clicked()
        }
    }
}
