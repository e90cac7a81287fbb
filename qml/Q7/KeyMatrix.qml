import QtQuick
import skeld.macro
import "KeyLogic.js" as KL
import "../basic/Skin.js" as S

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
    property var keyMatrixLang: ["Key ", "Key Function", ""]
    // Section "keyAssigment", for the binding texts.
    property var assignTexts: []
    // The key-name table in effect (keycodeTostr / strTokeycode); the shared
    // encoder's names stand in while it is not set.
    property var keyNames: null
    property string language: ""
    property int keyCount: 8
    // Returns the gun page whose slot presets give the fire periods.
    property var gunPage: null

    property var bindings: KL.builtInBindings()
    // The working list as the main page reads it.
    readonly property var keyCodes: bindings
    property var defaults: KL.builtInBindings()
    // What init last read, used when a deleted macro frees a button.
    property var loaded: KL.builtInBindings()
    property var bindingTexts: []
    property var defaultTexts: []
    property bool isSave: false
    property int hoveredIndex: -1

    signal entryEntered(int index)
    signal entryExited(int index)
    signal entryClicked(int index)

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
            saveData(true)
    }

    function gunPeriods() {
        var page = gunPage ? gunPage() : null
        return page ? page.slotPeriods() : [0, 0, 0]
    }

    // Stores the list in the profile and, when asked, sends the key matrix
    // with the fire periods of the gun slots.
    function saveData(isSendData) {
        ui_View.mouseSetKeyMatrix(KL.flatten(bindings), isSendData !== false, gunPeriods())
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

    // Back to what was last loaded; when that was the same macro binding
    // (the macro is being deleted), back to the profile default instead.
    function restoreBinding(index) {
        if (index < 0 || index >= KL.BUTTON_COUNT)
            return
        var back = loaded[index]
        var now = bindings[index]
        if (back[0] === KL.KIND_MACRO && now[0] === KL.KIND_MACRO && macroNameOf(back) === macroNameOf(now))
            back = defaults[index]
        var b = bindings.slice()
        b[index] = back.slice()
        bindings = b
        refreshTexts()
        isSave = true
    }

    function setBindingText(index, text) {
        var t = bindingTexts.slice()
        t[index] = String(text)
        bindingTexts = t
    }

    Component.onCompleted: refreshTexts()
    onAssignTextsChanged: refreshTexts()
    onLanguageChanged: refreshTexts()
    onKeyNamesChanged: refreshTexts()
    Connections {
        target: panel.keyNames
        ignoreUnknownSignals: true
        function onKeyCodeStrChanged() { panel.refreshTexts() }
    }

    Text {
        x: 8
        y: 8
        height: 24
        verticalAlignment: Text.AlignVCenter
        text: panel.keyMatrixLang[1] !== undefined ? panel.keyMatrixLang[1] : ""
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
                // "Key " and the number, as two texts: the number is not
                // the language's to translate.
                Row {
                    x: 8
                    height: parent.height
                    Text {
                        objectName: "keyLabel"
                        height: parent.height
                        verticalAlignment: Text.AlignVCenter
                        text: panel.keyMatrixLang[0] !== undefined ? panel.keyMatrixLang[0] : ""
                        color: S.text
                        font.family: S.fontFamily
                        font.pixelSize: S.fontNormal
                    }
                    Text {
                        height: parent.height
                        verticalAlignment: Text.AlignVCenter
                        text: String(row.index + 1)
                        color: S.text
                        font.family: S.fontFamily
                        font.pixelSize: S.fontNormal
                    }
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
                        panel.entryEntered(row.index)
                    }
                    onExited: {
                        panel.hoveredIndex = -1
                        panel.entryExited(row.index)
                    }
                    onClicked: {
                        if (panel.canOpen(row.index))
                            panel.entryClicked(row.index)
                    }
                }
            }
        }
    }
}
