import QtQuick
import QtTest

// The main document as the window loads it, with its real pages, and the
// lookups and gestures the page tests share.
TestCase {
    when: windowShown
    width: 1024
    height: 640
    visible: true // a test case hides itself, and the pages with it
    readonly property var root: loader.item

    Loader { id: loader; active: false; source: "qrc:/modules/qml/main.qml" }

    function fresh() {
        loader.active = false
        loader.active = true
        return loader.item
    }
    // A started main page: "initUI" run and its protection lifted at once;
    // what it sent on the way is cleared.
    function started() {
        var r = fresh()
        r.initUI()
        r.setProtectUI(0)
        rig.clearTrace()
        return r
    }
    function child(name, item) {
        var c = findChild(item || root, name)
        verify(c, "no item " + name)
        return c
    }
    // Drags a slider's knob so its left edge ends at pos.
    function dragTo(slider, pos) {
        var from = child("knob", slider).x + 6
        mousePress(slider, from, 3)
        mouseMove(slider, (from + pos + 6) / 2, 3)
        mouseMove(slider, pos + 6, 3)
        mouseRelease(slider, pos + 6, 3)
    }
    // Key events as the desktop hook hands them to the main page.
    function keys(list) { list.forEach(function (k) { root.detectKeyboard(k[0], k[1]) }) }
    function pairs(n) { return Array.from({ length: 2 * n }, function (v, i) { return [i % 2 === 0, 0x04] }) }
    // Replaces the text of the focused field and presses Enter.
    function typeInto(text) {
        keySequence("Ctrl+A")
        keyClick(Qt.Key_Delete)
        for (var i = 0; i < text.length; ++i)
            keyClick(text.charAt(i))
        keyClick(Qt.Key_Return)
    }
    function stored(key) { return String(ui_View.getData(key, false)) }
    // Command codes (hex) of the reports sent since the last clear, and the six
    // parameter bytes of each with a code ("SET_FEATURE 00 cc p1 .. p6 sum").
    function sentCommands() { return rig.trace().map(function (l) { return l.substr(15, 2) }) }
    function reports(code) {
        return rig.trace().filter(function (l) { return l.substr(15, 2) === code }).map(function (l) {
            return l.substr(18, 17).split(" ").map(function (p) { return parseInt(p, 16) }) })
    }
}
