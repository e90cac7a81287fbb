import QtQuick
import QtTest
import "qrc:/modules/qml/basic/PageLogic.js" as Logic

// The DPI and lighting panels: stored values shown, edits stored and sent
// on Save, the stage and lighting bytes the mouse gets, bad stored values.
PageTest {
    name: "DpiAndLight"

    property var dpi
    property var light
    readonly property var shippedColors: [255, 0, 0, 255, 128, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255,
        0, 0, 255, 128, 0, 255, 255, 255, 255]

    function init() {
        // The shipped profile: four of the slots active, range 200..6000.
        ui_View.setData("mouse/dpiCount", 8)
        ui_View.setData("mouse/currentDpiCount", 4)
        ui_View.setDataList("mouse/dpiValueArray", [400, 800, 1600, 3200, 4000, 4800, 5400, 6000])
        ui_View.setDataList("mouse/lightValue", [1, 2, 4])
        ui_View.setDataList("mouse/colorValue", shippedColors)
        started()
        dpi = child("dpiSetting")
        light = child("lightControl")
    }
    // The model variant: the bridge reads its flags when it is built.
    function model(colorful, is55328) {
        rig.restart({ "mouse/isColorful": colorful, "mouse/is55328": is55328 })
        init()
    }
    function slider(k) { return findChild(dpi, "dpiSlider" + k) }
    function knob(k) { return child("knob", slider(k)) }
    function choose(page, name, i, property, value) {
        findChild(page, name).open()
        findChild(page, name).choose(i)
        tryCompare(page, property, value)
    }
    function saved() {
        root.save()
        return ui_View.getDataList("mouse/colorValue", false)
    }
    // Lighting commands (colours 10H and 0CH, effect 0DH), in order.
    function lightCommands() {
        return sentCommands().filter(function (c) { return c === "10" || c === "0c" || c === "0d" })
    }

    function test_dpiStages() {
        // A drag only marks the page unsaved; the knob's centre goes to a click on the track.
        dragTo(slider(1), 82)
        compare([knob(1).x, dpi.stageValues[1], child("dpiLabel1").text, dpi.isSave, reports("11")], [82, 3100, "3100", true, []])
        mouseClick(slider(2), 100, 3)
        tryCompare(dpi, "stageValues", [400, 3100, 3500, 3200, 4000, 4800, 5400, 6000])
        dpi.init(false, false)
        // Three stages: 400, 800, 1600 are sensor codes 3, 7, 15; the rest off.
        choose(dpi, "stageCountDropDown", 2, "currentDpiCount", 3)
        waitForItemPolished(dpi.stageColumn)
        for (var k = 0; k < 3; ++k) {
            // Every active slider fits the panel above its label.
            var top = slider(k).mapToItem(dpi, 176, 3), bottom = slider(k).mapToItem(dpi, 0, 3)
            verify(Math.min(top.y, bottom.y) >= 36 && Math.max(top.y, bottom.y) < child("dpiLabel" + k).mapToItem(dpi, 0, 0).y)
        }
        root.save()
        compare([dpi.isSave, String(ui_View.getData("mouse/currentDpiCount", false)), rig.mouseState().dpiStageCount553,
                 rig.mouseState().dpiCodes553], [false, "3", 3, [3, 7, 15, 0x80, 0x80, 0x80, 0x80, 0x80]])
        // A click on the eighth knob selects stage 8 on the mouse.
        choose(dpi, "stageCountDropDown", 7, "currentDpiCount", 8)
        rig.clearTrace()
        mouseClick(knob(7))
        compare([dpi.currentDPI, reports("0b")], [7, [[8, 0, 0, 0, 0, 0]]])
        // Stages out of range are clamped and shown, not written back or sent.
        ui_View.setDataList("mouse/dpiValueArray", [99999, -50, "x", 3200])
        rig.clearTrace()
        dpi.init(false, false)
        compare([dpi.stageValues.slice(0, 3), knob(0).x, String(ui_View.getDataList("mouse/dpiValueArray", false)), sentCommands()],
                [[6000, 200, 1500], 161, "99999,-50,x,3200", []])
        // A bad slot count is warned about and changes nothing.
        ui_View.setData("mouse/dpiCount", 12)
        ignoreWarning(/config: mouse\/dpiCount/)
        dpi.init(false, false)
        compare(child("stageCountDropDown").count, 8)
    }

    function test_light() {
        compare([light.effect, light.effectDropDown.currentText, light.speedStep, light.brightStep, light.colors[1],
                 light.height, child("speedPercent").text, sentCommands()], [1, "Breath", 2, 4, "#ff8000", 264, "50%", []])
        // Colourful model: colours and effect twice; breath, speed 2, brightness 4.
        light.isSave = true
        saved()
        compare([lightCommands(), reports("10").map(function (r) { return r[0] }), reports("0d")[0]],
                [["10", "10", "0d", "10", "10", "0d"], [0, 0, 0, 0], [1, 255, 5, 0, 0, 0]])
        // The sliders snap: a click past the speed's second boundary to the third step, a drag of the
        // brightness on release to the nearest; the effect resets the speed.
        mouseClick(light.speedSlider, 60, 3)
        dragTo(light.brightSlider, 20)
        tryCompare(light, "speedStep", 3)
        compare([child("speedPercent").text, light.brightStep, child("knob", light.brightSlider).x, light.isSave], ["75%", 1, 22.5, true])
        // Eleven effects: ten rows show, the rest scroll.
        light.effectDropDown.open()
        tryCompare(findChild(light.effectDropDown, "dropDownPopup"), "height", 10 * 24 + 2)
        verify(findChild(light.effectDropDown, "dropDownScroll").visible)
        choose(light, "effectDropDown", 3, "effect", 3)
        compare([light.brightShown, light.height, light.speedStep], [false, 224, 4])
        // A typed colour moves the marker (a field left empty is 0); a value left by a click on Save is
        // taken, above 255 as 255.
        light.redField.input.forceActiveFocus()
        light.redField.text = ""
        light.greenField.text = "128"
        light.blueField.text = "255"
        keyClick(Qt.Key_Tab)
        compare([light.greenField.input.activeFocus, light.colors[0], Logic.hueSegment(light.markerPoint(), light.hueWidth)],
                [true, "#0080ff", 3])
        light.greenField.text = "300"
        mouseClick(child("saveButton"))
        compare([light.colors[0], light.greenField.text, ui_View.getDataList("mouse/colorValue", false).slice(0, 3)],
                ["#00ffff", "255", [0, 255, 255]])
        // Reset loads the defaults, unsent.
        rig.clearTrace()
        mouseClick(child("lightResetButton"))
        compare([light.effect, light.colors[0], light.isSave, sentCommands()], [1, "#ff0000", true, []])
        // Bad stored values are clamped and shown, not written back.
        ui_View.setDataList("mouse/lightValue", [99, -3, 9])
        light.init(false, false)
        compare([light.effect, light.speedStep, String(ui_View.getDataList("mouse/lightValue", false))], [0, 0, "99,-3,9"])
    }

    function test_simpleModels() {
        // The plain model: colours go as two types.
        model(false, false)
        choose(light, "effectDropDown", 3, "effect", 3)
        rig.clearTrace()
        saved()
        compare([lightCommands(), reports("10").map(function (r) { return r[0] })], [["10", "10", "0d", "10", "10"], [0, 0, 1, 1]])
        // 55328, static: colour 8 cleared, the fixed-colour command instead.
        model(false, true)
        choose(light, "effectDropDown", 0, "effect", 0)
        var stored = saved()
        compare([stored.slice(21, 24), lightCommands().filter(function (c) { return c !== "0d" })], [[0, 0, 0], ["0c", "0c"]])
    }
}
