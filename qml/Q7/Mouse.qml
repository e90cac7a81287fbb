import QtQuick
import "../basic/Skin.js" as S

// The mouse picture: a top and a side view with one numbered marker per
// button, linked to the button it stands for. Only the markers take input,
// so the panels around the picture stay usable.
Item {
    id: picture
    objectName: "mousePicture"
    width: 1024
    height: 640

    property int keyCount: 8
    // The button marked from the list or the open pop-up.
    property int markedButton: -1
    property int hoveredIndex: -1

    signal buttonClicked(int index)
    signal markerHovered(int index)
    signal markerExited(int index)

    readonly property point topOrigin: Qt.point(300, 110)
    readonly property point sideOrigin: Qt.point(524, 290)

    // Marker places and the point on the picture each one points at, per
    // button: left, right, middle, forward, back, DPI+, DPI-, fire.
    readonly property var markers: [
        { x: 270, y: 156, tx: 340, ty: 150, view: 0 },
        { x: 514, y: 120, tx: 440, ty: 150, view: 0 },
        { x: 368, y: 58, tx: 400, ty: 160, view: 0 },
        { x: 560, y: 452, tx: 603, ty: 354, view: 1 },
        { x: 640, y: 452, tx: 641, ty: 352, view: 1 },
        { x: 514, y: 196, tx: 408, ty: 229, view: 0 },
        { x: 514, y: 240, tx: 408, ty: 253, view: 0 },
        { x: 480, y: 452, tx: 571, ty: 355, view: 1 }
    ]

    function markerVisible(i) {
        return i < keyCount
    }

    Image {
        x: picture.topOrigin.x
        y: picture.topOrigin.y
        width: 200
        height: 420
        source: "../img/mouse/top.svg"
        // Not kept in the global image cache: the picture goes with the
        // view when the window hides to the tray.
        cache: false
        sourceSize: Qt.size(200, 420)
        smooth: true
    }
    Image {
        x: picture.sideOrigin.x
        y: picture.sideOrigin.y
        width: 220
        height: 140
        source: "../img/mouse/side.svg"
        cache: false
        sourceSize: Qt.size(220, 140)
        smooth: true
    }

    Repeater {
        model: picture.markers.length
        Item {
            id: m
            required property int index
            readonly property var mark: picture.markers[index]
            readonly property bool lit: picture.markedButton === index || picture.hoveredIndex === index
            visible: picture.markerVisible(index)
            // The leader line from the marker's nearest edge to the button.
            readonly property real sx: mark.tx < mark.x ? mark.x : (mark.tx > mark.x + 48 ? mark.x + 48 : mark.x + 24)
            readonly property real sy: mark.ty < mark.y ? mark.y : (mark.ty > mark.y + 24 ? mark.y + 24 : mark.y + 12)
            Rectangle {
                x: m.sx
                y: m.sy
                width: Math.sqrt(Math.pow(m.mark.tx - m.sx, 2) + Math.pow(m.mark.ty - m.sy, 2))
                height: 1
                transformOrigin: Item.TopLeft
                rotation: Math.atan2(m.mark.ty - m.sy, m.mark.tx - m.sx) * 180 / Math.PI
                color: m.lit ? S.marker : S.gray2
                opacity: 0.9
            }
            Rectangle {
                x: m.mark.tx - 4
                y: m.mark.ty - 4
                width: 8
                height: 8
                radius: 4
                color: m.lit ? S.marker : S.gray3
                border.width: 2
                border.color: S.black
            }
            Rectangle {
                objectName: "marker" + m.index
                x: m.mark.x
                y: m.mark.y
                width: 48
                height: 24
                radius: 12
                color: m.lit ? S.marker : S.gray1
                border.width: 1
                border.color: m.lit ? "#ffd29a" : S.gray2
                Text {
                    anchors.centerIn: parent
                    text: String(m.index + 1)
                    color: S.text
                    font.family: S.fontFamily
                    font.pixelSize: S.fontMiddle
                    font.bold: true
                }
                MouseArea {
                    anchors.fill: parent
                    hoverEnabled: true
                    onEntered: {
                        picture.hoveredIndex = m.index
                        picture.markerHovered(m.index)
                    }
                    onExited: {
                        picture.hoveredIndex = -1
                        picture.markerExited(m.index)
                    }
                    onClicked: picture.buttonClicked(m.index)
                }
            }
        }
    }
}
