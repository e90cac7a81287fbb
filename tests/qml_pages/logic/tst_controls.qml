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
    RadioButton { id: radio; x: 200; y: 340; text: "Number of Rows" }
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
            return [{ tag: "4", n: 4, rows: 4, ms: 140, scroll: false }, { tag: "10", n: 10, rows: 10, ms: 80, scroll: false },
                    { tag: "12", n: 12, rows: 10, ms: 80, scroll: true }, { tag: "100", n: 100, rows: 10, ms: 80, scroll: true }]
        }
        function test_dropDown(d) {
            var popup = findChild(drop, "dropDownPopup")
            var m = []
            for (var i = 0; i < d.n; ++i)
                m.push("Macro_" + i)
            drop.model = m
            drop.currentIndex = 1
            compare([drop.visibleRows, drop.slideDuration], [d.rows, d.ms])
            mouseClick(drop)
            verify(drop.isOpen)
            tryCompare(popup, "height", d.rows * 24 + 2)
            compare(findChild(popup, "dropDownScroll").visible, d.scroll)
            activated.clear()
            mouseClick(popup, 30, 1 + 2 * 24 + 12)
            compare(activated.count, 0)
            tryCompare(activated, "count", 1)
            compare([activated.signalArguments[0][0], drop.currentIndex, drop.currentText, popup.visible],
                    [2, 2, "Macro_2", false])
            // The edit row closes it again without a choice; an empty list never opens.
            mouseClick(drop)
            mouseClick(drop)
            tryCompare(popup, "visible", false)
            compare(activated.count, 1)
            drop.model = []
            drop.open()
            verify(!drop.isOpen)
            compare(drop.currentText, "")
        }

        function test_dropDownSlider() {
            mouseClick(dropSlider)
            // A second click while it slides is ignored.
            mouseClick(dropSlider)
            verify(dropSlider.isOpen)
            tryCompare(dropSlider.slider.parent, "height", 24)
            compare(dropSlider.slider.width, 110 - 16)
            dropSlider.setValue(1)
            compare(dropSlider.slider.value, Math.min(Math.floor((94 - 18) * 1) + 4, 94 - 15))
            valueSpy.clear()
            mouseClick(dropSlider.slider, 20, 3)
            tryCompare(valueSpy, "count", 1)
            mouseClick(dropSlider)
            tryCompare(dropSlider, "isOpen", false)
        }

        function test_slider() {
            slider.setPosition(-50)
            compare(slider.value, 3)
            slider.setPosition(500)
            compare(slider.value, 81)
            slider.setRatio(2)
            compare(slider.value, 81)
            slider.setRatio(0)
            compare(slider.value, 4)
            slider.snapping = true
            slider.segment = 4
            slider.setIndex(0)
            compare(slider.value, 3)
            delaySpy.clear()
            mouseClick(slider, 60, 3)
            tryCompare(delaySpy, "count", 1)
            compare([slider.segmentIndex, slider.value], [3, 61.5])
            // Dragging the knob snaps on release.
            mousePress(slider, 61.5 + 6, 3)
            mouseMove(slider, 30, 3)
            mouseMove(slider, 20, 3)
            mouseRelease(slider, 20, 3)
            compare([slider.segmentIndex, slider.value], [1, 22.5])
            slider.snapping = false
        }

        function test_checkAndRadio() {
            // The click area reaches six pixels around the box.
            mouseClick(check, -4, 2)
            compare(check.checked, true)
            mouseClick(check)
            compare(check.checked, false)
            // A radio button never deselects itself.
            mouseClick(radio)
            mouseClick(radio)
            compare(radio.checked, true)
        }

        function test_numberField_data() {
            return [{ tag: "empty", typed: "", shown: "0" }, { tag: "zero", typed: "0", shown: "0" },
                    { tag: "kept", typed: "128", shown: "128" }, { tag: "above", typed: "300", shown: "255" }]
        }
        function test_numberField(d) {
            startSpy.clear()
            endSpy.clear()
            number.input.forceActiveFocus()
            compare(startSpy.count, 1)
            number.text = d.typed
            other.input.forceActiveFocus()
            compare([number.text, endSpy.count], [d.shown, 1])
            // Enter ends the input too.
            number.input.forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare([number.input.activeFocus, endSpy.count], [false, 2])
        }
    }
}
