import QtQuick
import QtTest
import skeld.macro
import "qrc:/modules/qml/Q7/MacroLogic.js" as ML

TestCase {
    name: "MacroLogic"

    function ev(type, info) { return { type: type, info: String(info) } }
    // n press/release pairs of A, 10 ms apart: 2 + 2 per closed action + 4.
    function pairs(n) {
        var out = []
        for (var i = 0; i < n; ++i)
            out.push(ev(1, "A"), ev(2, "A"))
        return out
    }

    function test_encodedSize_data() {
        return [
            { tag: "empty", events: [], size: 2 },
            { tag: "only delays", events: [ev(0, 50), ev(0, 70)], size: 2 },
            { tag: "single press", events: [ev(1, "A")], size: 6 },
            { tag: "single press then delay", events: [ev(1, "A"), ev(0, 30)], size: 6 },
            { tag: "press delay release delay", events: [ev(1, "A"), ev(0, 50), ev(2, "A"), ev(0, 30)], size: 8 },
            { tag: "leading delays skipped", events: [ev(0, 9000), ev(1, "A"), ev(2, "A")], size: 8 },
            { tag: "1260 ms is short", events: [ev(1, "A"), ev(0, 1260), ev(2, "A")], size: 8 },
            { tag: "1270 ms is long", events: [ev(1, "A"), ev(0, 1270), ev(2, "A")], size: 12 },
            { tag: "delays add up", events: [ev(1, "A"), ev(0, 700), ev(0, 700), ev(2, "A")], size: 12 },
            { tag: "ten pairs", events: pairs(10), size: 2 + 2 * 19 + 4 },
        ]
    }
    function test_encodedSize(d) {
        compare(ML.encodedSize(d.events), d.size)
        // The page's limit and the device encoder must agree on every list.
        compare(MacroCodec.recordCount(ML.toEntries(d.events)), d.size)
    }

    function test_sizeAgreesWithTheEncoder() {
        var list = []
        for (var i = 0; i < 40; ++i) {
            list.push(ev(1 + (i % 4), "A"))
            list.push(ev(0, (i * 137) % 2600))
            compare(ML.encodedSize(list), MacroCodec.recordCount(ML.toEntries(list)), "at " + i)
            if (ML.encodedSize(list) <= 128)
                compare(MacroCodec.deCode(ML.toEntries(list), 1).length, ML.encodedSize(list))
        }
    }

    function test_recordWithoutDelay() {
        var list = []
        list = ML.recordEvent(list, true, 0x04, "A", 25, false)
        list = ML.recordEvent(list, false, 0x04, "A", 25, false)
        compare(ML.toEntries(list), ["1,A", "2,A"])
    }

    function test_recordWithDelayRoundsToTheCounter() {
        var list = []
        list = ML.recordEvent(list, true, 0x04, "A", 7, true)
        // 253 ms since the press is 25 ticks of the 10 ms counter.
        list = ML.recordEvent(list, false, 0x04, "A", 253 / 10, true)
        compare(ML.toEntries(list), ["1,A", "0,250", "2,A"])
    }

    function test_recordMouseButtonTypes() {
        var list = ML.recordEvent([], true, 0xF0, "MS-L", 0, false)
        list = ML.recordEvent(list, false, 0xF0, "MS-L", 0, false)
        compare(ML.toEntries(list), ["3,MS-L", "4,MS-L"])
    }

    function test_recordRefusesUnnamedKeys() {
        compare(ML.recordEvent([], true, 0x74, "", 0, false), null)
    }

    function test_limitStopsRecordingAndInserting() {
        // 31 pairs: 2 + 2 * 61 + 4 = 128 would be too long; 30 pairs end at 124.
        var list = pairs(30)
        compare(ML.encodedSize(list), 124)
        list = ML.recordEvent(list, true, 0x04, "A", 0, false)
        verify(list !== null)
        compare(ML.encodedSize(list), 126)
        compare(ML.recordEvent(list, false, 0x04, "A", 0, false), null)
        compare(ML.insertDelay(list, 3), null)
        compare(ML.insertKey(list, 3, "B"), null)
        compare(ML.insertMouseButton(list, 3, "MS-L"), null)
    }

    function test_longDelayCannotOverflowTheImage() {
        // At 124 bytes a key after a long pause would need six more bytes.
        var list = pairs(30)
        compare(ML.recordEvent(list, true, 0x04, "A", 200, true), null)
        verify(ML.recordEvent(list, true, 0x04, "A", 12, true) !== null)
        // Editing a delay long is refused for the same reason.
        var withDelay = ML.copyEvents(list)
        withDelay.push(ev(0, 10), ev(1, "A"))
        compare(ML.encodedSize(withDelay), 126)
        compare(ML.setDelay(withDelay, 60, "5000"), null)
        compare(ML.setDelay(withDelay, 60, "500")[60].info, "500")
    }

    function test_insertMouseButton_data() {
        var base = [ev(1, "A"), ev(0, 50), ev(2, "A")]
        return [
            { tag: "after the last appends", current: 2, out: ["1,A", "0,50", "2,A", "3,MS-L", "4,MS-L"] },
            { tag: "after a middle event", current: 1, out: ["1,A", "0,50", "3,MS-L", "4,MS-L", "2,A"] },
            { tag: "after the first", current: 0, out: ["1,A", "3,MS-L", "4,MS-L", "0,50", "2,A"] },
        ]
    }
    function test_insertMouseButton(d) {
        var base = [ev(1, "A"), ev(0, 50), ev(2, "A")]
        compare(ML.toEntries(ML.insertMouseButton(base, d.current, "MS-L")), d.out)
    }

    function test_insertKey_data() {
        return [
            { tag: "at the last appends", current: 2, out: ["1,A", "0,50", "2,A", "1,B", "2,B"] },
            { tag: "before a middle event", current: 1, out: ["1,A", "1,B", "2,B", "0,50", "2,A"] },
            { tag: "before the first", current: 0, out: ["1,B", "2,B", "1,A", "0,50", "2,A"] },
        ]
    }
    function test_insertKey(d) {
        var base = [ev(1, "A"), ev(0, 50), ev(2, "A")]
        compare(ML.toEntries(ML.insertKey(base, d.current, "B")), d.out)
    }

    function test_insertDelayBeforeCurrent() {
        var r = ML.insertDelay([ev(1, "A"), ev(2, "A")], 1)
        compare(ML.toEntries(r.events), ["1,A", "0,50", "2,A"])
        compare(r.current, 1)
    }

    function test_setDelay_data() {
        return [
            { tag: "number", text: "120", info: "120" },
            { tag: "zero", text: "0", info: "0" },
            { tag: "largest", text: "65535", info: "65535" },
            { tag: "too large", text: "65536", info: null },
            { tag: "not a number", text: "abc", info: null },
            { tag: "negative", text: "-5", info: null },
            { tag: "empty", text: "", info: null },
        ]
    }
    function test_setDelay(d) {
        var r = ML.setDelay([ev(1, "A"), ev(0, 50), ev(2, "A")], 1, d.text)
        compare(r === null ? null : r[1].info, d.info)
    }

    function test_parseLoaded() {
        var r = ML.parseLoaded(["1,A", "0,120", "2,A", "x,bad", "7"])
        compare(ML.toEntries(r.events), ["1,A", "0,120", "2,A"])
        compare(r.repeat, "7")
        compare(r.dropped, 1)
        var empty = ML.parseLoaded([])
        compare(empty.events.length, 0)
        compare(empty.repeat, null)
    }

    function test_repeatValue_data() {
        return [
            { tag: "empty", text: "", value: 0 },
            { tag: "zero", text: "0", value: 0 },
            { tag: "one", text: "1", value: 1 },
            { tag: "max", text: "65535", value: 65535 },
            { tag: "beyond", text: "99999", value: 65535 },
        ]
    }
    function test_repeatValue(d) {
        compare(ML.repeatValue(d.text), d.value)
    }

    function test_freeName_data() {
        var all = []
        for (var i = 0; i < 100; ++i)
            all.push("Macro_" + i)
        return [
            { tag: "empty list", names: [], name: "Macro_0" },
            { tag: "gap", names: ["Macro_0", "Macro_2"], name: "Macro_1" },
            { tag: "other names", names: ["Fast", "Macro_0"], name: "Macro_1" },
            { tag: "all taken", names: all, name: "Macro_100" },
        ]
    }
    function test_freeName(d) {
        compare(ML.freeMacroName(d.names), d.name)
    }

    function test_canRename_data() {
        return [
            { tag: "fresh name", name: "Reload", ok: true },
            { tag: "existing name", name: "Macro_1", ok: false },
            { tag: "own name", name: "Macro_0", ok: false },
            { tag: "slash", name: "../evil", ok: false },
            { tag: "inner slash", name: "a/b", ok: false },
            { tag: "backslash", name: "a\\b", ok: false },
            { tag: "dot dot", name: "..", ok: false },
            { tag: "blank", name: "   ", ok: false },
            { tag: "unicode", name: "连发", ok: true },
            { tag: "leading dot", name: ".hidden", ok: false },
            { tag: "newline", name: "a\nb", ok: false },
            { tag: "delete", name: "a\x7fb", ok: false },
            { tag: "star", name: "a*b", ok: false },
            { tag: "pipe", name: "a|b", ok: false },
            { tag: "padding word", name: "loaderkestle", ok: false },
            { tag: "64 characters", name: new Array(65).join("m"), ok: true },
            { tag: "65 characters", name: new Array(66).join("m"), ok: false },
            { tag: "dots inside", name: "a..b", ok: true },
        ]
    }
    function test_canRename(d) {
        compare(ML.canRename(["Macro_0", "Macro_1"], d.name), d.ok)
    }

    function test_namesFromStore() {
        compare(ML.namesFromStore(["M", "loaderkestle"]), ["M"])
        compare(ML.namesFromStore(["M", "N", "loaderkestle"]), ["M", "N", "loaderkestle"])
        compare(ML.namesFromStore(undefined), [])
    }
}
