import QtQuick
import "Skin.js" as Skin

// Label, then a 12 x 12 box eight pixels to its right.
Item {
    id: box
    property alias text: label.text
    property bool checked: false
    signal clicked()

    implicitWidth: label.implicitWidth + 8 + 12
    implicitHeight: Math.max(label.implicitHeight, 12)

    Text {
        id: label
        anchors.verticalCenter: parent.verticalCenter
        color: Skin.text
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormal
    }
    Rectangle {
        id: mark
        x: label.implicitWidth + 8
        anchors.verticalCenter: parent.verticalCenter
        width: 12
        height: 12
        radius: 2
        color: Skin.gray0
        border.width: 1
        border.color: Skin.gray2
        Image {
            anchors.centerIn: parent
            width: 10
            height: 10
            sourceSize: Qt.size(10, 10)
            source: Skin.img("check")
            visible: box.checked
        }
    }
    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: {
            box.clicked()
            box.checked = !box.checked
        }
    }
}
