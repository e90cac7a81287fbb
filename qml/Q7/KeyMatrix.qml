import QtQuick
import skeld.macro
import "KeyLogic.js" as KL
import "Style.js" as S

// The button list of the main page's left column: one row per button with
// its binding text. It owns the working and the default bindings and sends
// them with the key matrix.
Rectangle {
    id: panel
    objectName: "keyMatrix"
    width: 232
    height: KL.panelHeight(keyCount)
    color: S.black

    // Section "keyMatrix": 0 "Key ", 1 "Key Function".
    property var texts: ["Key ", "Key Function", ""]
    // Section "keyAssigment", for the binding texts.
    property var assignTexts: []
    // The key-name table in effect (keycodeTostr / strTokeycode); the shared
    // encoder's names stand in while it is not set.
    property var keyNames: null
    property string language: ""
    property int keyCount: 8
    // The gun page whose slot presets give the fire periods.
    property var gunPage: null

    property var bindings: KL.builtInBindings()
    property var defaults: KL.builtInBindings()
    // What init last read, used when a deleted macro frees a button.
    property var loaded: KL.builtInBindings()
    property var bindingTexts: []
    property var defaultTexts: []
    property bool isSave: false
    property int hoveredIndex: -1

    signal hovered(int index)
    signal exited(int index)
    signal openAssign(int index)

    function nameOf(code) {
        if (keyNames)
            return keyNames.keycodeTostr(code)
        return MacroCodec.nameForCode(code)
    }
    readonly property var names: ({ keycodeTostr: function (c) { return panel.nameOf(c) } })

    function macroNameOf(codes) {
        if (!codes || codes[0] !== KL.KIND_MACRO)
            return ""
        var v = ui_View.getData("mouseMacroKey/" + codes[2], false)
        return v === undefined || v === null ? "" : String(v)
    }
    function textOf(codes) {
        return KL.bindingText(codes, assignTexts, names, language, macroNameOf(codes))
    }
    function refreshTexts() {
        var t = [], d = []
        for (var i = 0; i < KL.BUTTON_COUNT; ++i) {
            t.push(textOf(bindings[i]))
            d.push(textOf(defaults[i]))
        }
        bindingTexts = t
        defaultTexts = d
    }

    // Reads the sixteen bindings (and their defaults) from the profile; a
    // missing or damaged entry keeps what the list already shows.
    function init(isSendData, isRecovery) {
        var work = [], def = []
        for (var j = 0; j < KL.BUTTON_COUNT; ++j) {
            var d = KL.normalizeBinding(ui_View.mouseGetKeydefine(j, true))
            def.push(d ? d : defaults[j].slice())
            var w = KL.normalizeBinding(ui_View.mouseGetKeydefine(j, isRecovery))
            if (!w)
                console.warn("config: button", j, "has no usable binding in the profile; keeping", bindings[j])
            work.push(w ? w : bindings[j].slice())
        }
        defaults = def
        bindings = work
        loaded = work.map(function (b) { return b.slice() })
        refreshTexts()
        if (isSendData)
            saveData()
    }

    function gunPeriods() {
        if (!gunPage)
            return [0, 0, 0]
        return gunPage.slotPeriods()
    }

    // Stores the list in the profile and sends the key matrix.
    function saveData() {
        ui_View.mouseSetKeyMatrix(KL.flatten(bindings), true, gunPeriods())
    }

    function setBinding(index, codes, text) {
        var b = bindings.slice()
        b[index] = codes.slice()
        bindings = b
        var t = bindingTexts.slice()
        t[index] = text
        bindingTexts = t
        isSave = true
    }

    function restoreDefault(index) {
        setBinding(index, defaults[index], defaultTexts[index])
    }

    function canOpen(index) {
        return index >= 0 && index < KL.BUTTON_COUNT && !KL.isOnlyLeftClick(bindings, index)
    }

    // Buttons whose macro binding names this macro.
    function macroButtons(macroName) {
        var out = []
        for (var i = 0; i < KL.BUTTON_COUNT; ++i) {
            if (bindings[i][0] === KL.KIND_MACRO && macroNameOf(bindings[i]) === macroName)
                out.push(i)
        }
        return out
    }

    // A macro was deleted: its buttons go back to what was loaded, or to
    // their defaults when the loaded binding was that same macro.
    function macroDeleted(macroName) {
        var hit = macroButtons(macroName)
        if (hit.length === 0)
            return
        var b = bindings.slice()
        for (var i = 0; i < hit.length; ++i) {
            var k = hit[i]
            var back = loaded[k]
            if (back[0] === KL.KIND_MACRO && macroNameOf(back) === macroName)
                back = defaults[k]
            b[k] = back.slice()
        }
        bindings = b
        refreshTexts()
        ui_View.mouseSetKeyMatrix(KL.flatten(bindings), false, gunPeriods())
        isSave = true
    }

    function macroRenamed(oldName, newName) {
        var hit = macroButtons(oldName)
        for (var i = 0; i < hit.length; ++i)
            ui_View.setData("mouseMacroKey/" + bindings[hit[i]][2], newName)
        if (hit.length > 0)
            refreshTexts()
    }

    Component.onCompleted: refreshTexts()

    Text {
        x: 8
        y: 8
        height: 24
        verticalAlignment: Text.AlignVCenter
        text: panel.texts[1] !== undefined ? panel.texts[1] : ""
        color: S.text
        font.family: S.fontFamily
        font.pixelSize: S.fontMiddle
        font.bold: true
    }

    Column {
        x: 8
        y: 40
        spacing: 2
        Repeater {
            model: Math.min(8, panel.keyCount)
            Rectangle {
                id: row
                required property int index
                objectName: "keyRow" + index
                width: 216
                height: 24
                radius: 2
                color: rowArea.containsMouse ? S.highlight : S.button
                Text {
                    x: 8
                    width: 64
                    height: parent.height
                    verticalAlignment: Text.AlignVCenter
                    text: (panel.texts[0] !== undefined ? panel.texts[0] : "") + (row.index + 1)
                    color: S.text
                    font.family: S.fontFamily
                    font.pixelSize: S.fontNormal
                }
                Text {
                    x: 72
                    width: 136
                    height: parent.height
                    verticalAlignment: Text.AlignVCenter
                    horizontalAlignment: Text.AlignRight
                    elide: Text.ElideRight
                    text: panel.bindingTexts[row.index] !== undefined ? panel.bindingTexts[row.index] : ""
                    color: S.text
                    font.family: S.fontFamily
                    font.pixelSize: S.fontNormal
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onEntered: {
                        panel.hoveredIndex = row.index
                        panel.hovered(row.index)
                    }
                    onExited: {
                        panel.hoveredIndex = -1
                        panel.exited(row.index)
                    }
                    onClicked: {
                        if (panel.canOpen(row.index))
                            panel.openAssign(row.index)
                    }
                }
            }
        }
    }
}
