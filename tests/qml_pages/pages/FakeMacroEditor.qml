import QtQuick

// Stands in for the macro editor: its states, signals and a record of calls.
Rectangle {
    property bool isInputting: false
    property bool isInsertting: false
    property bool macroSelected: false
    property var macroEditorLang: []
    property var calls: []
    signal deleteMacro(string macroName)
    signal modifyMacroName(string oldMacroName, string newMacroName)
    signal modifyMacroData(string macroName)

    width: 640
    height: 448
    visible: false
    color: "#1a1a1a"

    function note(c) {
        var l = calls.slice()
        l.push(c)
        calls = l
    }
    function init() { note("init") }
    function macroEditorFocus() { note("focus") }
    function detectKeyboard(isDown, code) { note("record " + isDown + " " + code) }
    function detectInput(isDown, code) { note("insert " + isDown + " " + code) }
    function sendMacro(index, name) { note("send " + index + " " + name) }
}
