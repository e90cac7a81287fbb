import QtQuick
import QtTest
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/common"

Item {
    id: top
    width: 600
    height: 500

    DropDownList {
        id: drop
        x: 10
        y: 10
        width: 120
    }
    DropDownSlider {
        id: dropSlider
        x: 200
        y: 10
        width: 110
    }
    Slider {
        id: slider
        x: 10
        y: 400
        width: 96
    }
    CheckBox {
        id: check
        x: 200
        y: 300
        text: "Endness"
    }
    RadioButton {
        id: radio
        x: 200
        y: 340
        text: "Number of Rows"
    }
    NumberField {
        id: number
        x: 400
        y: 300
    }
    NumberField {
        id: other
        x: 400
        y: 340
    }

    SignalSpy { id: activated; target: drop; signalName: "activated" }
    SignalSpy { id: valueSpy; target: dropSlider; signalName: "valueChange" }
    SignalSpy { id: delaySpy; target: slider; signalName: "valueChangeDelay" }
    SignalSpy { id: clickSpy; target: slider; signalName: "clicked" }
    SignalSpy { id: checkSpy; target: check; signalName: "clicked" }
    SignalSpy { id: endSpy; target: number; signalName: "endInputSignal" }
    SignalSpy { id: startSpy; target: number; signalName: "inputSignal" }

    TestCase {
        name: "Controls"
        when: windowShown

        function popup() {
            return findChild(drop, "dropDownPopup")
        }

        function test_dropDownRows_data() {
            return [
                { tag: "four rows", n: 4, rows: 4, ms: 140, scroll: false },
                { tag: "ten rows", n: 10, rows: 10, ms: 80, scroll: false },
                { tag: "twelve rows scroll", n: 12, rows: 10, ms: 80, scroll: true },
                { tag: "a hundred rows", n: 100, rows: 10, ms: 80, scroll: true }
            ]
        }
        function test_dropDownRows(data) {
            var m = []
            for (var i = 0; i < data.n; ++i)
                m.push("Macro_" + i)
            drop.model = m
            drop.currentIndex = 1
            compare(drop.visibleRows, data.rows)
            compare(drop.slideDuration, data.ms)
            mouseClick(drop)
            verify(drop.isOpen)
            tryCompare(popup(), "height", data.rows * 24 + 2)
            compare(findChild(popup(), "dropDownScroll").visible, data.scroll)
            activated.clear()
            // The third row; the choice is reported when the list is shut.
            mouseClick(popup(), 30, 1 + 2 * 24 + 12)
            compare(activated.count, 0)
            tryCompare(activated, "count", 1)
            compare(activated.signalArguments[0][0], 2)
            compare(drop.currentIndex, 2)
            compare(drop.currentText, "Macro_2")
            compare(popup().visible, false)
        }

        function test_dropDownEditRowToggles() {
            drop.model = ["a", "b"]
            mouseClick(drop)
            verify(drop.isOpen)
            mouseClick(drop)
            verify(!drop.isOpen)
            tryCompare(popup(), "visible", false)
            activated.clear()
            wait(200)
            compare(activated.count, 0)
        }

        function test_dropDownEmptyDoesNotOpen() {
            drop.model = []
            drop.open()
            verify(!drop.isOpen)
            compare(drop.currentText, "")
        }

        function test_dropDownSlider() {
            verify(!dropSlider.isOpen)
            mouseClick(dropSlider)
            verify(dropSlider.isOpen)
            // A second click while it slides is ignored.
            mouseClick(dropSlider)
            verify(dropSlider.isOpen)
            wait(250)
            compare(dropSlider.slider.width, 110 - 16)
            dropSlider.setValue(1)
            compare(dropSlider.slider.value, Math.min(Math.floor((94 - 18) * 1) + 4, 94 - 15))
            valueSpy.clear()
            mouseClick(dropSlider.slider, 20, 3)
            tryCompare(valueSpy, "count", 1)
            mouseClick(dropSlider)
            tryCompare(dropSlider, "isOpen", false)
        }

        function test_sliderSnapping() {
            slider.snapping = true
            slider.segment = 4
            slider.setIndex(0)
            compare(slider.value, 3)
            delaySpy.clear()
            clickSpy.clear()
            mouseClick(slider, 60, 3)
            compare(clickSpy.count, 1)
            tryCompare(delaySpy, "count", 1)
            compare(slider.segmentIndex, 3)
            compare(slider.value, 61.5)
            // Dragging the knob snaps on release.
            mousePress(slider, 61.5 + 6, 3)
            mouseMove(slider, 30, 3)
            mouseMove(slider, 20, 3)
            mouseRelease(slider, 20, 3)
            compare(slider.value, 22.5)
            compare(slider.segmentIndex, 1)
            slider.snapping = false
        }

        function test_sliderLimits() {
            slider.setPosition(-50)
            compare(slider.value, 3)
            slider.setPosition(500)
            compare(slider.value, 81)
            slider.setRatio(2)
            compare(slider.value, 81)
            slider.setRatio(0)
            compare(slider.value, 4)
        }

        function test_checkBox() {
            check.checked = false
            checkSpy.clear()
            // The click area reaches six pixels around it.
            mouseClick(check, -4, 2)
            compare(check.checked, true)
            compare(checkSpy.count, 1)
            mouseClick(check)
            compare(check.checked, false)
        }

        function test_radioNeverDeselectsItself() {
            radio.checked = false
            mouseClick(radio)
            compare(radio.checked, true)
            mouseClick(radio)
            compare(radio.checked, true)
        }

        function test_numberField_data() {
            return [
                { tag: "empty becomes 0", typed: "", shown: "0" },
                { tag: "zero stays 0", typed: "0", shown: "0" },
                { tag: "kept", typed: "128", shown: "128" },
                { tag: "above the maximum", typed: "300", shown: "255" }
            ]
        }
        function test_numberField(data) {
            startSpy.clear()
            endSpy.clear()
            number.input.forceActiveFocus()
            compare(startSpy.count, 1)
            number.text = data.typed
            other.input.forceActiveFocus()
            compare(number.text, data.shown)
            compare(endSpy.count, 1)
        }

        function test_numberFieldEnterEnds() {
            number.input.forceActiveFocus()
            endSpy.clear()
            keyClick(Qt.Key_Return)
            compare(number.input.activeFocus, false)
            compare(endSpy.count, 1)
        }
    }
}
