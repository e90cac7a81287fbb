import QtQuick
import QtTest
import skeld.macro

PagesHost {
    id: host

    TestCase {
        name: "MacroEditor"
        when: windowShown

        property var ed: host.editor

        function init() {
            host.reset()
            failOnWarning(/QML|TypeError|ReferenceError|undefined/)
            ed.centre()
            ed.open()
        }

        function child(name) {
            var c = findChild(host, name)
            verify(c !== null, "no item " + name)
            return c
        }
        function stored(name) {
            return ui_View.loadMacroIni(name)
        }
        function record(list) {
            for (var i = 0; i < list.length; ++i)
                ed.detectKeyboard(list[i][0], list[i][1])
        }
        // n presses and releases of A
        function pairs(n) {
            var out = []
            for (var i = 0; i < n; ++i)
                out.push([true, 0x04], [false, 0x04])
            return out
        }

        function test_newCreatesTheFileAndStoresTheList() {
            mouseClick(child("macroNew"))
            compare(ed.names, ["Macro_0"])
            compare(ed.current, 0)
            compare(stored("Macro_0"), ["1"])
            compare(ui_View.getNameList(0), ["Macro_0", "loaderkestle"])
            compare(host.dlg.macroNames, ["Macro_0"])
            mouseClick(child("macroNew"))
            compare(ui_View.getNameList(0), ["Macro_0", "Macro_1"])
        }

        function test_recordingWithoutDelayStoresPressAndRelease() {
            ed.newMacro()
            mouseClick(child("recordButton"))
            verify(ed.isInputting)
            compare(child("recordButton").text, "Stop Record")
            // Desktop keys reach the pages only while one records.
            verify(ui_View.keyListening)
            record([[true, 0x04]])
            wait(30)
            record([[false, 0x04]])
            mouseClick(child("recordButton"))
            verify(!ed.isInputting)
            verify(!ui_View.keyListening)
            compare(stored("Macro_0"), ["1,A", "2,A", "1"])
        }

        function test_recordingWithDelayStoresTheRoundedDelay() {
            ed.newMacro()
            mouseClick(child("delayBox"))
            verify(child("delayBox").checked)
            ed.startRecord()
            record([[true, 0x04]])
            var t0 = Date.now()
            wait(250)
            record([[false, 0x04]])
            var elapsed = Date.now() - t0
            ed.stopRecord()
            var s = stored("Macro_0")
            compare(s.length, 4)
            compare(s[0], "1,A")
            compare(s[2], "2,A")
            var ms = parseInt(s[1].substring(2))
            compare(s[1].substring(0, 2), "0,")
            compare(ms % 10, 0)
            verify(ms >= 250 && ms <= elapsed, "delay " + ms + " for " + elapsed + " ms")
        }

        function test_closingWhileRecordingSaves() {
            ed.newMacro()
            ed.startRecord()
            record([[true, 0x05], [false, 0x05]])
            mouseClick(child("macroClose"))
            verify(!ed.visible)
            verify(!ed.isInputting)
            compare(stored("Macro_0"), ["1,B", "2,B", "1"])
        }

        function test_limitStopsRecordingAndInserting() {
            ed.newMacro()
            ed.startRecord()
            record(pairs(30))
            record([[true, 0x05]])
            compare(ed.recordCount(["1,A"].concat([])), 6)
            compare(ed.events.length, 61)
            // 126 bytes now: further keys are ignored.
            record([[false, 0x05], [true, 0x06]])
            compare(ed.events.length, 61)
            ed.stopRecord()
            compare(stored("Macro_0").length, 62)
            ed.eventIndex = 10
            for (var row = 1; row <= 5; ++row)
                ed.eventMenuAction(row)
            verify(!ed.isInsertting)
            compare(ed.events.length, 61)
            compare(stored("Macro_0").length, 62)
            // Still room after removing one.
            ed.eventMenuAction(0)
            compare(ed.events.length, 60)
            ed.eventMenuAction(3)
            compare(ed.events.length, 62)
        }

        function test_keyEventsWithoutASelectedMacroAreIgnored() {
            var before = testEnv.allFiles()
            ed.isInputting = true
            ed.isInsertting = true
            record([[true, 0x04], [false, 0x04]])
            ed.detectInput(true, 0x04)
            compare(ed.events.length, 0)
            compare(ed.insertName, "")
            compare(testEnv.allFiles(), before)
            // Start Record with nothing selected says why nothing happens.
            ed.isInputting = false
            ed.isInsertting = false
            compare(child("noMacroHint").visible, false)
            mouseClick(child("recordButton"))
            compare(ed.isInputting, false)
            compare(child("noMacroHint").visible, true)
        }

        // An edit far down the list leaves the view where it was.
        function test_editKeepsTheListPosition() {
            ed.newMacro()
            ed.isInputting = true
            record(pairs(20))
            ed.stopRecord()
            var list = child("eventList")
            list.contentY = list.contentHeight - list.height
            var at = list.contentY
            verify(at > 0)
            ed.eventIndex = 30
            ed.insertDelayHere()
            compare(list.contentY, at)
        }

        // Opened with macros stored, the first one is selected.
        function test_openSelectsTheFirstMacro() {
            ed.visible = false
            ed.newMacro()
            ed.newMacro()
            ed.current = -1
            ed.open()
            compare(ed.current, 0)
            compare(ed.macroSelected, true)
        }

        function test_contextMenuInsertsMouseButtons() {
            ed.newMacro()
            ed.startRecord()
            record([[true, 0x04], [false, 0x04]])
            ed.stopRecord()
            // After the last event: appended.
            ed.eventIndex = 1
            ed.eventMenuAction(3)
            compare(stored("Macro_0"), ["1,A", "2,A", "3,MS-L", "4,MS-L", "1"])
            // After a middle event: right after it.
            ed.eventIndex = 0
            ed.eventMenuAction(4)
            compare(stored("Macro_0").slice(0, 4), ["1,A", "3,MS-M", "4,MS-M", "2,A"])
            ed.eventIndex = 0
            ed.eventMenuAction(5)
            compare(stored("Macro_0").slice(0, 3), ["1,A", "3,MS-R", "4,MS-R"])
        }

        function test_rightClickOpensTheEventMenu() {
            ed.newMacro()
            ed.startRecord()
            record([[true, 0x04], [false, 0x04]])
            ed.stopRecord()
            mouseClick(child("eventRow1"), 20, 10, Qt.RightButton)
            verify(child("eventMenu").visible)
            compare(ed.eventIndex, 1)
            // "Insert Delay": 50 ms before the current event, which it becomes.
            mouseClick(child("eventMenu"), 40, 24 + 12)
            verify(!child("eventMenu").visible)
            compare(stored("Macro_0"), ["1,A", "0,50", "2,A", "1"])
            compare(ed.eventIndex, 1)
        }

        function test_keyInsertBox() {
            ed.newMacro()
            ed.startRecord()
            record([[true, 0x04], [false, 0x04]])
            ed.stopRecord()
            ed.eventIndex = 0
            ed.eventMenuAction(2)
            verify(ed.isInsertting)
            verify(child("insertBox").visible)
            verify(ui_View.keyListening)
            ed.detectInput(true, 0xF0)
            compare(ed.insertName, "")
            ed.detectInput(true, 0x05)
            compare(ed.insertName, "B")
            mouseClick(child("insertOk"))
            verify(!ed.isInsertting)
            verify(!ui_View.keyListening)
            // Not the last event: press and release go before it.
            compare(stored("Macro_0"), ["1,B", "2,B", "1,A", "2,A", "1"])
            // At the last event they are appended.
            ed.eventIndex = 3
            ed.eventMenuAction(2)
            ed.detectInput(true, 0x06)
            ed.confirmInsertKey()
            compare(stored("Macro_0"), ["1,B", "2,B", "1,A", "2,A", "1,C", "2,C", "1"])
        }

        function test_delayEditing_data() {
            return [
                { tag: "number", text: "120", stored: "0,120" },
                { tag: "not a number", text: "", stored: "0,50" },
                { tag: "too long for the device", text: "65535", stored: "0,65535" },
            ]
        }
        function test_delayEditing(d) {
            ed.newMacro()
            ed.startRecord()
            record([[true, 0x04], [false, 0x04]])
            ed.stopRecord()
            ed.eventIndex = 1
            ed.eventMenuAction(1)
            var row = child("eventRow1")
            mouseDoubleClickSequence(row, 100, 12)
            compare(ed.delayRow, 1)
            var input = findChild(row, "delayInput")
            verify(input.activeFocus)
            keySequence("Ctrl+A")
            keyClick(Qt.Key_Delete)
            for (var i = 0; i < d.text.length; ++i)
                keyClick(d.text.charAt(i))
            keyClick(Qt.Key_Return)
            compare(ed.delayRow, -1)
            compare(stored("Macro_0")[1], d.stored)
        }

        function test_repeatField_data() {
            return [
                { tag: "five", text: "5", repeat: "5" },
                { tag: "empty", text: "", repeat: "0" },
                { tag: "zero", text: "0", repeat: "0" },
            ]
        }
        function test_repeatField(d) {
            ed.newMacro()
            ed.repeatEntered(d.text)
            compare(stored("Macro_0"), [d.repeat])
        }

        function test_renaming_data() {
            return [
                { tag: "fresh name", name: "Reload", names: ["Reload", "Macro_1"], file: "Reload" },
                { tag: "existing name", name: "Macro_1", names: ["Macro_0", "Macro_1"], file: "Macro_0" },
                { tag: "own name", name: "Macro_0", names: ["Macro_0", "Macro_1"], file: "Macro_0" },
                { tag: "slash", name: "../Reload", names: ["Macro_0", "Macro_1"], file: "Macro_0" },
                { tag: "blank", name: "  ", names: ["Macro_0", "Macro_1"], file: "Macro_0" },
            ]
        }
        function test_renaming(d) {
            ed.newMacro()
            ed.newMacro()
            var before = testEnv.allFiles()
            mouseDoubleClickSequence(child("macroRow0"), 40, 12)
            compare(ed.renameRow, 0)
            keySequence("Ctrl+A")
            keyClick(Qt.Key_Delete)
            for (var i = 0; i < d.name.length; ++i)
                keyClick(d.name.charAt(i))
            keyClick(Qt.Key_Return)
            compare(ed.names, d.names)
            compare(ui_View.getNameList(0), d.names)
            verify(testEnv.fileExists("modules/macro/" + d.file + ".bin"))
            if (d.file === "Macro_0")
                compare(testEnv.allFiles(), before)
            else
                verify(!testEnv.fileExists("modules/macro/Macro_0.bin"))
        }

        function test_renameOntoAStrayFileIsRefused() {
            ed.newMacro()
            testEnv.writeFile("modules/macro/Stray.bin", "[config]\ntotal=0\nrepeat=1\n")
            verify(!ed.renameMacro(0, "Stray"))
            compare(ed.names, ["Macro_0"])
        }

        function test_hundredMacrosRefuseNewAndImport() {
            var all = []
            for (var i = 0; i < 100; ++i)
                all.push("M" + i)
            ui_View.updataNameList(0, all)
            ed.init()
            compare(ed.names.length, 100)
            var before = testEnv.allFiles()
            mouseClick(child("macroNew"))
            verify(!ed.importMacro())
            compare(ed.names.length, 100)
            compare(ui_View.getNameList(0).length, 100)
            compare(testEnv.allFiles(), before)
        }

        function test_deleteSelectsTheNextAndForgetsTheFile() {
            ed.newMacro()
            ed.newMacro()
            ed.newMacro()
            ed.selectMacro(1)
            var deleted = []
            ed.deleteMacro.connect(function (n) { deleted.push(n) })
            mouseClick(child("macroDelete"))
            // Asked first: Cancel keeps it.
            var confirm = child("macroDeleteConfirm")
            verify(confirm.visible)
            compare(confirm.message, "Delete \"Macro_1\"?")
            mouseClick(findChild(confirm, "cancelButton"))
            compare(deleted, [])
            compare(ed.names, ["Macro_0", "Macro_1", "Macro_2"])
            mouseClick(child("macroDelete"))
            mouseClick(findChild(confirm, "okButton"))
            compare(deleted, ["Macro_1"])
            compare(ed.names, ["Macro_0", "Macro_2"])
            compare(ed.current, 1)
            verify(!testEnv.fileExists("modules/macro/Macro_1.bin"))
            compare(ui_View.getNameList(0), ["Macro_0", "Macro_2"])
            compare(host.dlg.macroNames, ["Macro_0", "Macro_2"])
        }

        function test_fileDeletedBehindTheEditor() {
            ignoreWarning(/the file of macro Macro_0 is gone/)
            ed.newMacro()
            verify(testEnv.removeFile("modules/macro/Macro_0.bin"))
            ed.startRecord()
            record([[true, 0x04], [false, 0x04]])
            ed.stopRecord()
            verify(!testEnv.fileExists("modules/macro/Macro_0.bin"))
            compare(ed.events.length, 2)
            // Selecting it again shows an empty macro; the page stays usable.
            ed.selectMacro(0)
            compare(ed.events.length, 0)
            mouseClick(child("macroNew"))
            compare(ed.names, ["Macro_0", "Macro_1"])
        }

        function test_sendMacroWritesSlotIndexPlusOne_data() {
            return [
                { tag: "index 0", index: 0, slot: 1 },
                { tag: "index 11", index: 11, slot: 12 },
            ]
        }
        function test_sendMacroWritesSlotIndexPlusOne(d) {
            ed.newMacro()
            ed.startRecord()
            record([[true, 0x04], [false, 0x04]])
            ed.stopRecord()
            ed.sendMacro(d.index, "Macro_0")
            verify(testEnv.macroWritten(d.slot))
            var bytes = testEnv.macroSlot(d.slot)
            compare(bytes.length, 128)
            compare(bytes.slice(0, 8), [0, 1, 0x01, 0x04, 0x81, 0x04, 0, 0])
        }

        function test_sendMacroBeyondTheSlotsSendsNothing() {
            ed.newMacro()
            ed.sendMacro(12, "Macro_0")
            for (var s = 1; s <= 12; ++s)
                verify(!testEnv.macroWritten(s))
        }

        function test_encoderAndCounterAreTheSharedOnes() {
            var entries = ["1,A", "0,50", "2,A", "0,30"]
            compare(ed.deCode(entries, 1), [0, 1, 5, 4, 0x81, 4, 0, 0])
            compare(ed.recordCount(entries), 8)
            compare(ed.deCode(["0,50"], 300), [1, 0x2C])
        }
    }
}
