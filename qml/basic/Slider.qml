import QtQuick
import "Skin.js" as Skin
import "PageLogic.js" as Logic

// Track, fill up to the knob's centre, and a knob. Positions are the knob's
// left edge in pixels, between a quarter knob and width - 1.25 knobs.
Item {
    id: slider

    property int knobWidth: 12
    property int knobHeight: 16
    property color fillColor: Skin.highlight
    property color knobColor: Skin.gray3
    property bool snapping: false
    property int segment: 10
    property int segmentIndex: 0
    readonly property real value: knob.x
    readonly property real minPos: Logic.knobMin(knobWidth)
    readonly property real maxPos: Logic.knobMax(width, knobWidth)
    readonly property bool dragging: knobArea.drag.active

    signal clicked()
    signal knobPressed()
    signal valueChange(real value)
    signal valueChangeDelay(real value)

    implicitWidth: 96
    implicitHeight: 6

    function setRatio(r) {
        slide.stop()
        knob.x = Logic.clamp(Logic.sliderPosFromRatio(width, knobWidth, r), minPos, maxPos)
    }
    function setIndex(i) {
        slide.stop()
        segmentIndex = Logic.clamp(i, 0, segment)
        knob.x = Logic.sliderPosFromIndex(width, knobWidth, segmentIndex, segment)
    }
    function setPosition(p) {
        slide.stop()
        knob.x = Logic.clamp(p, minPos, maxPos)
    }

    function snapTarget(pos) {
        segmentIndex = Logic.snapIndex(width, knobWidth, pos, segment)
        return Logic.sliderPosFromIndex(width, knobWidth, segmentIndex, segment)
    }

    Rectangle {
        id: track
        width: parent.width
        height: 6
        radius: 3
        anchors.verticalCenter: parent.verticalCenter
        color: Skin.gray1
        Rectangle {
            height: parent.height
            radius: 3
            width: knob.x + slider.knobWidth / 2
            color: slider.fillColor
        }
    }

    // The whole strip, a little taller than the track, takes clicks.
    MouseArea {
        anchors.fill: parent
        anchors.topMargin: -6
        anchors.bottomMargin: -6
        onPressed: function (mouse) {
            slider.clicked()
            var target = Logic.clamp(mouse.x - slider.knobWidth / 2, slider.minPos, slider.maxPos)
            if (slider.snapping)
                target = slider.snapTarget(target)
            slide.to = target
            slide.restart()
        }
    }

    Rectangle {
        id: knob
        objectName: "knob"
        width: slider.knobWidth
        height: slider.knobHeight
        radius: 3
        anchors.verticalCenter: parent.verticalCenter
        color: knobArea.pressed ? Qt.lighter(slider.knobColor, 1.15) : slider.knobColor
        border.color: Qt.darker(slider.knobColor, 1.6)
        border.width: 1
        Rectangle {
            anchors.centerIn: parent
            width: 2
            height: parent.height - 6
            radius: 1
            color: Qt.darker(slider.knobColor, 1.8)
        }
        onXChanged: {
            if (knobArea.drag.active && !slider.snapping)
                slider.valueChange(x)
        }

        MouseArea {
            id: knobArea
            anchors.fill: parent
            anchors.margins: -2
            drag.target: knob
            drag.axis: Drag.XAxis
            drag.minimumX: slider.minPos
            drag.maximumX: slider.maxPos
            drag.threshold: 0
            // The knob follows the pointer from the press on, not from the
            // point where the drag was recognised.
            drag.smoothed: false
            onPressed: {
                slide.stop()
                slider.knobPressed()
            }
            onReleased: {
                if (slider.snapping)
                    knob.x = slider.snapTarget(knob.x)
                slider.valueChangeDelay(knob.x)
            }
        }
    }

    NumberAnimation {
        id: slide
        target: knob
        property: "x"
        duration: 120
        easing.type: Easing.OutQuad
        onFinished: {
            slider.valueChange(knob.x)
            slider.valueChangeDelay(knob.x)
        }
    }
}
