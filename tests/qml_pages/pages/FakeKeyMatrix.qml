import QtQuick

// Stands in for the button list until its page arrives: the part of it the
// main page talks to, with a record of the calls.
Rectangle {
    property bool isSave: false
    property var keyMatrixLang: []
    property var keyCodes: []
    property var loadedKeyCodes: []
    property var texts: []
    property var calls: []
    signal entryEntered(int i)
    signal entryExited(int i)
    signal entryClicked(int i)

    width: 232
    height: 254
    color: "black"

    function note(c) {
        var l = calls.slice()
        l.push(c)
        calls = l
    }
    function init(isSendData, isRecovery) { note("init " + isSendData + " " + isRecovery) }
    function saveData(isSendData) { note("saveData " + isSendData) }
    function restoreBinding(i) {
        var k = keyCodes.slice()
        k[i] = loadedKeyCodes[i]
        keyCodes = k
    }
    function setBindingText(i, text) {
        var t = texts.slice()
        t[i] = text
        texts = t
    }
}
