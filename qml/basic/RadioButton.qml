import QtQuick
import "Skin.js" as Skin

// A round mark and its label. It never deselects itself: the page clears
// the other buttons of its group.
Item {
    id: radio
    property alias text: label.text
    property bool checked: false
    signal clicked()

    implicitWidth: 10 + 16 + label.implicitWidth
    implicitHeight: Math.max(label.implicitHeight, 10)

    Rectangle {
        id: mark
        anchors.verticalCenter: parent.verticalCenter
        width: 10
        height: 10
        radius: 5
        color: Skin.gray3
        Rectangle {
            anchors.centerIn: parent
            width: 6
            height: 6
            radius: 3
            color: Skin.highlight
            visible: radio.checked
        }
    }
    Text {
        id: label
        x: 10 + 16
        anchors.verticalCenter: parent.verticalCenter
        color: Skin.text
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormal
    }
    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: {
            radio.checked = true
            radio.clicked()
        }
    }
}
