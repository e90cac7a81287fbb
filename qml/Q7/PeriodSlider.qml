import QtQuick
import "../basic/Skin.js" as S

// A drop-down slider: the edit row shows the text; a click slides open a
// strip whose slider is 16 pixels narrower. The knob's left edge, limited to
// [k/4, width - k - k/4], is the reported value.
Item {
    id: ds
    property string text: ""
    property bool opened: false
    readonly property int knobWidth: 12
    readonly property real minPos: knobWidth / 4
    readonly property real maxPos: track.width - knobWidth - knobWidth / 4
    property real value: minPos
    signal valueChange(real value)
    width: 110
    height: 24
    z: opened ? 100 : 0

    function setValue(v) {
        value = Math.max(minPos, Math.min(maxPos, v))
    }

    Rectangle {
        anchors.fill: parent
        color: S.gray1
        border.width: 1
        border.color: ds.opened ? S.highlight : S.gray2
        Text {
            anchors.left: parent.left
            anchors.leftMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            color: S.text
            font.family: S.fontFamily
            font.pixelSize: S.fontNormal
            text: ds.text
        }
        Text {
            anchors.right: parent.right
            anchors.rightMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            text: ds.opened ? "▲" : "▼"
            color: S.gray3
            font.pixelSize: 9
        }
        MouseArea {
            anchors.fill: parent
            onClicked: ds.opened = !ds.opened
        }
    }
    Rectangle {
        y: 24
        width: ds.width
        height: 24
        visible: ds.opened
        color: S.gray0
        border.width: 1
        border.color: S.gray2
        Item {
            id: track
            x: 8
            width: ds.width - 16
            height: parent.height
            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width
                height: 6
                radius: 3
                color: S.gray1
                Rectangle {
                    width: knob.x + ds.knobWidth / 2
                    height: parent.height
                    radius: 3
                    color: S.highlight
                }
            }
            Rectangle {
                id: knob
                x: ds.value
                anchors.verticalCenter: parent.verticalCenter
                width: ds.knobWidth
                height: 12
                radius: 6
                color: S.gray3
            }
            MouseArea {
                anchors.fill: parent
                function place(mx) {
                    ds.setValue(Math.round(mx - ds.knobWidth / 2))
                    ds.valueChange(ds.value)
                }
                onPressed: function (m) { place(m.x) }
                onPositionChanged: function (m) { if (pressed) place(m.x) }
            }
        }
    }
}
