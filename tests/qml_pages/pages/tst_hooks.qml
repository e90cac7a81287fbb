import QtQuick
import QtTest

// The main page's side of the pages that plug into its hooks (button list,
// mouse picture, assignment dialog, macro editor): its bookkeeping when a
// macro is deleted, renamed or changed, key routing, and the button wiring.
MainUnderTest {
    id: host

    TestCase {
        id: test
        name: "Hooks"
        when: windowShown

        property var keys
        property var macros
        property var assign
        property var picture

        readonly property var loaded: [[0, 0, 0xF0, 0], [0, 0, 0xF1, 0], [0, 0, 0xF2, 0], [0, 0, 0xF4, 0],
            [0, 0, 0xF3, 0], [5, 0, 1, 0], [5, 0, 2, 0], [0, 0xF0, 0x1E, 2]]

        function init() {
            var r = host.fresh()
            findChild(r, "keyMatrixHook").source = Qt.resolvedUrl("FakeKeyMatrix.qml")
            findChild(r, "macroEditorHook").source = Qt.resolvedUrl("FakeMacroEditor.qml")
            findChild(r, "keyAssigmentHook").source = Qt.resolvedUrl("FakeKeyAssigment.qml")
            findChild(r, "mouseHook").source = Qt.resolvedUrl("FakeMouse.qml")
            r.assignmentPage()
            keys = findChild(r, "keyMatrixHook").item
            macros = findChild(r, "macroEditorHook").item
            assign = findChild(r, "keyAssigmentHook").item
            picture = findChild(r, "mouseHook").item
            r.initUI()
            r.setProtectUI(0)
            // Buttons 3 and 6 play macro M1 (numbers 2 and 5), button 7 M2.
            var now = loaded.slice()
            now[2] = [4, 0, 2, 0]
            now[5] = [4, 1, 5, 0]
            now[6] = [4, 0, 6, 0]
            keys.loadedKeyCodes = loaded
            keys.keyCodes = now
            keys.texts = ["", "", "M1", "", "", "M1", "M2", ""]
            keys.calls = []
            macros.calls = []
            assign.calls = []
            ui_View.setData("mouseMacroKey/2", "M1")
            ui_View.setData("mouseMacroKey/5", "M1")
            ui_View.setData("mouseMacroKey/6", "M2")
            rig.clearTrace()
        }

        function test_startInitialisesThePages() {
            var r = host.fresh()
            findChild(r, "keyMatrixHook").source = Qt.resolvedUrl("FakeKeyMatrix.qml")
            findChild(r, "macroEditorHook").source = Qt.resolvedUrl("FakeMacroEditor.qml")
            findChild(r, "keyAssigmentHook").source = Qt.resolvedUrl("FakeKeyAssigment.qml")
            var k = findChild(r, "keyMatrixHook").item
            r.initUI()
            compare(k.calls, ["init false false", "init false false"])
            // The pop-ups are made, and initialised, when first opened.
            compare(findChild(r, "macroEditorHook").item, null)
            compare(findChild(r, "keyAssigmentHook").item, null)
            r.assignmentPage()
            compare(findChild(r, "macroEditorHook").item.calls, ["init"])
            compare(findChild(r, "keyAssigmentHook").item.calls, ["init"])
            // The texts reach them.
            compare(k.keyMatrixLang[1], "Key Function")
            verify(findChild(r, "macroEditorHook").item.macroEditorLang.length >= 18)
            // A later call only re-reads the button list.
            r.initUI()
            compare(k.calls.length, 3)
            compare(findChild(r, "macroEditorHook").item.calls, ["init"])
        }

        function test_deleteMacroRestoresItsButtons() {
            // Stored the same way, so the profile's side can be checked too.
            ui_View.setDataList("mouseKeyMatrix/2", [4, 0, 2, 0])
            ui_View.setDataList("mouseKeyMatrix/5", [4, 1, 5, 0])
            macros.deleteMacro("M1")
            compare(keys.keyCodes[2], loaded[2])
            compare(keys.keyCodes[5], loaded[5])
            compare(keys.keyCodes[6], [4, 0, 6, 0])
            compare(keys.calls, ["saveData false"])
            compare(String(ui_View.getDataList("mouseKeyMatrix/2", false)),
                    String(ui_View.getDataList("mouseKeyMatrix/2", true)))
            compare(String(ui_View.getDataList("mouseKeyMatrix/5", false)),
                    String(ui_View.getDataList("mouseKeyMatrix/5", true)))
        }

        function test_deleteUnboundMacro() {
            macros.deleteMacro("nobody")
            compare(keys.calls, [])
            compare(keys.keyCodes[2], [4, 0, 2, 0])
        }

        function test_renameMacro() {
            macros.modifyMacroName("M1", "Burst")
            compare(String(ui_View.getData("mouseMacroKey/2", false)), "Burst")
            compare(String(ui_View.getData("mouseMacroKey/5", false)), "Burst")
            compare(String(ui_View.getData("mouseMacroKey/6", false)), "M2")
            compare(keys.texts, ["", "", "Burst", "", "", "Burst", "M2", ""])
        }

        function test_changedMacroIsResent() {
            macros.modifyMacroData("M1")
            compare(macros.calls, ["send 2 M1", "send 5 M1"])
        }

        function test_keyRouting_data() {
            return [
                { tag: "recording", selected: true, rec: true, ins: false, mode: -1, open: false,
                  macro: ["record true 4"], assign: [] },
                { tag: "recording, no macro", selected: false, rec: true, ins: false, mode: -1, open: false,
                  macro: [], assign: [] },
                { tag: "insert box", selected: true, rec: false, ins: true, mode: -1, open: false,
                  macro: ["insert true 4"], assign: [] },
                { tag: "fire key", selected: false, rec: false, ins: false, mode: 0, open: true,
                  macro: [], assign: ["key true 4"] },
                { tag: "combination", selected: false, rec: false, ins: false, mode: 1, open: true,
                  macro: [], assign: ["key true 4"] },
                { tag: "dialog closed", selected: false, rec: false, ins: false, mode: 0, open: false,
                  macro: [], assign: [] }
            ]
        }
        function test_keyRouting(data) {
            macros.macroSelected = data.selected
            macros.isInputting = data.rec
            macros.isInsertting = data.ins
            assign.captureMode = data.mode
            assign.visible = data.open
            host.root.detectKeyboard(true, 4)
            compare(macros.calls, data.macro)
            compare(assign.calls, data.assign)
            assign.visible = false
        }

        function test_lastLeftClickKeepsItsButton() {
            keys.entryClicked(0)
            compare(assign.calls, [])
            compare(assign.visible, false)
            keys.entryClicked(1)
            compare(assign.calls, ["open 1"])
            verify(findChild(host.root, "mask").visible)
            assign.visible = false
            // With a second left click, the first may change.
            var k = keys.keyCodes.slice()
            k[7] = [0, 0, 0xF0, 0]
            keys.keyCodes = k
            picture.buttonClicked(0)
            compare(assign.calls, ["open 1", "open 0"])
            assign.visible = false
        }

        function test_hoverMarksTheButton() {
            compare(picture.keyCount, 8)
            keys.entryEntered(3)
            compare(picture.markedButton, 3)
            keys.entryExited(3)
            compare(picture.markedButton, -1)
            // While the dialog is open the mark stays.
            keys.entryEntered(4)
            assign.visible = true
            keys.entryExited(4)
            compare(picture.markedButton, 4)
            assign.visible = false
        }

        function test_macroEditorButtonOpensIt() {
            mouseClick(findChild(host.root, "macroEditorButton"))
            verify(macros.visible)
            verify(findChild(host.root, "mask").visible)
            compare(macros.x, Math.round((1024 - 640) / 2))
            host.root.closePopups()
            compare(macros.visible, false)
        }

        function test_runReloadsTheButtonList() {
            host.root.run()
            compare(keys.calls, [])
            tryCompare(keys, "calls", ["init false false"], 2000)
        }

        function test_saveSendsTheButtonList() {
            keys.isSave = true
            compare(String(findChild(host.root, "saveButton").idleColor), "#ff3030")
            host.root.save()
            compare(keys.calls, ["saveData true"])
            compare(keys.isSave, false)
        }
    }
}
