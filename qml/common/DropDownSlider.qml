import QtQuick
import "../basic"
import "../basic/Skin.js" as Skin

// An edit row showing a text; a click slides a strip with a slider open
// below it (drawn over what follows) or shut again.
Item {
    id: control
    property string text: ""
    property alias slider: slider
    readonly property bool isOpen: strip.opened
    signal valueChange(real value)
    signal valueChangeDelay(real value)

    implicitWidth: 110
    implicitHeight: 24

    // Places the slider at a ratio 0..1 of its travel.
    function setValue(ratio) {
        slider.setRatio(ratio)
    }
    function toggle() {
        if (slideAnim.running)
            return
        strip.opened = !strip.opened
    }
    function close() {
        strip.opened = false
    }

    Rectangle {
        anchors.fill: parent
        radius: 2
        color: Skin.gray1
        border.width: 1
        border.color: strip.opened ? Skin.highlight : Skin.gray1
        Text {
            anchors.left: parent.left
            anchors.right: arrow.left
            anchors.leftMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            text: control.text
            elide: Text.ElideRight
            color: Skin.text
            font.family: Skin.fontFamily
            font.pixelSize: Skin.fontNormal
        }
        Image {
            id: arrow
            anchors.right: parent.right
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            width: 10
            height: 6
            sourceSize: Qt.size(10, 6)
            source: Skin.img("arrow")
            rotation: strip.opened ? 180 : 0
        }
        MouseArea {
            anchors.fill: parent
            onClicked: control.toggle()
        }
    }

    Rectangle {
        id: strip
        property bool opened: false
        y: control.height
        z: 100
        width: control.width
        height: opened ? 24 : 0
        clip: true
        visible: height > 0
        color: Skin.gray0
        border.width: 1
        border.color: Skin.gray1
        Behavior on height {
            NumberAnimation { id: slideAnim; duration: 180; easing.type: Easing.OutQuad }
        }
        Slider {
            id: slider
            width: control.width - 16
            anchors.horizontalCenter: parent.horizontalCenter
            y: 12 - height / 2
            onValueChange: function (v) { control.valueChange(v) }
            onValueChangeDelay: function (v) { control.valueChangeDelay(v) }
        }
    }
}
