import QtQuick
import QtTest
import skeld.macro
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/Q7/KeyLogic.js" as KL
import "qrc:/modules/qml/Q7/MacroLogic.js" as ML

// Key names, button bindings and macro lists: per function, rows of
// arguments and result.
TestCase {
    id: testCase
    name: "KeyAndMacroLogic"

    Component { id: factory; KeyCodeString {} }
    KeyCodeString { id: names }
    // The assignment texts by index: a binding's text is texts[i] = "t" + i.
    property var texts: Array.from({ length: 58 }, function (v, i) { return "t" + i }).concat(["", ""])

    function ev(type, info) { return { type: type, info: String(info) } }
    function pairs(n) { return Array.from({ length: 2 * n }, function (v, i) { return ev(1 + i % 2, "A") }) }
    function base() { return [ev(1, "A"), ev(0, 50), ev(2, "A")] }
    // Adapters: a binding's text, a combination capture; event lists are compared as stored.
    property var calls: ({
        text: function (c, lang, macro) { return KL.bindingText(c, texts, names, lang || "English", macro || "") },
        combo: function (keys) {
            var c = KL.newCombination()
            keys.forEach(function (k) { KL.captureCombinationKey(c, k) })
            return [KL.combinationCodes(c), KL.combinationFieldText(c, names)]
        }
    })

    function test_calls_data() {
        var two = KL.builtInBindings(); two[3] = [0, 0, 0xF0, 0]
        var full = pairs(30).concat([ev(1, "A")]), all = Array.from({ length: 100 }, function (v, i) { return "Macro_" + i })
        var table = {
            // Key names (the default table) and back; the second of a repeated name reads as the first.
            strTokeycode: [[["A"], 0x04], [["\\"], 0x31], [["MS-B5"], 0xF4], [["enter"], 0], [[undefined], 0]],
            keycodeTostr: [[[0x89], "Intl2"], [[0x74], ""], [[0x104], ""], [["4"], "A"]],
            // What a button's binding shows.
            text: [[[[0, 0, 0xF3, 0]], "t6"], [[[0, 0xF0, 0x1E, 2]], "t7"], [[[0, 0, 0x55, 0]], ""], [[[1, 0xF0, 10, 3]], "MS-L"],
                   [[[2, 0x81, 0x05, 0x04]], "LCtrl+RWin+B+A"], [[[3, 0, 0x83, 0x01]], "t27"], [[[7, 0, 0xE0, 0x14], "French"], "t51"],
                   [[[8, 0, 2, 0]], "t54"], [[[0xFF, 0, 1, 0]], ""], [[[4, 1, 2, 0], "English", "Macro_0"], "Macro_0"]],
            shortcutCodes: [[[9, "English"], [7, 0, 0xE0, 0x04]], [[9, "French"], [7, 0, 0xE0, 0x14]]],
            normalizeBinding: [[[["4", "1", "3", "0"]], [4, 1, 3, 0]], [[[0, 0, 240]], [0, 0, 240, 0]], [["garbage"], null],
                               [[[0, 0, 300, 0]], null]],
            isOnlyLeftClick: [[[KL.builtInBindings(), 0], true], [[two, 0], false], [[KL.builtInBindings(), 1], false],
                              [[[[1, 0xF0, 10, 0], [0, 0, 0xF0, 0]], 1], true]],
            // Combinations: modifiers as bits, two keys at most, no repeats, no mouse buttons.
            combo: [[[[0xE0, 0xE1, 0x04]], [[2, 0x03, 0x04, 0], "LCtrl + LShift + A"]], [[[0x04, 0x05, 0x1E]], [[2, 0, 0x04, 0x05], "A + B"]],
                    [[[0xE2, 0xE2, 0x04, 0x04]], [[2, 0x04, 0x04, 0], "LAlt + A"]], [[[0xF0, 0xE7, 0xF1]], [[2, 0x80, 0, 0], "RWin"]]],
            // Fire periods and counts travel in one byte.
            periodFromPosition: [[[9], 10], [[-4], 1], [[400], 255], [["x"], 1]],
            clampTimes: [[["5"], 5], [["999"], 255], [["-3"], 0]],
            // Recording: delays in 10 ms ticks, mouse buttons as type 3, refusals at the limit.
            recordEvent: [[[[], true, 0x04, "A", 25, false], ["1,A"]], [[[ev(1, "A")], false, 0x04, "A", 253 / 10, true], ["1,A", "0,250", "2,A"]],
                     [[[], true, 0xF0, "MS-L", 0, false], ["3,MS-L"]], [[[], true, 0x74, "", 0, false], null],
                     [[full, false, 0x04, "A", 0, false], null], [[pairs(30), true, 0x04, "A", 200, true], null]],
            insertDelay: [[[full, 3], null]],
            insertKey: [[[full, 3, "B"], null], [[base(), 1, "B"], ["1,A", "1,B", "2,B", "0,50", "2,A"]],
                        [[base(), 2, "B"], ["1,A", "0,50", "2,A", "1,B", "2,B"]]],
            insertMouseButton: [[[full, 3, "MS-L"], null], [[base(), 1, "MS-L"], ["1,A", "0,50", "3,MS-L", "4,MS-L", "2,A"]]],
            setDelay: [[[base(), 1, "120"], ["1,A", "0,120", "2,A"]], [[base(), 1, "65536"], null], [[base(), 1, "abc"], null],
                       [[pairs(30).concat([ev(0, 10), ev(1, "A")]), 60, "5000"], null]],
            repeatValue: [[[""], 0], [["99999"], 65535]],
            freeMacroName: [[[["Macro_0", "Macro_2"]], "Macro_1"], [[all], "Macro_100"]],
            namesFromStore: [[[["M", "loaderkestle"]], ["M"]], [[["M", "N", "loaderkestle"]], ["M", "N", "loaderkestle"]]],
            // Macro names become file names: no path, control or wildcard characters, no padding word, 64 characters at most.
            canRename: ["Reload", "连发", new Array(65).join("m")].map(function (n) { return [[["Macro_0"], n], true] }).concat(
                ["Macro_0", "../evil", "a\\b", ".hidden", "   ", "a\nb", "a*b", "loaderkestle", new Array(66).join("m")].map(
                    function (n) { return [[["Macro_0"], n], false] }))
        }
        var out = []
        for (var fn in table)
            table[fn].forEach(function (r) {
                out.push({ tag: fn + JSON.stringify(r[0]).substring(0, 60), fn: fn, args: r[0], out: r[1] })
            })
        return out
    }
    function test_calls(d) {
        var v = (calls[d.fn] || KL[d.fn] || ML[d.fn] || names[d.fn]).apply(names, d.args)
        compare(v && v.length && v[0].type !== undefined ? ML.toEntries(v) : v, d.out)
    }

    function test_composed() {
        // Every code survives name and back except the second of a repeated name.
        var keys = createTemporaryObject(factory, testCase)
        compare([keys.keyCode.length, keys.keyCodeStr.length], [133, 133])
        keys.keyCode.forEach(function (c) { compare(keys.strTokeycode(keys.keycodeTostr(c)), c === 0x32 ? 0x31 : c === 0x89 ? 0x88 : c) })
        // Only a complete list of names is taken.
        var n = Array.from({ length: 134 }, function (v, i) { return "N" + i })
        verify(!keys.loadNames(n) && !keys.loadNames(n.slice(0, 132)) && !keys.loadNames(undefined))
        verify(keys.loadNames(n.slice(0, 133)))
        compare([keys.strTokeycode("N0"), keys.keycodeTostr(0xF4), keys.strTokeycode("A")], [0x04, "N132", 0])
        // The page's size limit and the device encoder agree on every list.
        var list = []
        for (var i = 0; i < 40; ++i) {
            list.push(ev(1 + (i % 4), "A"), ev(0, (i * 137) % 2600))
            compare(ML.encodedSize(list), MacroCodec.recordCount(ML.toEntries(list)), "at " + i)
            if (ML.encodedSize(list) <= 128)
                compare(MacroCodec.deCode(ML.toEntries(list), 1).length, ML.encodedSize(list))
        }
        var p = ML.parseLoaded(["1,A", "0,120", "2,A", "x,bad", "7"])
        compare([ML.toEntries(p.events), p.repeat, p.dropped, ML.parseLoaded([]).repeat], [["1,A", "0,120", "2,A"], "7", 1, null])
    }
}
