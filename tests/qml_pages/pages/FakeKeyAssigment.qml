import QtQuick

// Stands in for the assignment dialog.
Rectangle {
    property int captureMode: -1
    property var keyAssigmentLang: []
    property var calls: []

    width: 400
    height: 300
    visible: false

    function note(c) {
        var l = calls.slice()
        l.push(c)
        calls = l
    }
    function init() { note("init") }
    function open(k) {
        note("open " + k)
        visible = true
    }
    function detectKeyboard(isDown, code) { note("key " + isDown + " " + code) }
}
