import QtQuick
import QtTest
import skeld.macro 1.0

TestCase {
    name: "MacroCodec"

    function init() { MacroCodec.keyNames = [] }

    function test_deCode_data() {
        return [
            { tag: "press, 50 ms, release", entries: ["1,A", "0,50", "2,A", "0,30"], repeat: 1,
              bytes: [0x00, 0x01, 0x05, 0x04, 0x81, 0x04, 0x00, 0x00] },
            { tag: "delays only", entries: ["0,10"], repeat: 300, bytes: [0x01, 0x2C] },
            { tag: "2000 ms after a press", entries: ["1,A", "0,2000", "2,A"], repeat: 1,
              bytes: [0, 1, 0x00, 0x04, 0, 1, 0, 100, 0x81, 0x04, 0, 0] },
            { tag: "mouse button", entries: ["3,MS-M", "4,MS-M"], repeat: 2,
              bytes: [0, 2, 0x01, 0xF2, 0x81, 0xF2, 0, 0] }
        ]
    }

    function test_deCode(data) {
        compare(MacroCodec.deCode(data.entries, data.repeat), data.bytes)
        compare(MacroCodec.recordCount(data.entries), data.bytes.length)
    }

    function test_encodeStored() {
        // loadMacroIni's form: the entries, then the repeat count as text.
        compare(MacroCodec.encodeStored(["1,B", "0,20", "2,B", "5"]),
                [0, 5, 0x02, 0x05, 0x81, 0x05, 0, 0])
        compare(MacroCodec.encodeStored([]), [])
    }

    function test_languageNames() {
        var names = []
        for (var i = 0; i < 133; ++i)
            names.push("k" + i)
        MacroCodec.keyNames = names
        compare(MacroCodec.codeForName("k0"), 0x04)
        compare(MacroCodec.codeForName("A"), 0)
        compare(MacroCodec.nameForCode(0xF4), "k132")
        compare(MacroCodec.deCode(["1,k1", "2,k1"], 1), [0, 1, 1, 0x05, 0x81, 0x05, 0, 0])
    }

    function test_sizeLimit() {
        var entries = []
        for (var i = 0; i < 61; ++i)
            entries.push("1,A")
        // 2 + 60 pairs + 4: the editor refuses more at this size.
        compare(MacroCodec.recordCount(entries), 126)
    }
}
