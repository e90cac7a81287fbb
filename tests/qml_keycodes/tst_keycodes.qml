import QtQuick
import QtTest
import "qrc:/modules/qml/basic"

TestCase {
    id: testCase
    name: "KeyCodeString"

    Component {
        id: factory
        KeyCodeString {}
    }

    function fresh() {
        return createTemporaryObject(factory, testCase)
    }

    function test_tablesPairUp() {
        var keys = fresh()
        compare(keys.keyCode.length, 133)
        compare(keys.keyCodeStr.length, 133)
        // 0x04 .. 0x73 without a gap, then the extra codes in order.
        for (var i = 0; i < 112; ++i)
            compare(keys.keyCode[i], 0x04 + i)
        compare(keys.keyCode.slice(112, 120), [0x85, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x90, 0x91])
        compare(keys.keyCode.slice(120, 128), [0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7])
        compare(keys.keyCode.slice(128), [0xF0, 0xF1, 0xF2, 0xF3, 0xF4])
    }

    function test_strTokeycode_data() {
        return [
            { tag: "repeated name gives its first code", str: "Intl2", code: 0x88 },
            { tag: "backslash gives its first code", str: "\\", code: 0x31 },
            { tag: "letter", str: "A", code: 0x04 },
            { tag: "last letter", str: "Z", code: 0x1D },
            { tag: "digit zero after nine", str: "0", code: 0x27 },
            { tag: "comma", str: ",", code: 0x36 },
            { tag: "right arrow", str: "\u25BA", code: 0x4F },
            { tag: "up arrow", str: "\u25B2", code: 0x52 },
            { tag: "keypad enter", str: "KPEnter", code: 0x58 },
            { tag: "keypad", str: "Keypad", code: 0x85 },
            { tag: "F24", str: "F24", code: 0x73 },
            { tag: "right win", str: "RWin", code: 0xE7 },
            { tag: "mouse button 5", str: "MS-B5", code: 0xF4 },
            { tag: "blank inside is no match", str: "KP /", code: 0 },
            { tag: "empty string", str: "", code: 0 },
            { tag: "case matters", str: "enter", code: 0 },
            { tag: "trailing blank is no match", str: "Esc ", code: 0 },
            { tag: "unknown name", str: "Hyper", code: 0 },
            { tag: "number is not a name", str: 1, code: 0 },
            { tag: "undefined", str: undefined, code: 0 }
        ]
    }

    function test_strTokeycode(data) {
        compare(fresh().strTokeycode(data.str), data.code)
    }

    function test_keycodeTostr_data() {
        return [
            { tag: "second Intl2", code: 0x89, str: "Intl2" },
            { tag: "first Intl2", code: 0x88, str: "Intl2" },
            { tag: "second backslash", code: 0x32, str: "\\" },
            { tag: "first backslash", code: 0x31, str: "\\" },
            { tag: "mouse button 4", code: 0xF3, str: "MS-B4" },
            { tag: "left ctrl", code: 0xE0, str: "LCtrl" },
            { tag: "down arrow", code: 0x51, str: "\u25BC" },
            { tag: "space", code: 0x2C, str: "Space" },
            { tag: "no key", code: 0x00, str: "" },
            { tag: "after F24", code: 0x74, str: "" },
            { tag: "gap before Intl1", code: 0x86, str: "" },
            { tag: "after right win", code: 0xE8, str: "" },
            { tag: "after mouse button 5", code: 0xF5, str: "" },
            { tag: "negative", code: -1, str: "" },
            { tag: "beyond a byte", code: 0x104, str: "" },
            { tag: "code as text", code: "4", str: "A" }
        ]
    }

    function test_keycodeTostr(data) {
        compare(fresh().keycodeTostr(data.code), data.str)
    }

    // Every code survives name and back, except the second of a repeated
    // name, which comes back as the first.
    function test_roundTrip() {
        var keys = fresh()
        for (var i = 0; i < keys.keyCode.length; ++i) {
            var code = keys.keyCode[i]
            var expected = code === 0x32 ? 0x31 : code === 0x89 ? 0x88 : code
            compare(keys.strTokeycode(keys.keycodeTostr(code)), expected, "code " + code)
        }
    }

    function test_loadNames_data() {
        return [
            { tag: "complete list", count: 133, taken: true },
            { tag: "short list", count: 132, taken: false },
            { tag: "long list", count: 134, taken: false },
            { tag: "empty list", count: 0, taken: false }
        ]
    }

    function test_loadNames(data) {
        var keys = fresh()
        var names = []
        for (var i = 0; i < data.count; ++i)
            names.push("N" + i)
        compare(keys.loadNames(names), data.taken)
        if (data.taken) {
            compare(keys.strTokeycode("N0"), 0x04)
            compare(keys.keycodeTostr(0xF4), "N132")
            compare(keys.strTokeycode("A"), 0)
        } else {
            compare(keys.strTokeycode("A"), 0x04)
            compare(keys.keycodeTostr(0xF4), "MS-B5")
        }
    }

    function test_loadNamesRefusesNoList() {
        var keys = fresh()
        compare(keys.loadNames(undefined), false)
        compare(keys.loadNames(null), false)
        compare(keys.keycodeTostr(0x28), "Enter")
    }
}
