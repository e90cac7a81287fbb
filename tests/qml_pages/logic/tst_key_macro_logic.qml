import QtQuick
import QtTest
import skeld.macro
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/Q7/KeyLogic.js" as KL
import "qrc:/modules/qml/Q7/MacroLogic.js" as ML

// Key names, button bindings and macro lists. One row per case: function,
// arguments, result.
TestCase {
    id: testCase
    name: "KeyAndMacroLogic"

    Component { id: factory; KeyCodeString {} }
    KeyCodeString { id: names }
    property var texts: ["Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key", "Forward Key",
        "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input", "Rate", "Times", "Endness",
        "Group Function", "Media Function", "Macro Function", "Macro Editor", "m0", "m1", "m2",
        "DPI Function", "DPI+", "DPI-", "DPI LOOP", "Windows Function", "Shortcut Function", "Player",
        "Next", "Privous", "Stop", "Mute", "Play/Pause", "Volumn+", "Volumn-", "My PC", "Index", "Search",
        "Max", "Min", "Desktop", "Run", "New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo",
        "Undo", "Select All", "Gun Function", "One Gun", "Two Gun", "Three Gun", "Sniper Key", "Disable", "", ""]

    function ev(type, info) { return { type: type, info: String(info) } }
    function pairs(n) {
        var out = []
        for (var i = 0; i < n; ++i)
            out.push(ev(1, "A"), ev(2, "A"))
        return out
    }
    function text(c, lang, macro) { return KL.bindingText(c, texts, names, lang || "English", macro === undefined ? "" : macro) }
    function combo(keys) {
        var c = KL.newCombination()
        keys.forEach(function (k) { KL.captureCombinationKey(c, k) })
        return [KL.combinationCodes(c), KL.combinationFieldText(c, names)]
    }
    function entries(list) { return list === null ? null : ML.toEntries(list) }
    function base() { return [ev(1, "A"), ev(0, 50), ev(2, "A")] }

    function test_calls_data() {
        var two = KL.builtInBindings(); two[3] = [0, 0, 0xF0, 0]
        var none = KL.builtInBindings(); none[0] = [0, 0, 0xF1, 0]
        var full = pairs(30).concat([ev(1, "A")])
        var all = []
        for (var i = 0; i < 100; ++i)
            all.push("Macro_" + i)
        var r = [
            // Key names (the default table) and back.
            ["str", ["Intl2"], 0x88], ["str", ["\\"], 0x31], ["str", ["A"], 0x04], ["str", ["Z"], 0x1D],
            ["str", ["0"], 0x27], ["str", [","], 0x36], ["str", ["\u25BA"], 0x4F], ["str", ["\u25B2"], 0x52],
            ["str", ["KPEnter"], 0x58], ["str", ["Keypad"], 0x85], ["str", ["F24"], 0x73], ["str", ["RWin"], 0xE7],
            ["str", ["MS-B5"], 0xF4], ["str", ["KP /"], 0], ["str", [""], 0], ["str", ["enter"], 0], ["str", ["Esc "], 0],
            ["str", ["Hyper"], 0], ["str", [1], 0], ["str", [undefined], 0],
            ["code", [0x89], "Intl2"], ["code", [0x88], "Intl2"], ["code", [0x32], "\\"], ["code", [0x31], "\\"],
            ["code", [0xF3], "MS-B4"], ["code", [0xE0], "LCtrl"], ["code", [0x51], "\u25BC"], ["code", [0x2C], "Space"],
            ["code", [0x00], ""], ["code", [0x74], ""], ["code", [0x86], ""], ["code", [0xE8], ""], ["code", [0xF5], ""],
            ["code", [-1], ""], ["code", [0x104], ""], ["code", ["4"], "A"],
            // What a button's binding shows.
            ["text", [[0, 0, 0xF0, 0]], "Left Key"], ["text", [[0, 0, 0xF2, 0]], "Middle Key"],
            ["text", [[0, 0, 0xF4, 0]], "Forward Key"], ["text", [[0, 0, 0xF3, 0]], "Back Key"],
            ["text", [[0, 0xF0, 0x1E, 2]], "Double Fire"], ["text", [[0, 0, 0, 0]], "Disable"],
            ["text", [[0, 0, 0x55, 0]], ""], ["text", [[1, 0x04, 10, 0]], "A"], ["text", [[1, 0xF0, 10, 3]], "MS-L"],
            ["text", [[2, 0x03, 0x04, 0]], "LCtrl+LShift+A"], ["text", [[2, 0x81, 0x05, 0x04]], "LCtrl+RWin+B+A"],
            ["text", [[3, 0, 0x83, 0x01]], "Player"], ["text", [[3, 0, 0xE2, 0]], "Mute"],
            ["text", [[5, 0, 3, 0]], "DPI LOOP"], ["text", [[5, 0, 4, 0]], "Sniper Key"],
            ["text", [[6, 0, 0x94, 1]], "My PC"], ["text", [[6, 0, 0xE3, 0x15]], "Run"],
            ["text", [[7, 0, 0xE0, 0x06]], "Copy"], ["text", [[7, 0, 0xE0, 0x04]], "Select All"],
            ["text", [[7, 0, 0xE0, 0x14], "French"], "Select All"], ["text", [[8, 0, 2, 0]], "Two Gun"],
            ["text", [[0x0B, 0xFF, 4, 5]], "Gun Function"], ["text", [[0xFF, 0, 1, 0]], ""],
            ["text", [[4, 1, 2, 0], "English", "Macro_0"], "Macro_0"], ["text", [[4, 1, 2, 0], "English", undefined], ""],
            ["shortcutCodes", [9, "English"], [7, 0, 0xE0, 0x04]], ["shortcutCodes", [9, "French"], [7, 0, 0xE0, 0x14]],
            ["shortcutCodes", [9, "ChineseSimplified"], [7, 0, 0xE0, 0x04]],
            ["normalizeBinding", [[5, 0, 1, 0]], [5, 0, 1, 0]], ["normalizeBinding", [["4", "1", "3", "0"]], [4, 1, 3, 0]],
            ["normalizeBinding", [[0, 0, 240]], [0, 0, 240, 0]], ["normalizeBinding", [[]], null],
            ["normalizeBinding", [undefined], null], ["normalizeBinding", ["garbage"], null],
            ["normalizeBinding", [["x", 0, 1, 0]], null], ["normalizeBinding", [[0, -1, 240, 0]], null],
            ["normalizeBinding", [[0, 0, 300, 0]], null], ["normalizeBinding", [[0, 0, 1.5, 0]], null],
            ["isOnlyLeftClick", [KL.builtInBindings(), 0], true], ["isOnlyLeftClick", [KL.builtInBindings(), 1], false],
            ["isOnlyLeftClick", [two, 0], false], ["isOnlyLeftClick", [two, 3], false], ["isOnlyLeftClick", [none, 0], false],
            // Combination capture: modifiers as bits, two keys at most, no repeats, no mouse buttons.
            ["combo", [[0xE0, 0xE1, 0x04]], [[2, 0x03, 0x04, 0], "LCtrl + LShift + A"]],
            ["combo", [[0x04, 0x05, 0x1E]], [[2, 0, 0x04, 0x05], "A + B"]],
            ["combo", [[0xE2, 0xE2, 0x14]], [[2, 0x04, 0x14, 0], "LAlt + Q"]],
            ["combo", [[0x04, 0x04]], [[2, 0, 0x04, 0], "A"]],
            ["combo", [[0xF0, 0xE7, 0xF1]], [[2, 0x80, 0, 0], "RWin"]],
            ["combo", [[0xE4, 0xE5, 0xE6]], [[2, 0x70, 0, 0], "RCtrl + RShift + RAlt"]],
            // Fire periods and counts travel in one byte.
            ["periodFromPosition", [9], 10], ["periodFromPosition", [3], 4], ["periodFromPosition", [9.7], 10],
            ["periodFromPosition", [-4], 1], ["periodFromPosition", [400], 255], ["periodFromPosition", ["x"], 1],
            ["clampTimes", [""], 0], ["clampTimes", ["0"], 0], ["clampTimes", ["5"], 5], ["clampTimes", ["999"], 255],
            ["clampTimes", ["-3"], 0],
            ["gunPeriods", [["10", "12", "30", "4"], [0, 3, 1]], [10, 4, 12]],
            ["gunPeriods", [[undefined, undefined], [0, 1, 5]], [0, 0, 0]],
            ["panelHeight", [8], 40 + 24 * 8 + 14 + 8], ["panelHeight", [1], 72], ["panelHeight", [20], 254],
            ["keyCountFrom", ["5"], 5], ["keyCountFrom", [undefined], 8], ["keyCountFrom", ["12"], 8],
            // Macro size as the device encoder counts it (limit 126 of 128 bytes).
            ["encodedSize", [[]], 2], ["encodedSize", [[ev(0, 50), ev(0, 70)]], 2], ["encodedSize", [[ev(1, "A")]], 6],
            ["encodedSize", [[ev(1, "A"), ev(0, 30)]], 6],
            ["encodedSize", [[ev(1, "A"), ev(0, 50), ev(2, "A"), ev(0, 30)]], 8],
            ["encodedSize", [[ev(0, 9000), ev(1, "A"), ev(2, "A")]], 8],
            ["encodedSize", [[ev(1, "A"), ev(0, 1260), ev(2, "A")]], 8],
            ["encodedSize", [[ev(1, "A"), ev(0, 1270), ev(2, "A")]], 12],
            ["encodedSize", [[ev(1, "A"), ev(0, 700), ev(0, 700), ev(2, "A")]], 12],
            ["encodedSize", [pairs(10)], 44], ["encodedSize", [pairs(30)], 124], ["encodedSize", [full], 126],
            // Recording: delays in 10 ms ticks, mouse buttons as types 3/4, refusals at the limit.
            ["record", [[], true, 0x04, "A", 25, false], ["1,A"]],
            ["record", [[ev(1, "A")], false, 0x04, "A", 25, false], ["1,A", "2,A"]],
            ["record", [[ev(1, "A")], false, 0x04, "A", 253 / 10, true], ["1,A", "0,250", "2,A"]],
            ["record", [[], true, 0xF0, "MS-L", 0, false], ["3,MS-L"]],
            ["record", [[ev(3, "MS-L")], false, 0xF0, "MS-L", 0, false], ["3,MS-L", "4,MS-L"]],
            ["record", [[], true, 0x74, "", 0, false], null],
            ["record", [full, false, 0x04, "A", 0, false], null],
            ["record", [pairs(30), true, 0x04, "A", 200, true], null],
            ["insertDelay", [full, 3], null], ["insertKey", [full, 3, "B"], null],
            ["insertMouseButton", [full, 3, "MS-L"], null],
            ["insertMouseButton", [base(), 2, "MS-L"], ["1,A", "0,50", "2,A", "3,MS-L", "4,MS-L"]],
            ["insertMouseButton", [base(), 1, "MS-L"], ["1,A", "0,50", "3,MS-L", "4,MS-L", "2,A"]],
            ["insertMouseButton", [base(), 0, "MS-L"], ["1,A", "3,MS-L", "4,MS-L", "0,50", "2,A"]],
            ["insertKey", [base(), 2, "B"], ["1,A", "0,50", "2,A", "1,B", "2,B"]],
            ["insertKey", [base(), 1, "B"], ["1,A", "1,B", "2,B", "0,50", "2,A"]],
            ["insertKey", [base(), 0, "B"], ["1,B", "2,B", "1,A", "0,50", "2,A"]],
            ["setDelay", [base(), 1, "120"], ["1,A", "0,120", "2,A"]], ["setDelay", [base(), 1, "0"], ["1,A", "0,0", "2,A"]],
            ["setDelay", [base(), 1, "65535"], ["1,A", "0,65535", "2,A"]], ["setDelay", [base(), 1, "65536"], null],
            ["setDelay", [base(), 1, "abc"], null], ["setDelay", [base(), 1, "-5"], null], ["setDelay", [base(), 1, ""], null],
            ["setDelay", [pairs(30).concat([ev(0, 10), ev(1, "A")]), 60, "5000"], null],
            ["repeatValue", [""], 0], ["repeatValue", ["0"], 0], ["repeatValue", ["1"], 1], ["repeatValue", ["65535"], 65535],
            ["repeatValue", ["99999"], 65535],
            ["freeMacroName", [[]], "Macro_0"], ["freeMacroName", [["Macro_0", "Macro_2"]], "Macro_1"],
            ["freeMacroName", [["Fast", "Macro_0"]], "Macro_1"], ["freeMacroName", [all], "Macro_100"],
            ["namesFromStore", [["M", "loaderkestle"]], ["M"]],
            ["namesFromStore", [["M", "N", "loaderkestle"]], ["M", "N", "loaderkestle"]], ["namesFromStore", [undefined], []]
        ]
        // Macro names: no path, control or wildcard characters, no padding word, 64 characters at most.
        var ok = ["Reload", "连发", new Array(65).join("m"), "a..b"]
        var bad = ["Macro_1", "Macro_0", "../evil", "a/b", "a\\b", "..", "   ", ".hidden", "a\nb", "a\x7fb", "a*b", "a|b",
                   "loaderkestle", new Array(66).join("m")]
        ok.forEach(function (n) { r.push(["canRename", [["Macro_0", "Macro_1"], n], true]) })
        bad.forEach(function (n) { r.push(["canRename", [["Macro_0", "Macro_1"], n], false]) })
        return r.map(function (x) { return { tag: x[0] + JSON.stringify(x[1]).substring(0, 60), fn: x[0], args: x[1], out: x[2] } })
    }
    function test_calls(d) {
        var f = { str: names.strTokeycode, code: names.keycodeTostr, text: text, combo: combo,
                  record: function () { return entries(ML.recordEvent.apply(null, arguments)) } }
        var out = f[d.fn] ? f[d.fn].apply(null, d.args) : (KL[d.fn] || ML[d.fn]).apply(null, d.args)
        if (["insertKey", "insertMouseButton", "setDelay"].indexOf(d.fn) >= 0)
            out = entries(out)
        compare(out, d.out)
    }

    // The code table: 0x04..0x73 in a row, then the extras; every code survives
    // name and back except the second of a repeated name.
    function test_keyTable() {
        var keys = createTemporaryObject(factory, testCase)
        compare(keys.keyCode.length, 133)
        compare(keys.keyCodeStr.length, 133)
        for (var i = 0; i < 112; ++i)
            compare(keys.keyCode[i], 0x04 + i)
        compare(keys.keyCode.slice(112), [0x85, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x90, 0x91, 0xE0, 0xE1, 0xE2, 0xE3,
                                          0xE4, 0xE5, 0xE6, 0xE7, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4])
        for (i = 0; i < 133; ++i) {
            var code = keys.keyCode[i]
            compare(keys.strTokeycode(keys.keycodeTostr(code)), code === 0x32 ? 0x31 : code === 0x89 ? 0x88 : code)
        }
        // Only a complete list of names is taken.
        var n = []
        for (i = 0; i < 134; ++i)
            n.push("N" + i)
        verify(!keys.loadNames(n) && !keys.loadNames(n.slice(0, 132)) && !keys.loadNames([]))
        verify(!keys.loadNames(undefined) && !keys.loadNames(null))
        compare(keys.keycodeTostr(0xF4), "MS-B5")
        verify(keys.loadNames(n.slice(0, 133)))
        compare([keys.strTokeycode("N0"), keys.keycodeTostr(0xF4), keys.strTokeycode("A")], [0x04, "N132", 0])
    }

    function test_bindingsAndMacroImages() {
        var flat = KL.flatten(KL.builtInBindings())
        compare(flat.length, 64)
        compare([flat.slice(0, 4), flat.slice(28, 32), flat.slice(60, 64)], [[0, 0, 0xF0, 0], [0, 0xF0, 0x1E, 2], [0xFF, 0, 2, 0]])
        // The page's size limit and the device encoder agree on every list.
        var list = []
        for (var i = 0; i < 40; ++i) {
            list.push(ev(1 + (i % 4), "A"), ev(0, (i * 137) % 2600))
            compare(ML.encodedSize(list), MacroCodec.recordCount(ML.toEntries(list)), "at " + i)
            if (ML.encodedSize(list) <= 128)
                compare(MacroCodec.deCode(ML.toEntries(list), 1).length, ML.encodedSize(list))
        }
        var withDelay = pairs(30).concat([ev(0, 10), ev(1, "A")])
        compare(ML.setDelay(withDelay, 60, "500")[60].info, "500")
        verify(ML.recordEvent(pairs(30), true, 0x04, "A", 12, true) !== null)
        var d = ML.insertDelay([ev(1, "A"), ev(2, "A")], 1)
        compare([ML.toEntries(d.events), d.current], [["1,A", "0,50", "2,A"], 1])
        var p = ML.parseLoaded(["1,A", "0,120", "2,A", "x,bad", "7"])
        compare([ML.toEntries(p.events), p.repeat, p.dropped], [["1,A", "0,120", "2,A"], "7", 1])
        compare(ML.parseLoaded([]).repeat, null)
    }
}
