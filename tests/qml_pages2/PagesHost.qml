import QtQuick
import "qrc:/modules/qml/Q7"
import "qrc:/modules/qml/basic"

// The button and macro documents wired as the main page wires them.
Item {
    id: host
    width: 1024
    height: 640
    property string language: "English"
    property alias names: keyNames
    property alias gun: gunPage
    property alias km: keyMatrix
    property alias editor: macroEditor
    property alias dlg: assign
    property alias picture: mousePicture

    KeyCodeString { id: keyNames }
    GunControl { id: gunPage }
    Mouse {
        id: mousePicture
        onButtonClicked: function (i) { assign.open(i) }
    }
    KeyMatrix {
        id: keyMatrix
        x: 24
        y: 88
        keyNames: keyNames
        gunPage: gunPage
        language: host.language
        assignTexts: assign.keyAssigmentLang
        onEntryClicked: function (i) { assign.open(i) }
    }
    MacroEditor {
        id: macroEditor
        keyNames: keyNames
        assignDialog: assign
        // What the main page does with the editor's bookkeeping signals.
        onModifyMacroName: function (o, n) {
            var hit = []
            for (var i = 0; i < 16; ++i) {
                if (keyMatrix.keyCodes[i][0] === 4 && keyMatrix.macroNameOf(keyMatrix.keyCodes[i]) === o)
                    hit.push(i)
            }
            for (var j = 0; j < hit.length; ++j) {
                ui_View.setData("mouseMacroKey/" + keyMatrix.keyCodes[hit[j]][2], n)
                keyMatrix.setBindingText(hit[j], n)
            }
            ui_View.modifyMacroNameUpdateProfile(o, n)
        }
        onDeleteMacro: function (name) {
            var hit = []
            for (var i = 0; i < 16; ++i) {
                if (keyMatrix.keyCodes[i][0] === 4 && keyMatrix.macroNameOf(keyMatrix.keyCodes[i]) === name)
                    hit.push(i)
            }
            for (var j = 0; j < hit.length; ++j)
                keyMatrix.restoreBinding(hit[j])
            if (hit.length > 0)
                keyMatrix.saveData(false)
            ui_View.deleteMacroUpdateProfile(name)
        }
    }
    KeyAssigment {
        id: assign
        keyNames: keyNames
        keyMatrix: keyMatrix
        macroEditor: macroEditor
        language: host.language
    }

    function findBox(item) {
        for (var i = 0; i < item.children.length; ++i) {
            if (item.children[i].objectName === "delayBox")
                return item.children[i]
        }
        return null
    }

    function reset() {
        testEnv.reset()
        language = "English"
        keyNames.loadNames(ui_View.getLangStrings("keyCode", "English"))
        keyMatrix.keyMatrixLang = ui_View.getLangStrings("keyMatrix", "English")
        assign.keyAssigmentLang = ui_View.getLangStrings("keyAssigment", "English")
        keyMatrix.assignTexts = Qt.binding(function () { return assign.keyAssigmentLang })
        macroEditor.macroEditorLang = ui_View.getLangStrings("macroEditor", "English")
        macroEditor.visible = false
        macroEditor.isInputting = false
        macroEditor.isInsertting = false
        var delayBox = findBox(macroEditor)
        if (delayBox)
            delayBox.checked = false
        gunPage.init()
        macroEditor.init()
        assign.init()
        keyMatrix.init(false, false)
        keyMatrix.isSave = false
    }
}
