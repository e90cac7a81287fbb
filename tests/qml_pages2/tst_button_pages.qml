import QtQuick
import QtTest
import skeld.macro
import "qrc:/modules/qml/Q7/KeyLogic.js" as KL

PagesHost {
    id: host

    TestCase {
        name: "ButtonPages"
        when: windowShown

        function init() {
            host.reset()
            verify(testEnv.connected(), "the virtual mouse did not connect")
            failOnWarning(/QML|TypeError|ReferenceError|undefined/)
        }

        function child(name) {
            var c = findChild(host, name)
            verify(c !== null, "no item " + name)
            return c
        }
        // Clicks an item of the pop-up's scrolling area after bringing it into view.
        function clickInPopup(name) {
            var item = child(name)
            var flick = child("assignScroll")
            var p = item.mapToItem(flick.contentItem, 0, 0)
            flick.contentY = Math.max(0, Math.min(p.y - 20, flick.contentHeight - flick.height))
            wait(0)
            mouseClick(item, item.width / 2, item.height / 2)
        }
        // The stored binding of button k in the set the right flag selects.
        function profileBinding(k) {
            return ui_View.mouseGetKeydefine(k, false).map(Number)
        }
        // Both stored sets, so the page reads the value whatever the flag.
        function storeBinding(k, value) {
            ui_View.setDataList("mouseKeyMatrix/" + k, value)
            ui_View.setDataList("mouseKeyMatrix0/" + k, value)
        }
        // Device entry e of the key matrix the mouse now uses.
        function deviceEntry(e) {
            return testEnv.currentKeyMatrix().slice(4 * e, 4 * e + 4)
        }

        function test_onlyLeftClickOpensNothing() {
            mouseClick(child("keyRow0"))
            verify(!host.dlg.visible)
            mouseClick(child("marker0"))
            verify(!host.dlg.visible)
            mouseClick(child("keyRow1"))
            verify(host.dlg.visible)
            compare(host.dlg.keyIndex, 1)
            compare(child("assignTitle").text, "Key 2 : Right Key")
            // A bar tells that more lies below the fold and follows the view.
            var flick = child("assignScroll")
            var bar = child("assignScrollBar")
            var handle = child("assignScrollHandle")
            verify(bar.visible)
            compare(handle.y, 0)
            mouseClick(bar, bar.width / 2, bar.height - 2)
            verify(flick.contentY > 0.95 * (flick.contentHeight - flick.height))
            verify(handle.y + handle.height > bar.height - 2)
            // Without the gun feature its section is not offered.
            verify(child("gunChoice").visible)
            host.dlg.isGun = false
            verify(!child("gunChoice").visible)
            verify(!child("gunSlider").visible)
            compare(flick.contentHeight, 720)
            host.dlg.isGun = true
        }

        function test_secondLeftClickFreesTheFirst() {
            mouseClick(child("keyRow3"))
            clickInPopup("mouseChoice0")
            mouseClick(child("assignClose"))
            compare(host.km.keyCodes[3], [0, 0, 0xF0, 0])
            mouseClick(child("keyRow0"))
            verify(host.dlg.visible)
        }

        function test_selectAllFollowsTheLanguage_data() {
            return [
                { tag: "French", lang: "French", codes: [7, 0, 0xE0, 0x14], device: [0, 0, 0xE0, 0x14] },
                { tag: "English", lang: "English", codes: [7, 0, 0xE0, 0x04], device: [0, 0, 0xE0, 0x04] },
            ]
        }
        function test_selectAllFollowsTheLanguage(d) {
            host.language = d.lang
            mouseClick(child("keyRow3"))
            clickInPopup("shortcutChoice9")
            compare(host.dlg.codes, d.codes)
            mouseClick(child("assignClose"))
            compare(host.km.keyCodes[3], d.codes)
            compare(host.km.bindingTexts[3], "Select All")
            verify(host.km.isSave)
            host.km.saveData(true)
            compare(profileBinding(3), d.codes)
            // Button 4 (index 3) travels to device entry 5.
            compare(deviceEntry(5), d.device)
        }

        function test_closingWithoutChangeKeepsIsSave_data() {
            return [ { tag: "clean", isSave: false }, { tag: "unsaved", isSave: true } ]
        }
        function test_closingWithoutChangeKeepsIsSave(d) {
            host.km.isSave = d.isSave
            mouseClick(child("keyRow3"))
            // Choosing what the button already does is no change either.
            clickInPopup("mouseChoice3")
            mouseClick(child("assignClose"))
            verify(!host.dlg.visible)
            compare(host.km.isSave, d.isSave)
            compare(host.km.keyCodes[3], [0, 0, 0xF4, 0])
        }

        function test_combinationOfCtrlShiftA() {
            mouseClick(child("keyRow4"))
            clickInPopup("comboField")
            compare(host.dlg.captureMode, 1)
            verify(ui_View.keyListening)
            host.dlg.detectKeyboard(true, 0xE0)
            host.dlg.detectKeyboard(true, 0xE1)
            host.dlg.detectKeyboard(false, 0xE1)
            host.dlg.detectKeyboard(true, 0x04)
            compare(host.dlg.comboText, "LCtrl + LShift + A")
            mouseClick(child("comboConfirm"))
            compare(host.dlg.codes, [2, 0x03, 0x04, 0])
            verify(!ui_View.keyListening)
            compare(child("assignTitle").text, "Key 5 : LCtrl+LShift+A")
            mouseClick(child("assignClose"))
            compare(host.km.bindingTexts[4], "LCtrl+LShift+A")
            compare(host.km.keyCodes[4], [2, 0x03, 0x04, 0])
        }

        function test_emptyCombinationOrCancelChangesNothing() {
            mouseClick(child("keyRow4"))
            clickInPopup("comboField")
            mouseClick(child("comboConfirm"))
            compare(host.dlg.comboText, "Click Input")
            clickInPopup("comboField")
            host.dlg.detectKeyboard(true, 0x04)
            mouseClick(child("comboCancel"))
            compare(host.dlg.comboText, "Click Input")
            mouseClick(child("assignClose"))
            compare(host.km.keyCodes[4], [0, 0, 0xF3, 0])
            verify(!host.km.isSave)
        }

        function test_fireKeyCapture() {
            mouseClick(child("keyRow6"))
            clickInPopup("fireKeyField")
            compare(host.dlg.captureMode, 0)
            verify(ui_View.keyListening)
            host.dlg.detectKeyboard(true, 0x05)
            verify(!ui_View.keyListening)
            compare(host.dlg.codes, [1, 0x05, 10, 0])
            compare(host.dlg.fireKeyText, "B")
            compare(host.dlg.captureMode, -1)
            // Times 3 clears "Endness"; ticking it again sets 0.
            host.dlg.timesEntered("3")
            compare(host.dlg.codes, [1, 0x05, 10, 3])
            verify(!child("endlessBox").checked)
            mouseClick(child("endlessBox"))
            compare(host.dlg.codes, [1, 0x05, 10, 0])
            mouseClick(child("assignClose"))
            compare(host.km.bindingTexts[6], "B")
        }

        function test_leftClickCaptureDoesNotRearm() {
            mouseClick(child("keyRow6"))
            clickInPopup("fireKeyField")
            host.dlg.detectMouse(true, 0xF0)
            compare(host.dlg.codes[1], 0xF0)
            compare(host.dlg.fireKeyText, "MS-L")
            // The captured click lands on the field: it only disarms.
            mouseClick(child("fireKeyField"))
            compare(host.dlg.captureMode, -1)
            mouseClick(child("fireKeyField"))
            compare(host.dlg.captureMode, 0)
        }

        function test_ratePositionSetsThePeriod() {
            mouseClick(child("keyRow6"))
            clickInPopup("fireKeyField")
            host.dlg.detectKeyboard(true, 0x04)
            host.dlg.rateChanged(29)
            compare(host.dlg.codes, [1, 0x04, 30, 0])
            compare(child("rateSlider").text, "30MS")
        }

        function test_backRestoresTheDefault() {
            mouseClick(child("keyRow3"))
            clickInPopup("dpiChoice2")
            compare(host.dlg.codes, [5, 0, 3, 0])
            mouseClick(child("assignBack"))
            compare(host.dlg.codes, [0, 0, 0xF4, 0])
            verify(host.km.isSave)
            compare(host.km.keyCodes[3], [0, 0, 0xF4, 0])
        }

        function test_choicesGiveTheirCodes_data() {
            return [
                { tag: "media mute", item: "mediaList", row: 4, codes: [3, 0, 0xE2, 0], text: "Mute" },
                { tag: "dpi loop", item: "dpiChoice2", codes: [5, 0, 3, 0], text: "DPI LOOP" },
                { tag: "sniper", item: "dpiChoice3", codes: [5, 0, 4, 0], text: "Sniper Key" },
                { tag: "my pc", item: "windowsChoice0", codes: [6, 0, 0x94, 1], text: "My PC" },
                { tag: "run", item: "windowsChoice4", codes: [6, 0, 0xE3, 0x15], text: "Run" },
                { tag: "double fire", item: "mouseChoice5", codes: [0, 0xF0, 0x1E, 2], text: "Double Fire" },
                { tag: "disable", item: "mouseChoice6", codes: [0, 0, 0, 0], text: "Disable" },
                { tag: "gun", item: "gunChoice", codes: [0x0B, 0xFF, 4, 5], text: "Gun Function" },
            ]
        }
        function test_choicesGiveTheirCodes(d) {
            mouseClick(child("keyRow5"))
            clickInPopup(d.item)
            if (d.row !== undefined) {
                var rows = child(d.item)
                verify(rows.isOpen)
                rows.choose(d.row)
                tryCompare(rows, "isOpen", false)
            }
            tryCompare(host.dlg, "codes", d.codes)
            mouseClick(child("assignClose"))
            compare(host.km.bindingTexts[5], d.text)
            compare(host.km.keyCodes[5], d.codes)
        }

        function test_macroBindingShowsTheStoredName() {
            ui_View.setData("mouseMacroKey/2", "Fast")
            storeBinding(2, [4, 0, 2, 0])
            host.km.init(false, false)
            compare(host.km.bindingTexts[2], "Fast")
            compare(child("keyRow2").children[1].text, "Fast")
        }

        function test_bindingAMacroSendsItToTheButtonsSlot() {
            host.editor.newMacro()
            host.editor.startRecord()
            host.editor.detectKeyboard(true, 0x04)
            host.editor.detectKeyboard(false, 0x04)
            host.editor.stopRecord()
            mouseClick(child("keyRow3"))
            clickInPopup("runMode1")
            host.dlg.chooseMacro(0)
            compare(host.dlg.codes, [4, 1, 3, 0])
            compare(child("assignTitle").text, "Key 4 : Macro_0")
            verify(!testEnv.macroWritten(4))
            mouseClick(child("assignClose"))
            verify(testEnv.macroWritten(4))
            var expected = MacroCodec.encodeStored(ui_View.loadMacroIni("Macro_0"))
            compare(testEnv.macroSlot(4).slice(0, expected.length), expected)
            compare(String(ui_View.getData("mouseMacroKey/3", false)), "Macro_0")
            compare(host.km.bindingTexts[3], "Macro_0")
            host.km.saveData(true)
            compare(deviceEntry(5), [0x09, 0x01, 0x04, 0x00])
        }

        function test_choosingAnotherMacroIsAChange() {
            host.editor.newMacro()
            host.editor.newMacro()
            mouseClick(child("keyRow3"))
            host.dlg.chooseMacro(0)
            mouseClick(child("assignClose"))
            host.km.isSave = false
            mouseClick(child("keyRow3"))
            host.dlg.chooseMacro(1)
            compare(host.dlg.codes, host.dlg.origCodes)
            mouseClick(child("assignClose"))
            compare(String(ui_View.getData("mouseMacroKey/3", false)), "Macro_1")
            compare(host.km.bindingTexts[3], "Macro_1")
        }

        function test_deletedMacroFreesItsButtons() {
            host.editor.newMacro()
            mouseClick(child("keyRow3"))
            host.dlg.chooseMacro(0)
            mouseClick(child("assignClose"))
            mouseClick(child("keyRow2"))
            host.dlg.chooseMacro(0)
            mouseClick(child("assignClose"))
            host.km.saveData(true)
            // Loaded again, the list's own copy is the macro binding itself.
            host.km.init(false, false)
            host.editor.selectMacro(0)
            host.editor.deleteCurrent()
            compare(host.km.keyCodes[3], [0, 0, 0xF4, 0])
            compare(host.km.keyCodes[2], [0, 0, 0xF2, 0])
            compare(profileBinding(3), [0, 0, 0xF4, 0])
        }

        function test_damagedProfileBindingsKeepThePageUsable() {
            ignoreWarning(/button 3 has no usable binding/)
            ignoreWarning(/button 5 has no usable binding/)
            storeBinding(3, ["x", "y", "z", "w"])
            storeBinding(4, [5, 0])
            ui_View.setData("mouseKeyMatrix/5", 999)
            ui_View.setData("mouseKeyMatrix0/5", 999)
            host.km.init(false, false)
            compare(host.km.keyCodes[3], [0, 0, 0xF4, 0])
            compare(host.km.keyCodes[4], [5, 0, 0, 0])
            compare(host.km.keyCodes[5], [5, 0, 1, 0])
            mouseClick(child("keyRow3"))
            verify(host.dlg.visible)
            mouseClick(child("assignClose"))
            // Nothing was changed, so nothing is written back.
            compare(ui_View.mouseGetKeydefine(3, false), ["x", "y", "z", "w"])
        }

        function test_gunSlotPeriodsGoWithTheKeyMatrix() {
            ui_View.setGlobalData("mouse/selectGun", [2, 0, 5])
            host.gun.init()
            compare(host.gun.selectGun1, 2)
            compare(host.gun.selectGun3, 5)
            compare(host.gun.currentIndex, 2)
            var periods = host.km.gunPeriods()
            compare(periods.length, 3)
            for (var i = 0; i < 3; ++i)
                verify(periods[i] >= 0 && periods[i] === Math.floor(periods[i]))
        }

        function test_gunPageWithoutItsFile() {
            testEnv.removeFile("modules/gun/gunData.bin")
            host.gun.init()
            compare(host.km.gunPeriods(), [0, 0, 0])
            host.km.saveData(true)
            compare(deviceEntry(0), [0x01, 0, 0xF0, 0])
        }

        function test_markersFollowKeyCount() {
            host.picture.keyCount = 5
            verify(child("marker4").visible || child("marker4").parent.visible)
            verify(!child("marker5").parent.visible)
            host.picture.keyCount = 8
            verify(child("marker7").parent.visible)
        }
        function test_languageTextsReachEveryPage_data() {
            return [ { tag: "English" }, { tag: "French" }, { tag: "ChineseSimplified" } ]
        }
        function test_languageTextsReachEveryPage(d) {
            var km = ui_View.getLangStrings("keyMatrix", d.tag)
            var ka = ui_View.getLangStrings("keyAssigment", d.tag)
            var me = ui_View.getLangStrings("macroEditor", d.tag)
            var kc = ui_View.getLangStrings("keyCode", d.tag)
            verify(host.names.loadNames(kc))
            host.km.keyMatrixLang = km
            host.dlg.keyAssigmentLang = ka
            host.km.assignTexts = ka
            host.editor.macroEditorLang = me
            compare(findChild(child("keyRow0"), "keyLabel").text, km[0])
            compare(host.km.bindingTexts[1], ka[4])
            mouseClick(child("keyRow4"))
            compare(child("assignTitle").text, ka[0] + "5 : " + ka[6])
            clickInPopup("comboField")
            host.dlg.detectKeyboard(true, 0xE0)
            host.dlg.detectKeyboard(true, 0x04)
            mouseClick(child("comboConfirm"))
            compare(child("assignTitle").text, ka[0] + "5 : " + kc[120] + "+" + kc[0])
            mouseClick(child("assignClose"))
            compare(child("recordButton").text, me[8])
            compare(child("macroNew").text, me[2])
        }
    }
}
