import QtQuick
import "../basic/Skin.js" as S

// A round mark and its label; a click selects it and never deselects it.
Item {
    id: r
    property alias text: label.text
    property bool checked: false
    signal clicked()
    width: 16 + label.implicitWidth
    height: 16
    Rectangle {
        id: mark
        width: 10
        height: 10
        radius: 5
        anchors.verticalCenter: parent.verticalCenter
        color: S.gray3
        Rectangle {
            anchors.centerIn: parent
            width: 6
            height: 6
            radius: 3
            color: S.highlight
            visible: r.checked
        }
    }
    Text {
        id: label
        x: 16
        anchors.verticalCenter: parent.verticalCenter
        color: S.text
        font.family: S.fontFamily
        font.pixelSize: S.fontNormal
    }
    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: {
            r.checked = true
            r.clicked()
        }
    }
}
