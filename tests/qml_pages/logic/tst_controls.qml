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
    SignalSpy { id: activated; target: drop; signalName: "activated" }
    SignalSpy { id: valueSpy; target: dropSlider; signalName: "valueChange" }
    SignalSpy { id: delaySpy; target: slider; signalName: "valueChangeDelay" }
    SignalSpy { id: endSpy; target: number; signalName: "endInputSignal" }
    SignalSpy { id: startSpy; target: number; signalName: "inputSignal" }

    TestCase {
        name: "Controls"
        when: windowShown

        // Up to ten rows show, more scroll; the choice counts once the list is shut.
        function test_dropDown_data() {
            return [[10, 10, false], [12, 10, true]].map(function (r) { return { tag: r[0] + " rows", n: r[0], rows: r[1], scroll: r[2] } })
        }
        function test_dropDown(d) {
            var popup = findChild(drop, "dropDownPopup")
            drop.model = Array.from({ length: d.n }, function (v, i) { return "Macro_" + i })
            drop.currentIndex = 1
            activated.clear()
            mouseClick(drop)
            tryCompare(popup, "height", d.rows * 24 + 2)
            compare(findChild(popup, "dropDownScroll").visible, d.scroll)
            mouseClick(popup, 30, 1 + 2 * 24 + 12)
            compare(activated.count, 0)
            tryCompare(activated, "count", 1)
            compare([activated.signalArguments[0][0], drop.currentText, popup.visible], [2, "Macro_2", false])
            // The edit row closes it again without a choice; an empty list never opens.
            mouseClick(drop)
            mouseClick(drop)
            tryCompare(popup, "visible", false)
            compare(activated.count, 1)
            drop.model = []
            drop.open()
            compare([drop.isOpen, drop.currentText], [false, ""])
        }

        function test_sliders() {
            // The knob stays on the track; snapping takes a click to a step, a drag on release.
            [["setPosition", -50, 3], ["setPosition", 500, 81], ["setRatio", 2, 81]].forEach(function (l) {
                slider[l[0]](l[1]); compare(slider.value, l[2], l) })
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
            ;[["", "0"], ["128", "128"], ["300", "255"]].forEach(function (t, i) {
                number.input.forceActiveFocus()
                number.text = t[0]
                other.input.forceActiveFocus()
                compare([number.text, startSpy.count, endSpy.count], [t[1], 2 * i + 1, 2 * i + 1])
                number.input.forceActiveFocus()
                keyClick(Qt.Key_Return)
                compare([number.input.activeFocus, endSpy.count], [false, 2 * i + 2])
            })
        }
    }
}
