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
    function pairs(n) {
        var out = []
        for (var i = 0; i < n; ++i)
            out.push(ev(1, "A"), ev(2, "A"))
        return out
    }
    function base() { return [ev(1, "A"), ev(0, 50), ev(2, "A")] }
    // Adapters: a binding's text, a combination capture, event lists as stored.
    property var calls: ({
        str: function (s) { return names.strTokeycode(s) },
        code: function (c) { return names.keycodeTostr(c) },
        text: function (c, lang, macro) { return KL.bindingText(c, texts, names, lang || "English", macro === undefined ? "" : macro) },
        combo: function (keys) {
            var c = KL.newCombination()
            keys.forEach(function (k) { KL.captureCombinationKey(c, k) })
            return [KL.combinationCodes(c), KL.combinationFieldText(c, names)]
        },
        record: function () { var l = ML.recordEvent.apply(null, arguments); return l && ML.toEntries(l) },
        insertKey: function () { var l = ML.insertKey.apply(null, arguments); return l && ML.toEntries(l) },
        insertMouseButton: function () { var l = ML.insertMouseButton.apply(null, arguments); return l && ML.toEntries(l) },
        setDelay: function () { var l = ML.setDelay.apply(null, arguments); return l && ML.toEntries(l) }
    })

    function test_calls_data() {
        var two = KL.builtInBindings(); two[3] = [0, 0, 0xF0, 0]
        var none = KL.builtInBindings(); none[0] = [0, 0, 0xF1, 0]
        var full = pairs(30).concat([ev(1, "A")]), all = []
        for (var i = 0; i < 100; ++i)
            all.push("Macro_" + i)
        var table = {
            // Key names (the default table) and back.
            str: [[["A"], 0x04], [["F24"], 0x73], [["RWin"], 0xE7], [["Intl2"], 0x88], [["\\"], 0x31], [["\u25BA"], 0x4F],
                  [["KPEnter"], 0x58], [["MS-B5"], 0xF4],
                  [["KP /"], 0], [[""], 0], [["enter"], 0], [["Esc "], 0], [[1], 0], [[undefined], 0]],
            code: [[[0x89], "Intl2"], [[0x32], "\\"], [[0x51], "\u25BC"], [[0x00], ""], [[0x74], ""], [[0x86], ""], [[0xE8], ""],
                   [[0xF5], ""], [[-1], ""], [[0x104], ""], [["4"], "A"]],
            // What a button's binding shows.
            text: [[[[0, 0, 0xF3, 0]], "t6"], [[[0, 0xF0, 0x1E, 2]], "t7"], [[[0, 0, 0, 0]], "t57"],
                   [[[0, 0, 0x55, 0]], ""], [[[1, 0xF0, 10, 3]], "MS-L"], [[[2, 0x81, 0x05, 0x04]], "LCtrl+RWin+B+A"],
                   [[[3, 0, 0x83, 0x01]], "t27"], [[[3, 0, 0xE2, 0]], "t31"], [[[7, 0, 0xE0, 0x06]], "t44"],
                   [[[7, 0, 0xE0, 0x04]], "t51"], [[[7, 0, 0xE0, 0x14], "French"], "t51"], [[[8, 0, 2, 0]], "t54"],
                   [[[0xFF, 0, 1, 0]], ""], [[[4, 1, 2, 0], "English", "Macro_0"], "Macro_0"], [[[4, 1, 2, 0], "English", undefined], ""]],
            mediaCodes: [[[4], [3, 0, 0xE2, 0]]],
            shortcutCodes: [[[9, "English"], [7, 0, 0xE0, 0x04]], [[9, "French"], [7, 0, 0xE0, 0x14]],
                            [[9, "ChineseSimplified"], [7, 0, 0xE0, 0x04]]],
            normalizeBinding: [[[[5, 0, 1, 0]], [5, 0, 1, 0]], [[["4", "1", "3", "0"]], [4, 1, 3, 0]], [[[0, 0, 240]], [0, 0, 240, 0]],
                               [[[]], null], [[undefined], null], [["garbage"], null], [[["x", 0, 1, 0]], null],
                               [[[0, -1, 240, 0]], null], [[[0, 0, 300, 0]], null], [[[0, 0, 1.5, 0]], null]],
            isOnlyLeftClick: [[[KL.builtInBindings(), 0], true], [[KL.builtInBindings(), 1], false], [[two, 0], false],
                              [[two, 3], false], [[none, 0], false]],
            // Combinations: modifiers as bits, two keys at most, no repeats, no mouse buttons.
            combo: [[[[0xE0, 0xE1, 0x04]], [[2, 0x03, 0x04, 0], "LCtrl + LShift + A"]], [[[0x04, 0x05, 0x1E]], [[2, 0, 0x04, 0x05], "A + B"]],
                    [[[0xE2, 0xE2, 0x14]], [[2, 0x04, 0x14, 0], "LAlt + Q"]], [[[0x04, 0x04]], [[2, 0, 0x04, 0], "A"]],
                    [[[0xF0, 0xE7, 0xF1]], [[2, 0x80, 0, 0], "RWin"]], [[[0xE4, 0xE5, 0xE6]], [[2, 0x70, 0, 0], "RCtrl + RShift + RAlt"]]],
            // Fire periods and counts travel in one byte.
            periodFromPosition: [[[9], 10], [[3], 4], [[9.7], 10], [[-4], 1], [[400], 255], [["x"], 1]],
            clampTimes: [[[""], 0], [["0"], 0], [["5"], 5], [["999"], 255], [["-3"], 0]],
            gunPeriods: [[[["10", "12", "30", "4"], [0, 3, 1]], [10, 4, 12]], [[[undefined, undefined], [0, 1, 5]], [0, 0, 0]]],
            panelHeight: [[[20], 254]],
            keyCountFrom: [[["5"], 5], [[undefined], 8], [["12"], 8]],
            // Macro size as the device encoder counts it (limit 126 of 128 bytes).
            encodedSize: [[[[ev(0, 50), ev(0, 70)]], 2], [[[ev(1, "A"), ev(0, 30)]], 6], [[[ev(0, 9000), ev(1, "A"), ev(2, "A")]], 8],
                          [[[ev(1, "A"), ev(0, 1260), ev(2, "A")]], 8], [[[ev(1, "A"), ev(0, 1270), ev(2, "A")]], 12],
                          [[[ev(1, "A"), ev(0, 700), ev(0, 700), ev(2, "A")]], 12], [[full], 126]],
            // Recording: delays in 10 ms ticks, mouse buttons as types 3/4, refusals at the limit.
            record: [[[[], true, 0x04, "A", 25, false], ["1,A"]], [[[ev(1, "A")], false, 0x04, "A", 25, false], ["1,A", "2,A"]],
                     [[[ev(1, "A")], false, 0x04, "A", 253 / 10, true], ["1,A", "0,250", "2,A"]],
                     [[[], true, 0xF0, "MS-L", 0, false], ["3,MS-L"]], [[[ev(3, "MS-L")], false, 0xF0, "MS-L", 0, false], ["3,MS-L", "4,MS-L"]],
                     [[[], true, 0x74, "", 0, false], null], [[full, false, 0x04, "A", 0, false], null],
                     [[pairs(30), true, 0x04, "A", 200, true], null], [[pairs(30), true, 0x04, "A", 12, true], ML.toEntries(pairs(30)).concat(["0,120", "1,A"])]],
            insertDelay: [[[full, 3], null]],
            insertKey: [[[full, 3, "B"], null], [[base(), 2, "B"], ["1,A", "0,50", "2,A", "1,B", "2,B"]],
                        [[base(), 1, "B"], ["1,A", "1,B", "2,B", "0,50", "2,A"]], [[base(), 0, "B"], ["1,B", "2,B", "1,A", "0,50", "2,A"]]],
            insertMouseButton: [[[full, 3, "MS-L"], null], [[base(), 2, "MS-L"], ["1,A", "0,50", "2,A", "3,MS-L", "4,MS-L"]],
                                [[base(), 1, "MS-L"], ["1,A", "0,50", "3,MS-L", "4,MS-L", "2,A"]],
                                [[base(), 0, "MS-L"], ["1,A", "3,MS-L", "4,MS-L", "0,50", "2,A"]]],
            setDelay: [[[base(), 1, "120"], ["1,A", "0,120", "2,A"]], [[base(), 1, "0"], ["1,A", "0,0", "2,A"]],
                       [[base(), 1, "65535"], ["1,A", "0,65535", "2,A"]], [[base(), 1, "65536"], null], [[base(), 1, "abc"], null],
                       [[base(), 1, "-5"], null], [[base(), 1, ""], null],
                       [[pairs(30).concat([ev(0, 10), ev(1, "A")]), 60, "5000"], null]],
            repeatValue: [[[""], 0], [["65535"], 65535], [["99999"], 65535]],
            freeMacroName: [[[[]], "Macro_0"], [[["Macro_0", "Macro_2"]], "Macro_1"], [[["Fast", "Macro_0"]], "Macro_1"],
                            [[all], "Macro_100"]],
            namesFromStore: [[[["M", "loaderkestle"]], ["M"]], [[["M", "N", "loaderkestle"]], ["M", "N", "loaderkestle"]],
                             [[undefined], []]],
            // Macro names: no path, control or wildcard characters, no padding word, 64 characters at most.
            canRename: [["Reload", true], ["连发", true], [new Array(65).join("m"), true], ["a..b", true], ["Macro_1", false],
                        ["Macro_0", false], ["../evil", false], ["a/b", false], ["a\\b", false], ["..", false], ["   ", false],
                        [".hidden", false], ["a\nb", false], ["a\x7fb", false], ["a*b", false], ["a|b", false],
                        ["loaderkestle", false], [new Array(66).join("m"), false]].map(function (r) {
                return [[["Macro_0", "Macro_1"], r[0]], r[1]] })
        }
        var out = []
        for (var fn in table)
            table[fn].forEach(function (r) {
                out.push({ tag: fn + JSON.stringify(r[0]).substring(0, 60), fn: fn, args: r[0], out: r[1] })
            })
        return out
    }
    function test_calls(d) {
        compare((calls[d.fn] || KL[d.fn] || ML[d.fn]).apply(null, d.args), d.out)
    }

    function test_composed() {
        // Every code survives name and back except the second of a repeated name.
        var keys = createTemporaryObject(factory, testCase)
        compare([keys.keyCode.length, keys.keyCodeStr.length], [133, 133])
        keys.keyCode.forEach(function (c) { compare(keys.strTokeycode(keys.keycodeTostr(c)), c === 0x32 ? 0x31 : c === 0x89 ? 0x88 : c) })
        // Only a complete list of names is taken.
        var n = []
        for (var i = 0; i < 134; ++i)
            n.push("N" + i)
        verify(!keys.loadNames(n) && !keys.loadNames(n.slice(0, 132)) && !keys.loadNames([]) && !keys.loadNames(undefined))
        compare(keys.keycodeTostr(0xF4), "MS-B5")
        verify(keys.loadNames(n.slice(0, 133)))
        compare([keys.strTokeycode("N0"), keys.keycodeTostr(0xF4), keys.strTokeycode("A")], [0x04, "N132", 0])
        var flat = KL.flatten(KL.builtInBindings())
        compare([flat.length, flat.slice(0, 4), flat.slice(28, 32), flat.slice(60, 64)],
                [64, [0, 0, 0xF0, 0], [0, 0xF0, 0x1E, 2], [0xFF, 0, 2, 0]])
        // The page's size limit and the device encoder agree on every list.
        var list = []
        for (i = 0; i < 40; ++i) {
            list.push(ev(1 + (i % 4), "A"), ev(0, (i * 137) % 2600))
            compare(ML.encodedSize(list), MacroCodec.recordCount(ML.toEntries(list)), "at " + i)
            if (ML.encodedSize(list) <= 128)
                compare(MacroCodec.deCode(ML.toEntries(list), 1).length, ML.encodedSize(list))
        }
        compare(ML.setDelay(pairs(30).concat([ev(0, 10), ev(1, "A")]), 60, "500")[60].info, "500")
        var d = ML.insertDelay([ev(1, "A"), ev(2, "A")], 1)
        compare([ML.toEntries(d.events), d.current], [["1,A", "0,50", "2,A"], 1])
        var p = ML.parseLoaded(["1,A", "0,120", "2,A", "x,bad", "7"])
        compare([ML.toEntries(p.events), p.repeat, p.dropped, ML.parseLoaded([]).repeat], [["1,A", "0,120", "2,A"], "7", 1, null])
    }
}
