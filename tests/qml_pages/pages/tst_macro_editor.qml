import QtQuick
import QtTest

// The macro editor inside the main page: what recording, inserting and
// editing store in the macro's file, the list of macros, the mouse's slots.
MainUnderTest {
    id: host

    PageTest {
        name: "MacroEditor"

        property var r
        property var ed

        function init() {
            r = host.started()
            ed = r.assignmentPage() && findChild(r, "macroEditorHook").item
            failOnWarning(/QML|TypeError|ReferenceError|undefined/)
            r.openMacroEditor()
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
        function recordA(n) {
            ed.startRecord()
            keys(pairs(n))
            ed.stopRecord()
        }

        function test_recording() {
            // Without a selected macro key events are ignored and Start Record says why.
            var before = rig.allFiles()
            ed.isInputting = true
            keys(pairs(1))
            ed.isInputting = false
            mouseClick(child("recordButton"))
            compare([ed.events.length, ed.isInputting, child("noMacroHint").visible, rig.allFiles()], [0, false, true, before])
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
            ed.newMacro()
            recordA(1)
            // The event menu: "Insert Delay" puts 50 ms before the event, which it becomes.
            mouseClick(child("eventRow1"), 20, 10, Qt.RightButton)
            mouseClick(child("eventMenu"), 40, 24 + 12)
            compare([child("eventMenu").visible, macro(), ed.eventIndex], [false, ["1,A", "0,50", "2,A", "1"], 1])
            // A delay typed in: a number, then nothing (refused).
            ;[["120", "0,120"], ["", "0,120"]].forEach(function (d) {
                mouseDoubleClickSequence(child("eventRow1"), 100, 12)
                verify(findChild(child("eventRow1"), "delayInput").activeFocus)
                typeInto(d[0])
                compare([ed.delayRow, macro()[1]], [-1, d[1]])
            })
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
            // At 126 bytes further keys, inserts and mouse buttons are refused.
            ed.newMacro()
            ed.startRecord()
            keys(pairs(30).concat([[true, 0x05], [false, 0x05], [true, 0x06]]))
            ed.stopRecord()
            ed.eventIndex = 10
            for (var row = 1; row <= 5; ++row)
                ed.eventMenuAction(row)
            compare([ed.isInsertting, ed.events.length, macro("Macro_1").length], [false, 61, 62])
            // Room again after removing one; an edit far down the list leaves the view where it was.
            ed.eventMenuAction(0)
            var list = child("eventList")
            list.contentY = list.contentHeight - list.height
            var at = list.contentY
            ed.eventIndex = 30
            ed.insertDelayHere()
            compare([list.contentY, ed.events.length], [at, 61])
        }

        function test_listAndSlots() {
            ed.newMacro()
            ed.newMacro()
            // A path-like name is refused and nothing is written; a free one renames the file.
            var before = rig.allFiles()
            mouseDoubleClickSequence(child("macroRow0"), 40, 12)
            typeInto("../Reload")
            compare([ed.names, rig.allFiles()], [["Macro_0", "Macro_1"], before])
            mouseDoubleClickSequence(child("macroRow0"), 40, 12)
            typeInto("Reload")
            compare([ed.names, ui_View.getNameList(0)], [["Reload", "Macro_1"], ["Reload", "Macro_1"]])
            verify(rig.allFiles().indexOf("modules/macro/Reload.bin") >= 0 && rig.allFiles().indexOf("modules/macro/Macro_0.bin") < 0)
            // Sent to slot index + 1; beyond the twelve slots nothing goes out.
            ed.selectMacro(0)
            recordA(1)
            ed.sendMacro(12, "Reload")
            compare(rig.mouseState().macroWritten.indexOf(true), -1)
            ed.sendMacro(11, "Reload")
            var bytes = rig.mouseState().macros[11]
            compare([rig.mouseState().macroWritten[11], bytes.length, bytes.slice(0, 8)], [true, 128, [0, 1, 0x01, 0x04, 0x81, 0x04, 0, 0]])
            // Delete asks, then selects the next and forgets the file.
            mouseClick(child("macroDelete"))
            var confirm = child("macroDeleteConfirm")
            compare([confirm.visible, confirm.message], [true, "Delete \"Reload\"?"])
            mouseClick(findChild(confirm, "cancelButton"))
            ed.selectMacro(1)
            mouseClick(child("macroDelete"))
            mouseClick(findChild(confirm, "okButton"))
            compare([ed.names, ed.current, ui_View.getNameList(0), rig.allFiles().indexOf("modules/macro/Macro_1.bin")],
                    [["Reload"], 0, ["Reload", "loaderkestle"], -1])
            // A file deleted behind the editor: recording keeps the page usable.
            ignoreWarning(/the file of macro Reload is gone/)
            verify(rig.removeFile("modules/macro/Reload.bin"))
            recordA(1)
            compare([ed.events.length, rig.allFiles().indexOf("modules/macro/Reload.bin")], [2, -1])
            // A hundred macros: New and import refuse, nothing is written.
            ui_View.updataNameList(0, Array.from({ length: 100 }, function (v, i) { return "M" + i }))
            ed.init()
            before = rig.allFiles()
            mouseClick(child("macroNew"))
            verify(!ed.importMacro())
            compare([ed.names.length, rig.allFiles()], [100, before])
            ui_View.updataNameList(0, ["Macro_0", "loaderkestle"])
            ed.init()
        }
    }
}
