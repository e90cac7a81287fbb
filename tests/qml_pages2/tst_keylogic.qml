import QtQuick
import QtTest
import "qrc:/modules/qml/Q7/KeyLogic.js" as KL

TestCase {
    name: "KeyLogic"

    // Enough of the key-name table for these cases.
    QtObject {
        id: names
        property var codes: [0x04, 0x05, 0x14, 0x1E, 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xF0, 0xF1]
        property var strs: ["A", "B", "Q", "1", "LCtrl", "LShift", "LAlt", "LWin", "RCtrl", "RShift", "RAlt", "RWin", "MS-L", "MS-R"]
        function keycodeTostr(c) { var i = codes.indexOf(c); return i < 0 ? "" : strs[i] }
        function strTokeycode(s) { var i = strs.indexOf(s); return i < 0 ? 0 : codes[i] }
    }
    property var texts: ["Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key", "Forward Key",
        "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input", "Rate", "Times", "Endness",
        "Group Function", "Media Function", "Macro Function", "Macro Editor", "m0", "m1", "m2",
        "DPI Function", "DPI+", "DPI-", "DPI LOOP", "Windows Function", "Shortcut Function", "Player",
        "Next", "Privous", "Stop", "Mute", "Play/Pause", "Volumn+", "Volumn-", "My PC", "Index", "Search",
        "Max", "Min", "Desktop", "Run", "New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo",
        "Undo", "Select All", "Gun Function", "One Gun", "Two Gun", "Three Gun", "Sniper Key", "Disable", "", ""]

    function test_bindingText_data() {
        return [
            { tag: "left", codes: [0, 0, 0xF0, 0], text: "Left Key" },
            { tag: "middle", codes: [0, 0, 0xF2, 0], text: "Middle Key" },
            { tag: "forward", codes: [0, 0, 0xF4, 0], text: "Forward Key" },
            { tag: "back", codes: [0, 0, 0xF3, 0], text: "Back Key" },
            { tag: "double fire", codes: [0, 0xF0, 0x1E, 2], text: "Double Fire" },
            { tag: "disable", codes: [0, 0, 0, 0], text: "Disable" },
            { tag: "unknown mouse code", codes: [0, 0, 0x55, 0], text: "" },
            { tag: "fire on A", codes: [1, 0x04, 10, 0], text: "A" },
            { tag: "fire on left button", codes: [1, 0xF0, 10, 3], text: "MS-L" },
            { tag: "ctrl shift A", codes: [2, 0x03, 0x04, 0], text: "LCtrl+LShift+A" },
            { tag: "modifiers in bit order", codes: [2, 0x81, 0x05, 0x04], text: "LCtrl+RWin+B+A" },
            { tag: "media player", codes: [3, 0, 0x83, 0x01], text: "Player" },
            { tag: "media mute", codes: [3, 0, 0xE2, 0], text: "Mute" },
            { tag: "dpi loop", codes: [5, 0, 3, 0], text: "DPI LOOP" },
            { tag: "sniper", codes: [5, 0, 4, 0], text: "Sniper Key" },
            { tag: "my pc", codes: [6, 0, 0x94, 1], text: "My PC" },
            { tag: "run", codes: [6, 0, 0xE3, 0x15], text: "Run" },
            { tag: "copy", codes: [7, 0, 0xE0, 0x06], text: "Copy" },
            { tag: "select all", codes: [7, 0, 0xE0, 0x04], text: "Select All" },
            { tag: "two gun", codes: [8, 0, 2, 0], text: "Two Gun" },
            { tag: "gun function", codes: [0x0B, 0xFF, 4, 5], text: "Gun Function" },
            { tag: "device-only kind", codes: [0xFF, 0, 1, 0], text: "" },
        ]
    }
    function test_bindingText(d) {
        compare(KL.bindingText(d.codes, texts, names, "English", ""), d.text)
    }

    function test_macroBindingShowsStoredName() {
        compare(KL.bindingText([4, 1, 2, 0], texts, names, "English", "Macro_0"), "Macro_0")
        compare(KL.bindingText([4, 1, 2, 0], texts, names, "English", undefined), "")
    }

    function test_selectAllFollowsLanguage_data() {
        return [
            { tag: "English", lang: "English", codes: [7, 0, 0xE0, 0x04] },
            { tag: "French", lang: "French", codes: [7, 0, 0xE0, 0x14] },
            { tag: "ChineseSimplified", lang: "ChineseSimplified", codes: [7, 0, 0xE0, 0x04] },
        ]
    }
    function test_selectAllFollowsLanguage(d) {
        compare(KL.shortcutCodes(9, d.lang), d.codes)
        compare(KL.bindingText(d.codes, texts, names, d.lang, ""), "Select All")
    }

    function test_normalizeBinding_data() {
        return [
            { tag: "four numbers", stored: [5, 0, 1, 0], out: [5, 0, 1, 0] },
            { tag: "texts of numbers", stored: ["4", "1", "3", "0"], out: [4, 1, 3, 0] },
            { tag: "short list pads zeroes", stored: [0, 0, 240], out: [0, 0, 240, 0] },
            { tag: "empty list", stored: [], out: null },
            { tag: "absent", stored: undefined, out: null },
            { tag: "plain string", stored: "garbage", out: null },
            { tag: "not a number", stored: ["x", 0, 1, 0], out: null },
            { tag: "negative", stored: [0, -1, 240, 0], out: null },
            { tag: "above a byte", stored: [0, 0, 300, 0], out: null },
            { tag: "fraction", stored: [0, 0, 1.5, 0], out: null },
        ]
    }
    function test_normalizeBinding(d) {
        compare(KL.normalizeBinding(d.stored), d.out)
    }

    function test_onlyLeftClick_data() {
        var builtIn = KL.builtInBindings()
        var two = KL.builtInBindings()
        two[3] = [0, 0, 0xF0, 0]
        var none = KL.builtInBindings()
        none[0] = [0, 0, 0xF1, 0]
        return [
            { tag: "only left on button 1", list: builtIn, index: 0, only: true },
            { tag: "right button is free", list: builtIn, index: 1, only: false },
            { tag: "second left click frees both", list: two, index: 0, only: false },
            { tag: "second left click itself", list: two, index: 3, only: false },
            { tag: "no left click at all", list: none, index: 0, only: false },
        ]
    }
    function test_onlyLeftClick(d) {
        compare(KL.isOnlyLeftClick(d.list, d.index), d.only)
    }

    function test_combinationCapture_data() {
        return [
            { tag: "ctrl shift A", keys: [0xE0, 0xE1, 0x04], codes: [2, 0x03, 0x04, 0], field: "LCtrl + LShift + A" },
            { tag: "two keys then more ignored", keys: [0x04, 0x05, 0x1E], codes: [2, 0, 0x04, 0x05], field: "A + B" },
            { tag: "repeated modifier once", keys: [0xE2, 0xE2, 0x14], codes: [2, 0x04, 0x14, 0], field: "LAlt + Q" },
            { tag: "repeated key once", keys: [0x04, 0x04], codes: [2, 0, 0x04, 0], field: "A" },
            { tag: "mouse buttons ignored", keys: [0xF0, 0xE7, 0xF1], codes: [2, 0x80, 0, 0], field: "RWin" },
            { tag: "right modifiers", keys: [0xE4, 0xE5, 0xE6], codes: [2, 0x70, 0, 0], field: "RCtrl + RShift + RAlt" },
        ]
    }
    function test_combinationCapture(d) {
        var c = KL.newCombination()
        for (var i = 0; i < d.keys.length; ++i)
            KL.captureCombinationKey(c, d.keys[i])
        compare(KL.combinationCodes(c), d.codes)
        compare(KL.combinationFieldText(c, names), d.field)
    }

    function test_periods_data() {
        return [
            { tag: "knob at 9", x: 9, period: 10 },
            { tag: "knob at 3", x: 3, period: 4 },
            { tag: "fractional", x: 9.7, period: 10 },
            { tag: "negative", x: -4, period: 1 },
            { tag: "beyond a byte", x: 400, period: 255 },
            { tag: "nonsense", x: "x", period: 1 },
        ]
    }
    function test_periods(d) {
        compare(KL.periodFromPosition(d.x), d.period)
    }

    function test_times_data() {
        return [
            { tag: "empty", text: "", times: 0 },
            { tag: "zero", text: "0", times: 0 },
            { tag: "five", text: "5", times: 5 },
            { tag: "too many", text: "999", times: 255 },
            { tag: "negative", text: "-3", times: 0 },
        ]
    }
    function test_times(d) {
        compare(KL.clampTimes(d.text), d.times)
    }

    function test_gunPeriods() {
        compare(KL.gunPeriods(["10", "12", "30", "4"], [0, 3, 1]), [10, 4, 12])
        // Presets that never loaded must not send NaN.
        compare(KL.gunPeriods([undefined, undefined], [0, 1, 5]), [0, 0, 0])
    }

    function test_flattenIsSixtyFourNumbers() {
        var list = KL.builtInBindings()
        var flat = KL.flatten(list)
        compare(flat.length, 64)
        compare(flat.slice(0, 4), [0, 0, 0xF0, 0])
        compare(flat.slice(28, 32), [0, 0xF0, 0x1E, 2])
        compare(flat.slice(60, 64), [0xFF, 0, 2, 0])
    }

    function test_panelHeight() {
        compare(KL.panelHeight(8), 40 + 24 * 8 + 14 + 8)
        compare(KL.panelHeight(1), 72)
        compare(KL.panelHeight(20), KL.panelHeight(8))
        compare(KL.keyCountFrom("5"), 5)
        compare(KL.keyCountFrom(undefined), 8)
        compare(KL.keyCountFrom("12"), 8)
    }
}
