import QtQuick
import QtTest
import "qrc:/modules/qml/basic/PageLogic.js" as Logic

MainUnderTest {
    id: host

    TestCase {
        id: test
        name: "LightPage"
        when: windowShown

        property var page
        readonly property var shippedColors: [255, 0, 0, 255, 128, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255,
            0, 0, 255, 128, 0, 255, 255, 255, 255]

        // The model variant: the bridge reads its flags when it is built.
        function model(colorful, is55328) {
            rig.restart({ "mouse/isColorful": colorful, "mouse/is55328": is55328 })
        }

        function start() {
            host.started(test)
            page = findChild(host.root, "lightControl")
            verify(page)
            rig.clearTrace()
        }

        function init() {
            ui_View.setDataList("mouse/lightValue", [1, 2, 4])
            ui_View.setDataList("mouse/colorValue", shippedColors)
            start()
        }

        function cleanupTestCase() {
            model(true, false)
        }

        function pickEffect(i) {
            var drop = page.effectDropDown
            drop.open()
            drop.choose(i)
            tryCompare(page, "effect", i)
        }

        // Commands of the lighting (colours 10H and 0CH, effect 0DH), in order.
        function lightCommands() {
            return rig.sentCommands().filter(function (c) { return c === "10" || c === "0c" || c === "0d" })
        }

        function test_storedValuesShown() {
            compare(page.effect, 1)
            compare(page.effectDropDown.currentText, "Breath")
            compare(page.speedStep, 2)
            compare(page.brightStep, 4)
            compare(findChild(page, "speedPercent").text, "50%")
            compare(findChild(page, "brightPercent").text, "100%")
            compare(page.colors[1], "#ff8000")
            compare(page.redField.text, "255")
            compare(page.height, 264)
            // Shown only: nothing was sent or stored.
            compare(rig.trace(), [])
        }

        function test_colorfulSaveSendsTwice() {
            page.isSave = true
            host.root.save()
            compare(lightCommands(), ["10", "10", "0d", "10", "10", "0d"])
            var colours = rig.reports("10")
            for (var i = 0; i < colours.length; ++i)
                compare(colours[i][0], 0)
            // Breath at speed step 2, brightness step 4 on an RGB model.
            compare(rig.reports("0d")[0], [1, 255, 5, 0, 0, 0])
            compare(rig.mouseState().led8StageColors, shippedColors)
        }

        function test_simpleModelSave() {
            model(false, false)
            start()
            page.isSave = true
            host.root.save()
            compare(lightCommands(), ["10", "10", "0d", "10", "10"])
            var types = rig.reports("10").map(function (r) { return r[0] })
            compare(types, [0, 0, 1, 1])
            model(true, false)
        }

        function test_static55328ClearsColour8() {
            model(false, true)
            start()
            compare(page.effectDropDown.count, 5)
            compare(page.effectDropDown.model[4], "Breath Loop")
            pickEffect(0)
            host.root.save()
            var stored = ui_View.getDataList("mouse/colorValue", false)
            compare(stored.slice(21, 24), [0, 0, 0])
            compare(stored.slice(0, 3), [255, 0, 0])
            // Colour 8 black: the fixed-colour command with colour 1 only.
            compare(lightCommands().filter(function (c) { return c !== "0d" }), ["0c", "0c"])
            compare(rig.mouseState().fixLedColor, [255, 0, 0])
            // Breath Loop keeps colour 8 and uses the eight-colour command.
            rig.clearTrace()
            pickEffect(4)
            host.root.save()
            compare(ui_View.getDataList("mouse/colorValue", false).slice(21, 24), [255, 255, 255])
            verify(lightCommands().indexOf("10") >= 0)
            model(true, false)
        }

        function test_typedColourMovesTheMarker() {
            pickEffect(3)
            page.redField.input.forceActiveFocus()
            page.redField.text = "0"
            page.greenField.text = "128"
            page.blueField.text = "255"
            page.blueField.input.forceActiveFocus()
            page.blueField.input.focus = false
            compare(page.colors[0], "#0080ff")
            compare(Logic.hueSegment(page.markerPoint(), page.hueWidth), 3)
            compare(page.isSave, true)
            // Tab walks the fields; a value typed and left by a click on
            // Save is taken, not lost.
            page.redField.input.forceActiveFocus()
            keyClick(Qt.Key_Tab)
            verify(page.greenField.input.activeFocus)
            page.greenField.text = "64"
            mouseClick(findChild(host.root, "saveButton"))
            verify(!page.greenField.input.activeFocus)
            compare(page.colors[0], "#0040ff")
            compare(ui_View.getDataList("mouse/colorValue", false).slice(0, 3), [0, 64, 255])
        }

        function test_hueDrag() {
            pickEffect(3)
            page.isSave = false
            var marker = page.hueMarker
            var bar = page.hueBar
            var section = marker.parent
            var y = marker.y + 14
            // Drag the marker's centre to the middle of segment 2 (pure green).
            mousePress(section, marker.x + 9, y)
            mouseMove(section, bar.x + 40, y)
            mouseMove(section, bar.x + 66, y)
            mouseRelease(section, bar.x + 66, y)
            compare(page.markerPoint(), 66)
            compare(page.colors[0], "#00ff00")
            compare(page.greenField.text, "255")
            compare(page.isSave, true)
            // Beyond the bar's end the marker stops at the white tail.
            mousePress(section, marker.x + 9, y)
            mouseMove(section, bar.x + 100, y)
            mouseMove(section, bar.x + 212, y)
            mouseRelease(section, bar.x + 212, y)
            compare(page.markerPoint(), page.hueWidth - 1)
            compare(page.colors[0], "#ffffff")
        }

        function test_effectRows_data() {
            return [
                { tag: "static", effect: 0, speed: false, bright: false, h: 176 },
                { tag: "neon", effect: 2, speed: true, bright: true, h: 264 },
                { tag: "off", effect: 3, speed: true, bright: false, h: 224 },
                { tag: "twinkling", effect: 4, speed: false, bright: true, h: 224 },
                { tag: "wave", effect: 5, speed: false, bright: true, h: 224 }
            ]
        }
        function test_effectRows(data) {
            pickEffect(data.effect)
            compare(page.speedShown, data.speed)
            compare(page.brightShown, data.bright)
            compare(page.height, data.h)
            compare(page.speedStep, 4)
            compare(page.selectedBlock, 0)
            compare(page.isSave, true)
            compare(findChild(page, "colorMask").visible, Logic.colorMaskVisible(data.effect))
        }

        function test_speedSliderSnaps() {
            var slider = page.speedSlider
            // Past the second boundary (and off the knob) goes on to the third.
            mouseClick(slider, 60, 3)
            tryCompare(page, "speedStep", 3)
            compare(findChild(page, "speedPercent").text, "75%")
            compare(slider.value, 61.5)
            compare(page.isSave, true)
        }

        function test_colourBlocksFollowStages() {
            model(false, false)
            ui_View.setData("mouse/dpiCount", 3)
            start()
            pickEffect(3)
            var shown = []
            for (var i = 0; i < 8; ++i)
                shown.push(findChild(page, "colorBlock" + i).visible)
            compare(shown, [true, true, true, false, false, false, false, false])
            ui_View.setData("mouse/dpiCount", 8)
            model(true, false)
        }

        function test_selectBlock() {
            pickEffect(3)
            mouseClick(findChild(page, "colorBlock2"))
            compare(page.selectedBlock, 2)
            compare(page.greenField.text, "255")
            compare(page.blueField.text, "0")
        }

        function test_badStoredValues() {
            ui_View.setDataList("mouse/lightValue", [99, -3, 9])
            ui_View.setDataList("mouse/colorValue", [300, -20, 128, "x"])
            page.init(false, false)
            compare(page.effect, 0)
            compare(page.speedStep, 0)
            compare(page.brightStep, 4)
            compare(page.colors[0], "#ff0080")
            compare(page.colors[1], "#00ff00")
            compare(rig.trace(), [])
            compare(String(rig.profileValue(0, "mouse/lightValue")), "99,-3,9")
        }

        function test_resetLoadsDefaults() {
            pickEffect(0)
            page.isSave = false
            ui_View.setDataList("mouse/colorValue", [1, 2, 3])
            mouseClick(findChild(page, "lightResetButton"))
            compare(page.effect, 1)
            compare(page.colors[0], "#ff0000")
            compare(page.isSave, true)
            compare(rig.trace(), [])
        }
    }
}
