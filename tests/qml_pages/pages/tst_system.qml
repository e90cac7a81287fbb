import QtQuick
import QtTest

MainUnderTest {
    id: host

    TestCase {
        id: test
        name: "SystemSettingsPage"
        when: windowShown

        property var page

        function init() {
            ui_View.setData("mouse/mouseRate", 170)
            ui_View.setData("mouse/doubleRate", 170)
            ui_View.setData("mouse/scrollRate", 3)
            var r = host.started(test)
            r.openSystemPage()
            page = findChild(r, "systemSetting")
            verify(page && page.visible)
            rig.clearPointerCalls()
            rig.clearTrace()
        }

        function knob(slider) {
            return findChild(slider, "knob")
        }

        function dragTo(slider, pos) {
            var from = knob(slider).x + 6
            mousePress(slider, from, 3)
            mouseMove(slider, (from + pos + 6) / 2, 3)
            mouseMove(slider, pos + 6, 3)
            mouseRelease(slider, pos + 6, 3)
        }

        function stored(key) {
            return String(ui_View.getData(key, false))
        }

        // What the desktop cannot store is greyed out with its reason.
        function test_unavailableSettings_data() {
            return [
                { tag: "everything stored", backend: "recording", speed: "", dbl: "", lines: "" },
                { tag: "X server only", backend: "x11", speed: "",
                  dbl: "Needs the desktop's own settings.",
                  lines: "Needs the desktop's own settings." },
                { tag: "nothing", backend: "none", speed: "Not available on this desktop.",
                  dbl: "Not available on this desktop.",
                  lines: "Not available on this desktop." }
            ]
        }
        function test_unavailableSettings(data) {
            rig.setPointerBackend(data.backend)
            page.init(false, false)
            compare(findChild(page, "speedReason").text, data.speed)
            compare(findChild(page, "doubleClickReason").text, data.dbl)
            compare(findChild(page, "scrollLinesReason").text, data.lines)
            compare(page.pointerSlider.enabled, data.speed === "")
            compare(page.doubleSlider.enabled, data.dbl === "")
            compare(page.rowsRadio.enabled, data.lines === "")
            compare(page.linesField.enabled, data.lines === "")
            rig.setPointerBackend("recording")
        }

        // The language drop-down lists the files; a choice is stored and
        // every text follows at once, the tray's too.
        function test_languageChoice() {
            var drop = findChild(page, "languageDropDown")
            compare(page.languages, ["ChineseSimplified", "English", "French"])
            compare(drop.currentText, "English")
            drop.choose(2)
            tryCompare(host.root, "language", "French")
            compare(String(ui_View.getGlobalData("common/language")), "French")
            compare(String(ui_View.getGlobalData("common/languageChosen")), "true")
            compare(host.root.mainLang[4], "Configuration")
            compare(findChild(host.root, "configButton").text, "Configuration")
            compare(page.title, "Paramètres système")
            compare(findChild(host.root, "connectionText").text, "SKELD R772")
            compare(rig.dpiNotification(2), "DPI switch to the 3st segment")
            compare(rig.trayTexts(), ["Afficher", "Quitter (&Q)"])
            findChild(page, "languageDropDown").choose(1)
            tryCompare(host.root, "language", "English")
            compare(findChild(host.root, "configButton").text, "Config")
            compare(rig.dpiNotification(2), "DPI switched to stage 3")
            compare(rig.trayTexts(), ["Show", "Quit (&Q)"])
            ui_View.setGlobalData("common/languageChosen", false)
        }

        function test_storedValuesShown() {
            compare(knob(page.pointerSlider).x, 170)
            compare(knob(page.doubleSlider).x, 170)
            compare(page.rowsRadio.checked, true)
            compare(page.screenRadio.checked, false)
            compare(page.linesField.text, "3")
            compare(rig.pointerCalls(), [])
        }

        function test_scroll_data() {
            return [
                { tag: "one screen", stored: 1000, screen: true },
                { tag: "a hundred rows", stored: 100, screen: false, lines: "100" },
                { tag: "zero shows one row", stored: 0, screen: false, lines: "1" },
                { tag: "5000 is a screen", stored: 5000, screen: true }
            ]
        }
        function test_scroll(data) {
            ui_View.setData("mouse/scrollRate", data.stored)
            page.init(false, false)
            compare(page.screenRadio.checked, data.screen)
            compare(page.rowsRadio.checked, !data.screen)
            if (!data.screen)
                compare(page.linesField.text, data.lines)
            // Shown, not written back, not applied.
            compare(stored("mouse/scrollRate"), String(data.stored))
            compare(rig.pointerCalls(), [])
        }

        function test_pointerSpeed_data() {
            return [
                { tag: "slowest", pos: 3, call: "speed 1" },
                { tag: "step 2", pos: 37, call: "speed 4" },
                { tag: "fastest", pos: 337, call: "speed 20" }
            ]
        }
        function test_pointerSpeed(data) {
            dragTo(page.pointerSlider, data.pos)
            compare(knob(page.pointerSlider).x, data.pos)
            compare(rig.pointerCalls(), [data.call])
            compare(stored("mouse/mouseRate"), String(data.pos))
        }

        function test_doubleClickOnlyStoresAll() {
            page.linesField.text = "7"
            dragTo(page.doubleSlider, 337)
            compare(rig.pointerCalls(), ["doubleClick 200"])
            compare(stored("mouse/doubleRate"), "337")
            compare(stored("mouse/mouseRate"), "170")
            compare(stored("mouse/scrollRate"), "7")
        }

        function test_trackClickApplies() {
            // The knob's centre goes to the click (position 34, step 1); the
            // speed is applied once it is there.
            mouseClick(page.pointerSlider, 40, 3)
            compare(rig.pointerCalls(), [])
            tryVerify(function () { return rig.pointerCalls().length === 1 })
            compare(rig.pointerCalls(), ["speed 2"])
            compare(stored("mouse/mouseRate"), "34")
        }

        function test_emptyLinesFieldBecomesOne() {
            var field = page.linesField
            field.input.forceActiveFocus()
            field.text = ""
            field.input.focus = false
            compare(field.text, "1")
            compare(stored("mouse/scrollRate"), "1")
            compare(rig.pointerCalls(), ["lines 1"])
        }

        function test_radios() {
            mouseClick(page.screenRadio)
            compare(page.screenRadio.checked, true)
            compare(page.rowsRadio.checked, false)
            compare(rig.pointerCalls(), ["lines 1000"])
            compare(stored("mouse/scrollRate"), "1000")
            // Clicking the selected one keeps it selected.
            mouseClick(page.screenRadio)
            compare(page.screenRadio.checked, true)
            rig.clearPointerCalls()
            mouseClick(page.rowsRadio)
            compare(page.rowsRadio.checked, true)
            compare(page.screenRadio.checked, false)
            compare(rig.pointerCalls(), ["lines 3"])
        }

        function test_resetImage() {
            ui_View.setData("mouse/mouseRate", 3)
            ui_View.setData("mouse/scrollRate", 1000)
            page.init(false, false)
            mouseClick(findChild(page, "resetButton"))
            // The defaults of pD.bin: 170, 170, 3 rows; stored and applied.
            compare(knob(page.pointerSlider).x, 170)
            compare(stored("mouse/mouseRate"), "170")
            compare(stored("mouse/scrollRate"), "3")
            compare(rig.pointerCalls(), ["speed 10", "doubleClick 550", "lines 3"])
        }

        function test_badStoredValues() {
            ui_View.setData("mouse/mouseRate", 0)
            ui_View.setData("mouse/doubleRate", 5000)
            ui_View.setData("mouse/scrollRate", "lots")
            page.init(false, false)
            compare(knob(page.pointerSlider).x, 3)
            compare(knob(page.doubleSlider).x, 337)
            compare(page.linesField.text, "3")
            compare(stored("mouse/mouseRate"), "0")
            compare(rig.pointerCalls(), [])
        }

        function test_closeHidesPageAndMask() {
            mouseClick(findChild(page, "closeButton"))
            compare(page.visible, false)
            compare(findChild(host.root, "mask").visible, false)
        }
    }
}
