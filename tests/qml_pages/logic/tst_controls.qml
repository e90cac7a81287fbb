import QtQuick
import QtTest
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/common"

// The shared controls on their own.
Item {
    width: 600
    height: 500

    DropDownList { id: drop; x: 10; y: 10; width: 120 }
    DropDownSlider { id: dropSlider; x: 200; y: 10; width: 110 }
    Slider { id: slider; x: 10; y: 400; width: 96 }
    CheckBox { id: check; x: 200; y: 300; text: "Endness" }
    NumberField { id: number; x: 400; y: 300 }
    NumberField { id: other; x: 400; y: 340 }
    SignalSpy { id: valueSpy; target: dropSlider; signalName: "valueChange" }
    SignalSpy { id: delaySpy; target: slider; signalName: "valueChangeDelay" }
    SignalSpy { id: endSpy; target: number; signalName: "endInputSignal" }

    TestCase {
        name: "Controls"
        when: windowShown

        function test_dropDown() {
            // Ten rows show, more scroll; an empty list never opens.
            var popup = findChild(drop, "dropDownPopup")
            drop.model = Array.from({ length: 12 }, function (v, i) { return "Macro_" + i })
            mouseClick(drop)
            tryCompare(popup, "height", 10 * 24 + 2)
            compare(findChild(popup, "dropDownScroll").visible, true)
            drop.close()
            drop.model = []
            drop.open()
            compare([drop.isOpen, drop.currentText], [false, ""])
        }

        function test_sliders() {
            // The knob stays on the track; snapping takes a click to a step, a drag on release.
            slider.setPosition(-50)
            compare(slider.value, 3)
            slider.setPosition(500)
            compare(slider.value, 81)
            slider.snapping = true
            slider.segment = 4
            mouseClick(slider, 60, 3)
            tryCompare(delaySpy, "count", 1)
            compare([slider.segmentIndex, slider.value], [3, 61.5])
            mousePress(slider, 61.5 + 6, 3)
            mouseMove(slider, 30, 3)
            mouseMove(slider, 20, 3)
            mouseRelease(slider, 20, 3)
            compare([slider.segmentIndex, slider.value], [1, 22.5])
            // The drop-down slider ignores a second click while it slides.
            mouseClick(dropSlider)
            mouseClick(dropSlider)
            tryCompare(dropSlider.slider.parent, "height", 24)
            mouseClick(dropSlider.slider, 20, 3)
            tryCompare(valueSpy, "count", 1)
        }

        function test_boxes() {
            // The check box's click area reaches six pixels around it.
            mouseClick(check, -4, 2)
            compare(check.checked, true)
            // A number field ends on leaving or Enter: empty is 0, above 255 is 255.
            ;[["", "0"], ["300", "255"]].forEach(function (t, i) {
                number.input.forceActiveFocus()
                number.text = t[0]
                other.input.forceActiveFocus()
                compare([number.text, endSpy.count], [t[1], 2 * i + 1])
                number.input.forceActiveFocus()
                keyClick(Qt.Key_Return)
                compare([number.input.activeFocus, endSpy.count], [false, 2 * i + 2])
            })
        }
    }
}
