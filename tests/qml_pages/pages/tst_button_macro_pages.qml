import QtQuick
import QtTest
import skeld.macro

// The button list, the assignment pop-up and the macro editor inside the main
// page: bindings as stored and as the mouse gets them, macros in their files
// and in the mouse's slots, the main page's bookkeeping between them.
MainUnderTest {
    id: host

    PageTest {
        name: "ButtonAndMacroPages"

        property var r
        property var km
        property var dlg
        property var ed

        function init() {
            r = host.started()
            km = findChild(r, "keyMatrixHook").item
            dlg = r.assignmentPage()
            ed = findChild(r, "macroEditorHook").item
            failOnWarning(/QML|TypeError|ReferenceError|undefined/)
        }
        function cleanup() { r.closePopups() }
        // Clicks an item of the pop-up's scrolling area after bringing it into view.
        function clickIn(name) {
            var item = child(name), flick = child("assignScroll")
            flick.contentY = Math.max(0, Math.min(item.mapToItem(flick.contentItem, 0, 0).y - 20, flick.contentHeight - flick.height))
            mouseClick(item, item.width / 2, item.height / 2)
        }
        function assign(button, name) {
            mouseClick(child("keyRow" + button))
            if (name)
                clickIn(name)
        }
        function close() { mouseClick(child("assignClose")) }
        // Assigns and closes; the button's codes and text.
        function pick(button, name) {
            assign(button, name)
            close()
            return [km.keyCodes[button], km.bindingTexts[button]]
        }
        function storeBinding(k, value) {
            ui_View.setDataList("mouseKeyMatrix/" + k, value)
            ui_View.setDataList("mouseKeyMatrix0/" + k, value)
        }
        // Device entry e of the key matrix the mouse now uses.
        function deviceEntry(e) { return rig.mouseState().keyMatrix.slice(4 * e, 4 * e + 4) }
        function record(code) {
            ed.startRecord()
            keys([[true, code], [false, code]])
            ed.stopRecord()
            return MacroCodec.encodeStored(ui_View.loadMacroIni("Macro_0"))
        }

        function test_assignment() {
            // The only left click opens nothing; another button opens the pop-up.
            assign(0)
            verify(!dlg.visible)
            assign(1)
            compare([dlg.visible, dlg.keyIndex, child("assignTitle").text], [true, 1, "Key 2 : Right Key"])
            // Without the gun feature its section is not offered.
            dlg.isGun = false
            compare([child("gunChoice").visible, child("gunSlider").visible], [false, false])
            dlg.isGun = true
            close()
            // Choosing what the button does is no change: an unsaved list stays unsaved, a clean one clean.
            ;[true, false].forEach(function (unsaved) {
                km.isSave = unsaved
                compare([pick(3, "mouseChoice3")[0], km.isSave], [[0, 0, 0xF4, 0], unsaved])
            })
            // A second left click frees the first.
            pick(3, "mouseChoice0")
            assign(0)
            compare(dlg.visible, true)
            close()
            // Every kind of choice gives its codes and its text.
            ;[["dpiChoice3", [5, 0, 4, 0], "Sniper Key"], ["windowsChoice4", [6, 0, 0xE3, 0x15], "Run"],
              ["mouseChoice5", [0, 0xF0, 0x1E, 2], "Double Fire"], ["mouseChoice6", [0, 0, 0, 0], "Disable"],
              ["gunChoice", [0x0B, 0xFF, 4, 5], "Gun Function"], ["shortcutChoice9", [7, 0, 0xE0, 0x04], "Select All"]].forEach(function (c) { compare(pick(5, c[0]), c.slice(1), c[0]) })
            // Back restores the default.
            assign(3, "dpiChoice2")
            mouseClick(child("assignBack"))
            close()
            compare(km.keyCodes[3], [0, 0, 0xF4, 0])
            // Select All on a French keyboard; button 4 travels to device entry 5.
            r.language = "French"
            pick(3, "shortcutChoice9")
            r.save()
            compare([km.keyCodes[3], km.bindingTexts[3], ui_View.mouseGetKeydefine(3, false).map(Number), deviceEntry(5), km.isSave],
                    [[7, 0, 0xE0, 0x14], "Select All", [7, 0, 0xE0, 0x14], [0, 0, 0xE0, 0x14], false])
        }

        function test_capture() {
            // A combination: modifiers and a key, only while capturing; cancelled or empty, nothing changes.
            assign(4, "comboField")
            compare([dlg.captureMode, ui_View.keyListening], [1, true])
            keys([[true, 0xE0], [true, 0xE1], [false, 0xE1], [true, 0x04]])
            compare(dlg.comboText, "LCtrl + LShift + A")
            mouseClick(child("comboConfirm"))
            compare([dlg.codes, ui_View.keyListening, child("assignTitle").text], [[2, 0x03, 0x04, 0], false, "Key 5 : LCtrl+LShift+A"])
            clickIn("comboField")
            keys([[true, 0x05]])
            mouseClick(child("comboCancel"))
            clickIn("comboField")
            mouseClick(child("comboConfirm"))
            close()
            compare([km.keyCodes[4], km.bindingTexts[4]], [[2, 0x03, 0x04, 0], "LCtrl+LShift+A"])
            // A fire key: period from the rate slider, times (3 clears "Endness", ticking it sets 0).
            assign(6, "fireKeyField")
            keys([[true, 0x05]])
            compare([dlg.codes, dlg.fireKeyText, dlg.captureMode, ui_View.keyListening], [[1, 0x05, 10, 0], "B", -1, false])
            dlg.rateChanged(29)
            dlg.timesEntered("3")
            compare([dlg.codes, child("rateSlider").text, child("endlessBox").checked], [[1, 0x05, 30, 3], "30MS", false])
            mouseClick(child("endlessBox"))
            compare(dlg.codes, [1, 0x05, 30, 0])
            // The captured left click lands on the field: it only disarms; the next click arms again.
            clickIn("fireKeyField")
            r.detectMouse(true, 0xF0, 0, 0)
            mouseClick(child("fireKeyField"))
            compare([dlg.codes[1], dlg.fireKeyText, dlg.captureMode], [0xF0, "MS-L", -1])
            mouseClick(child("fireKeyField"))
            compare(dlg.captureMode, 0)
            close()
            compare(km.bindingTexts[6], "MS-L")
        }

        function test_storedBindings() {
            // Damaged bindings keep the page usable and are not written back unchanged.
            ignoreWarning(/button 3 has no usable binding/)
            ignoreWarning(/button 5 has no usable binding/)
            storeBinding(3, ["x", "y", "z", "w"])
            storeBinding(4, [5, 0])
            ui_View.setData("mouseKeyMatrix/5", 999)
            ui_View.setData("mouseKeyMatrix0/5", 999)
            ui_View.setData("mouseMacroKey/2", "Fast")
            storeBinding(2, [4, 0, 2, 0])
            var before = km.keyCodes.slice()
            km.init(false, false)
            pick(3)
            compare([km.keyCodes[3], km.keyCodes[4], km.keyCodes[5], km.bindingTexts[2], child("keyRow2").children[1].text,
                     ui_View.mouseGetKeydefine(3, false)], [before[3], [5, 0, 0, 0], before[5], "Fast", "Fast", ["x", "y", "z", "w"]])
            // "run" reads the list again.
            storeBinding(3, [0, 0, 0xF2, 0])
            r.run()
            tryCompare(km, "keyCodes", km.keyCodes.slice(0, 3).concat([[0, 0, 0xF2, 0]], km.keyCodes.slice(4)))
            // Gun slots: periods go with the key matrix; without the gun file they are 0.
            ui_View.setGlobalData("mouse/selectGun", [2, 0, 5])
            rig.removeFile("modules/gun/gunData.bin")
            r.gunPage().init()
            km.saveData(true)
            compare([km.gunPeriods(), deviceEntry(0)], [[0, 0, 0], [0x01, 0, 0xF0, 0]])
        }

        function test_macroBindings() {
            // A recorded macro bound to button 4 goes to its slot on closing the pop-up.
            ed.newMacro()
            var expected = record(0x04)
            assign(3, "runMode1")
            dlg.chooseMacro(0)
            compare([dlg.codes, child("assignTitle").text, rig.mouseState().macroWritten[3]], [[4, 1, 3, 0], "Key 4 : Macro_0", false])
            close()
            r.save()
            compare([rig.mouseState().macros[3].slice(0, expected.length), String(ui_View.getData("mouseMacroKey/3", false)),
                     km.bindingTexts[3], deviceEntry(5)], [expected, "Macro_0", "Macro_0", [0x09, 0x01, 0x04, 0x00]])
            // A changed macro is sent again to every slot it is bound to; renamed, the bound buttons follow.
            assign(2)
            dlg.chooseMacro(0)
            close()
            ed.open()
            ed.selectMacro(0)
            expected = record(0x05)
            compare([rig.mouseState().macros[3].slice(0, expected.length), rig.mouseState().macros[2].slice(0, expected.length)],
                    [expected, expected])
            verify(ed.renameMacro(0, "Burst"))
            compare([String(ui_View.getData("mouseMacroKey/3", false)), km.bindingTexts[2], km.bindingTexts[3]], ["Burst", "Burst", "Burst"])
            // Another macro on the same button is a change.
            ed.newMacro()
            r.closePopups()
            assign(3)
            dlg.chooseMacro(1)
            close()
            compare([String(ui_View.getData("mouseMacroKey/3", false)), km.bindingTexts[3]], ["Macro_0", "Macro_0"])
            r.save()
            // Deleted: its buttons get their defaults back, in the profile too.
            km.init(false, false)
            ed.selectMacro(0)
            ed.deleteCurrent()
            compare([km.keyCodes[2], km.keyCodes[3], ui_View.mouseGetKeydefine(2, false).map(Number)], [[0, 0, 0xF2, 0], [4, 1, 3, 0], [0, 0, 0xF2, 0]])
        }
    }
}
