import QtQuick
import QtTest
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/common"

// What the shared controls add on their own: the pages test them in place.
Item {
    width: 600
    height: 500

    DropDownList { id: drop; x: 10; y: 10; width: 120 }
    Slider { id: slider; x: 10; y: 400; width: 96; snapping: true; segment: 4 }
    NumberField { id: number; x: 400; y: 300 }
    NumberField { id: other; x: 400; y: 340 }

    TestCase {
        name: "Controls"
        when: windowShown

        function test_controls() {
            // Ten rows show, more scroll; an empty list never opens.
            var popup = findChild(drop, "dropDownPopup")
            drop.model = Array.from({ length: 12 }, function (v, i) { return "Macro_" + i })
            mouseClick(drop)
            tryCompare(popup, "height", 10 * 24 + 2)
            compare(findChild(popup, "dropDownScroll").visible, true)
            drop.close()
            drop.model = []
            drop.open()
            compare(drop.isOpen, false)
            // A snapping slider takes a drag to its step on release, and stays on the track.
            mousePress(slider, slider.value + 6, 3)
            mouseMove(slider, 30, 3)
            mouseMove(slider, 20, 3)
            mouseRelease(slider, 20, 3)
            compare([slider.segmentIndex, slider.value], [1, 22.5])
            slider.setPosition(500)
            compare(slider.value, 81)
            // A number field ends on leaving: empty is 0, above 255 is 255.
            ;[["", "0"], ["300", "255"]].forEach(function (t) {
                number.input.forceActiveFocus()
                number.text = t[0]
                other.input.forceActiveFocus()
                compare(number.text, t[1])
            })
        }
    }
}
