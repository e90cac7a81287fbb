import QtQuick
import QtTest
import skeld.macro

// The button list, the assignment pop-up and the macro editor inside the main
// page: bindings as stored and as the mouse gets them, what recording and
// editing store in the macro's file, the mouse's slots, the bookkeeping
// between them.
PageTest {
    name: "ButtonAndMacroPages"

    property var r
    property var km
    property var dlg
    property var ed

    function init() {
        r = started()
        km = findChild(r, "keyMatrixHook").item
        dlg = r.assignmentPage()
        ed = findChild(r, "macroEditorHook").item
        failOnWarning(/QML|TypeError|ReferenceError|undefined/)
    }
    function cleanup() {
        // The next test starts without macros.
        while (ed.names.length > 0) {
            ed.selectMacro(0)
            ed.deleteCurrent()
        }
        r.closePopups()
    }
    function macro(name) { return ui_View.loadMacroIni(name || "Macro_0") }
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
    // Records a key press and release into the selected macro; its bytes as the mouse gets them.
    function record(code) {
        ed.startRecord()
        keys([[true, code], [false, code]])
        ed.stopRecord()
        return MacroCodec.encodeStored(macro())
    }

    function test_assignment() {
        // The only left click opens nothing; another button opens the pop-up.
        assign(0)
        verify(!dlg.visible)
        assign(1)
        compare([dlg.visible, dlg.keyIndex, child("assignTitle").text], [true, 1, "Key 2 : Right Key"])
        close()
        // Choosing what the button does is no change: an unsaved list stays unsaved, a clean one clean.
        ;[true, false].forEach(function (unsaved) {
            km.isSave = unsaved
            compare([pick(3, "mouseChoice3")[0], km.isSave], [[0, 0, 0xF4, 0], unsaved])
        })
        // Every kind of choice gives its codes and its text (the gun's only with the gun feature).
        dlg.isGun = true
        ;[["dpiChoice3", [5, 0, 4, 0], "Sniper Key"], ["windowsChoice4", [6, 0, 0xE3, 0x15], "Run"],
          ["mouseChoice5", [0, 0xF0, 0x1E, 2], "Double Fire"], ["mouseChoice6", [0, 0, 0, 0], "Disable"],
          ["gunChoice", [0x0B, 0xFF, 4, 5], "Gun Function"], ["shortcutChoice9", [7, 0, 0xE0, 0x04], "Select All"]].forEach(function (c) { compare(pick(5, c[0]), c.slice(1), c[0]) })
        // Back restores the default.
        assign(3, "dpiChoice2")
        mouseClick(child("assignBack"))
        close()
        compare(km.keyCodes[3], [0, 0, 0xF4, 0])
    }

    function test_capture() {
        // A combination: modifiers and a key, only while capturing; confirmed empty, nothing changes.
        assign(4, "comboField")
        compare([dlg.captureMode, ui_View.keyListening], [1, true])
        keys([[true, 0xE0], [true, 0xE1], [false, 0xE1], [true, 0x04]])
        mouseClick(child("comboConfirm"))
        compare([dlg.codes, ui_View.keyListening, child("assignTitle").text], [[2, 0x03, 0x04, 0], false, "Key 5 : LCtrl+LShift+A"])
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
        // A damaged binding keeps what the page shows and is not written back; "run" reads the list again.
        ignoreWarning(/button 3 has no usable binding/)
        storeBinding(3, ["x", "y", "z", "w"])
        var before = km.keyCodes.slice()
        km.init(false, false)
        pick(3)
        compare([km.keyCodes[3], ui_View.mouseGetKeydefine(3, false)], [before[3], ["x", "y", "z", "w"]])
        storeBinding(3, [0, 0, 0xF2, 0])
        r.run()
        tryCompare(km, "keyCodes", km.keyCodes.slice(0, 3).concat([[0, 0, 0xF2, 0]], km.keyCodes.slice(4)))
    }

    function test_macroBindings() {
        // A recorded macro bound to button 4 goes to its slot on closing the pop-up; Save puts the button in device entry 5.
        ed.newMacro()
        var expected = record(0x04)
        assign(3, "runMode1")
        dlg.chooseMacro(0)
        compare([dlg.codes, child("assignTitle").text, rig.mouseState().macroWritten[3]], [[4, 1, 3, 0], "Key 4 : Macro_0", false])
        close()
        r.save()
        compare([rig.mouseState().macros[3].slice(0, expected.length), String(ui_View.getData("mouseMacroKey/3", false)),
                 km.bindingTexts[3], rig.mouseState().keyMatrix.slice(20, 24)], [expected, "Macro_0", "Macro_0", [0x09, 0x01, 0x04, 0x00]])
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
    }

    function test_recording() {
        r.openMacroEditor()
        // Without a selected macro Start Record says why and makes no macro.
        mouseClick(child("recordButton"))
        compare([ed.isInputting, child("noMacroHint").visible, ed.names, macro()], [false, true, [], []])
        // New creates the file and stores the list; without the delay box: press and release.
        mouseClick(child("macroNew"))
        compare([ed.names, macro(), ui_View.getNameList(0), findChild(r, "keyAssigmentHook").item.macroNames],
                [["Macro_0"], ["1"], ["Macro_0", "loaderkestle"], ["Macro_0"]])
        mouseClick(child("recordButton"))
        compare([ed.isInputting, ui_View.keyListening], [true, true])
        keys(pairs(1))
        mouseClick(child("recordButton"))
        compare([ed.isInputting, ui_View.keyListening, macro()], [false, false, ["1,A", "2,A", "1"]])
        // With it: the time between, in 10 ms steps.
        mouseClick(child("macroNew"))
        mouseClick(child("delayBox"))
        ed.startRecord()
        keys([[true, 0x04]])
        var t0 = Date.now()
        wait(60)
        keys([[false, 0x04]])
        var elapsed = Date.now() - t0
        ed.stopRecord()
        var s = macro("Macro_1"), ms = parseInt(s[1].substring(2))
        compare([s.length, s[0], s[1].substring(0, 2), s[2], ms % 10], [4, "1,A", "0,", "2,A", 0])
        verify(ms >= 60 && ms <= elapsed, "delay " + ms + " for " + elapsed + " ms")
        mouseClick(child("delayBox"))
        // Closing while recording saves; opened again, the first macro is selected.
        ed.selectMacro(0)
        ed.startRecord()
        keys([[true, 0x05], [false, 0x05]])
        mouseClick(child("macroClose"))
        compare([ed.visible, ed.isInputting, macro()], [false, false, ["1,B", "2,B", "1"]])
        ed.current = -1
        r.openMacroEditor()
        compare([ed.current, ed.macroSelected], [0, true])
    }

    function test_editing() {
        r.openMacroEditor()
        ed.newMacro()
        record(0x04)
        // The event menu: "Insert Delay" puts 50 ms before the event, which it becomes.
        mouseClick(child("eventRow1"), 20, 10, Qt.RightButton)
        mouseClick(child("eventMenu"), 40, 24 + 12)
        compare([child("eventMenu").visible, macro(), ed.eventIndex], [false, ["1,A", "0,50", "2,A", "1"], 1])
        // A delay typed in place.
        mouseDoubleClickSequence(child("eventRow1"), 100, 12)
        verify(findChild(child("eventRow1"), "delayInput").activeFocus)
        typeInto("120")
        compare([ed.delayRow, macro()[1]], [-1, "0,120"])
        ed.eventMenuAction(0)
        // Mouse buttons go after the current event; the key insert box takes a key, not a mouse button.
        ed.eventIndex = 0
        ed.eventMenuAction(3)
        ed.eventIndex = 0
        ed.eventMenuAction(2)
        verify(ed.isInsertting && child("insertBox").visible && ui_View.keyListening)
        keys([[true, 0xF0]])
        compare(ed.insertName, "")
        keys([[true, 0x05]])
        mouseClick(child("insertOk"))
        compare([ed.isInsertting, ui_View.keyListening, macro()], [false, false, ["1,B", "2,B", "1,A", "3,MS-L", "4,MS-L", "2,A", "1"]])
        // An edit far down a long list leaves the view where it was.
        ed.newMacro()
        ed.startRecord()
        keys(pairs(30))
        ed.stopRecord()
        var list = child("eventList")
        list.contentY = list.contentHeight - list.height
        var at = list.contentY
        ed.eventIndex = 30
        ed.insertDelayHere()
        compare([list.contentY, ed.events.length], [at, 61])
    }

    function test_listAndSlots() {
        r.openMacroEditor()
        ed.newMacro()
        ed.newMacro()
        // Renamed in place (the store's own tests hold the refused names).
        mouseDoubleClickSequence(child("macroRow0"), 40, 12)
        typeInto("Reload")
        compare([ed.names, ui_View.getNameList(0)], [["Reload", "Macro_1"], ["Reload", "Macro_1"]])
        // Delete asks, then selects the next and forgets the file.
        ed.selectMacro(1)
        mouseClick(child("macroDelete"))
        var confirm = child("macroDeleteConfirm")
        compare([confirm.visible, confirm.message], [true, "Delete \"Macro_1\"?"])
        mouseClick(findChild(confirm, "okButton"))
        compare([ed.names, ed.current, ui_View.getNameList(0), macro("Macro_1")], [["Reload"], 0, ["Reload", "loaderkestle"], []])
        // A file deleted behind the editor: recording keeps the page usable.
        ignoreWarning(/the file of macro Reload is gone/)
        verify(rig.removeFile("modules/macro/Reload.bin"))
        record(0x04)
        compare([ed.events.length, macro("Reload")], [2, []])
        // A hundred macros: New and import refuse, no file is made.
        ui_View.updataNameList(0, Array.from({ length: 100 }, function (v, i) { return "M" + i }))
        ed.init()
        compare([ed.newMacro(), ed.importMacro(), ed.names.length, macro("Macro_0")], [false, false, 100, []])
        ui_View.updataNameList(0, ["Macro_0", "loaderkestle"])
        ed.init()
    }
}
