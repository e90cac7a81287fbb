import QtQuick
import skeld.macro
import "MacroLogic.js" as ML
import "../common"
import "../basic"
import "../basic/Skin.js" as S

// The macro editor pop-up: the user's macros on the left, the events of the
// selected one on the right. Every change is saved to the macro file at once
// and announced, so the buttons bound to the macro get it again.
Rectangle {
    id: editor
    objectName: "macroEditor"
    width: 640
    height: 448
    color: S.gray0
    border.width: 1
    border.color: S.gray1
    visible: false
    // Opened from the assignment pop-up, the editor comes above it.
    z: 10

    // Section "macroEditor".
    property var macroEditorLang: ["Macro Editor", "Macro Name", "New", "Delete", "Action", "Stop Record", "Times",
        "OK", "Start Record", "Delay", "Delete", "Import", "Export", "Insert Delay", "Insert Key",
        "Insert Left Key", "Insert Middle Key", "Insert Right Key", "", ""]
    property var keyNames: null
    // The button assignment dialog, which offers the macro names.
    property var assignDialog: null

    property var names: []
    property int current: -1
    readonly property string currentName: current >= 0 && current < names.length ? names[current] : ""
    property var events: []
    property int eventIndex: -1
    property string repeatText: "1"
    property bool isInputting: false
    property bool isInsertting: false
    property double lastEventTime: 0
    property string insertName: ""
    property int renameRow: -1
    property int delayRow: -1

    // Key events are wanted only while recording or picking a key for the
    // insert box, and only with a macro selected.
    readonly property bool macroSelected: current >= 0
    readonly property bool recording: isInputting && current >= 0
    readonly property bool picking: isInsertting && current >= 0
    // The bridge passes desktop keys on only while a page listens.
    onRecordingChanged: ui_View.setKeyListener("macroRecording", recording)
    onPickingChanged: ui_View.setKeyListener("macroInsertBox", picking)

    signal deleteMacro(string macroName)
    signal modifyMacroName(string oldMacroName, string newMacroName)
    signal modifyMacroData(string macroName)
    signal nameListChanged(var list)
    signal closed()

    function t(i) { return macroEditorLang && macroEditorLang[i] !== undefined ? String(macroEditorLang[i]) : "" }
    function nameOf(code) {
        if (keyNames)
            return keyNames.keycodeTostr(code)
        return MacroCodec.nameForCode(code)
    }
    function measure(list) { return MacroCodec.recordCount(ML.toEntries(list)) }

    // The encoder and size counter of the device form, shared with the rest
    // of the program.
    function deCode(entries, repeat) { return MacroCodec.deCode(entries, repeat) }
    function recordCount(entries) { return MacroCodec.recordCount(entries) }

    function syncCodecNames() {
        if (keyNames && keyNames.keyCodeStr !== undefined)
            MacroCodec.keyNames = keyNames.keyCodeStr
    }

    function centre() {
        if (!parent)
            return
        x = Math.round((parent.width - width) / 2)
        y = Math.round((parent.height - height) / 2)
    }

    function init() {
        syncCodecNames()
        names = ML.namesFromStore(ui_View.getNameList(0))
        current = -1
        events = []
        publishNames()
    }

    // The dialog may be made after the list was read: it gets the names then.
    onAssignDialogChanged: {
        if (assignDialog)
            assignDialog.setMacroNames(names)
    }
    function publishNames() {
        if (assignDialog)
            assignDialog.setMacroNames(names)
        nameListChanged(names)
    }
    function storeNames() {
        ui_View.updataNameList(0, names)
        publishNames()
    }

    function open() {
        eventIndex = -1
        visible = true
    }
    // Opened with nothing selected, the first macro is: the buttons then
    // act on something the user can see.
    onVisibleChanged: {
        if (visible && current < 0 && names.length > 0)
            selectMacro(0)
    }
    // Title/button, question ("%1" is the name) and cancel of the delete
    // confirmation.
    property var confirmLang: ["Delete", "Delete \"%1\"?", "Cancel"]
    // A macro goes only after the user said so.
    function askDeleteCurrent() {
        if (current < 0)
            return
        deleteConfirm.message = String(confirmLang[1]).replace("%1", currentName)
        deleteConfirm.visible = true
    }
    // Said when Start Record has no macro to record into.
    property string noMacroText: "Select a macro or make a new one first."
    function close() {
        macroEditorFocus()
        if (isInputting)
            stopRecord()
        isInsertting = false
        visible = false
        closed()
    }

    // Ends text editing and closes the menus.
    function macroEditorFocus() {
        commitRename()
        commitDelay()
        repeatField.endInput()
        macroMenu.visible = false
        eventMenu.visible = false
    }

    function selectMacro(i) {
        current = i
        eventIndex = -1
        if (i < 0 || i >= names.length) {
            events = []
            return
        }
        var r = ML.parseLoaded(ui_View.loadMacroIni(names[i]))
        if (r.dropped > 0)
            console.warn("config: macro", names[i], "has", r.dropped, "unreadable entries; they are left out")
        events = r.events
        if (r.repeat !== null)
            repeatText = String(ML.repeatValue(r.repeat))
    }

    function autoSave() {
        if (current < 0)
            return
        var name = currentName
        if (!ui_View.saveMacroIni(name, ML.toEntries(events), ML.repeatValue(repeatText)))
            console.warn("config: the file of macro", name, "is gone; the edit is not stored")
        modifyMacroData(name)
    }

    function setEvents(list) {
        if (list === null)
            return false
        // A new list would put the view back at the top, away from the edit.
        var keep = eventList.contentY
        events = list
        eventList.forceLayout()
        eventList.contentY = Math.max(0, Math.min(keep, eventList.contentHeight - eventList.height))
        autoSave()
        return true
    }

    // Recording ---------------------------------------------------------------

    function startRecord() {
        if (current < 0)
            return
        events = []
        eventIndex = -1
        lastEventTime = Date.now()
        isInputting = true
    }
    function stopRecord() {
        isInputting = false
        autoSave()
    }
    function toggleRecord() {
        if (!isInputting && current < 0) {
            noMacroHint.visible = true
            noMacroTimer.restart()
            return
        }
        if (isInputting)
            stopRecord()
        else
            startRecord()
    }

    // One key event routed by the main page while recording.
    function detectKeyboard(isDown, usbCode) {
        if (!recording)
            return
        var code = Number(usbCode)
        var now = Date.now()
        // The delay is the time since the previous event, counted in 10 ms.
        var ticks = events.length === 0 ? 0 : Math.floor((now - lastEventTime) / 10)
        var r = ML.recordEvent(events, isDown, code, nameOf(code), ticks, delayBox.checked, measure)
        if (r === null)
            return
        events = r
        lastEventTime = now
        eventList.positionViewAtEnd()
    }

    // A key pressed while the key-insert box is open.
    function detectInput(isDown, usbCode) {
        var code = Number(usbCode)
        if (!picking || !isDown || !(code > 0) || code >= 0xF0)
            return
        insertName = nameOf(code)
    }

    // Event list actions ------------------------------------------------------

    function removeCurrentEvent() {
        var r = ML.removeEvent(events, eventIndex)
        if (setEvents(r))
            eventIndex = Math.min(eventIndex, events.length - 1)
    }
    function insertDelayHere() {
        var r = ML.insertDelay(events, eventIndex, measure)
        if (r !== null && setEvents(r.events))
            eventIndex = r.current
    }
    function openInsertBox() {
        if (current < 0 || !ML.canGrow(events, measure))
            return
        insertName = ""
        isInsertting = true
    }
    function confirmInsertKey() {
        isInsertting = false
        if (insertName !== "")
            setEvents(ML.insertKey(events, eventIndex, insertName, measure))
    }
    function insertMouse(code) {
        setEvents(ML.insertMouseButton(events, eventIndex, nameOf(code), measure))
    }
    function eventMenuAction(row) {
        eventMenu.visible = false
        switch (row) {
        case 0: removeCurrentEvent(); break
        case 1: insertDelayHere(); break
        case 2: openInsertBox(); break
        case 3: insertMouse(0xF0); break
        case 4: insertMouse(0xF2); break
        case 5: insertMouse(0xF1); break
        }
    }

    function editDelay(i) {
        if (i < 0 || i >= events.length || events[i].type !== ML.DELAY)
            return
        delayRow = i
    }
    function commitDelay(text) {
        if (delayRow < 0)
            return
        var row = delayRow
        delayRow = -1
        if (text === undefined)
            text = delayInputText
        setEvents(ML.setDelay(events, row, text, measure))
    }
    property string delayInputText: ""

    function repeatEntered(text) {
        repeatText = String(ML.repeatValue(text))
        repeatField.text = repeatText
        autoSave()
    }

    // Macro list actions --------------------------------------------------------

    function newMacro() {
        if (names.length >= ML.MAX_MACROS)
            return false
        var name = ML.freeMacroName(names)
        var n = names.slice()
        n.push(name)
        names = n
        ui_View.createMacroIni(name, 0)
        selectMacro(names.length - 1)
        storeNames()
        return true
    }

    function deleteCurrent() {
        if (current < 0)
            return false
        var name = currentName
        ui_View.deleteMacroIni(name)
        events = []
        deleteMacro(name)
        var n = names.slice()
        var at = current
        n.splice(at, 1)
        names = n
        selectMacro(ML.selectionAfterDelete(at, n.length + 1))
        storeNames()
        return true
    }

    function importMacro() {
        if (names.length >= ML.MAX_MACROS)
            return false
        var name = ML.freeMacroName(names)
        var n = names.slice()
        var at = current >= 0 ? current : n.length
        n.splice(at, 0, name)
        names = n
        if (!ui_View.loadMacroFile(name))
            ui_View.createMacroIni(name, 0)
        selectMacro(at)
        storeNames()
        return true
    }

    function exportCurrent() {
        if (current >= 0)
            ui_View.saveMacroFile(currentName)
    }

    // Renames entry i unless the text is taken, unusable as a file name, or
    // a macro file of that name is already there.
    function renameMacro(i, text) {
        if (i < 0 || i >= names.length)
            return false
        var newName = String(text)
        if (!ML.canRename(names, newName) || ui_View.loadMacroIni(newName).length > 0)
            return false
        var oldName = names[i]
        modifyMacroName(oldName, newName)
        var n = names.slice()
        n[i] = newName
        names = n
        storeNames()
        return true
    }
    property string renameInputText: ""
    function commitRename() {
        if (renameRow < 0)
            return
        var row = renameRow
        renameRow = -1
        renameMacro(row, renameInputText)
    }

    function macroMenuAction(row) {
        macroMenu.visible = false
        switch (row) {
        case 0: askDeleteCurrent(); break
        case 1: importMacro(); break
        case 2: exportCurrent(); break
        }
    }

    // Encodes a stored macro and writes it into device slot index + 1.
    function sendMacro(index, macroName) {
        syncCodecNames()
        var loaded = ui_View.loadMacroIni(macroName)
        if (loaded.length === 0) {
            console.warn("config: macro", macroName, "has no file; nothing sent to slot", index)
            return false
        }
        ui_View.mouseSendMacroData(MacroCodec.encodeStored(loaded), index)
        return true
    }

    // Background: dragging moves the page; a press ends editing.
    MouseArea {
        anchors.fill: parent
        drag.target: editor
        drag.minimumX: 0
        drag.minimumY: 0
        drag.maximumX: editor.parent ? editor.parent.width - editor.width : 0
        drag.maximumY: editor.parent ? editor.parent.height - editor.height : 0
        onPressed: editor.macroEditorFocus()
    }

    Item {
        width: parent.width
        height: 40
        Text {
            x: 16
            height: parent.height
            verticalAlignment: Text.AlignVCenter
            text: editor.t(0)
            color: S.text
            font.family: S.fontFamily
            font.pixelSize: S.fontMax
            font.bold: true
        }
        IconButton {
            objectName: "macroClose"
            x: parent.width - 36
            y: 8
            glyph: "✕"
            onClicked: editor.close()
        }
        Rectangle {
            y: 39
            width: parent.width
            height: 1
            color: S.highlight
        }
    }

    // Macro list ----------------------------------------------------------------
    Text {
        x: 16
        y: 46
        height: 24
        verticalAlignment: Text.AlignVCenter
        text: editor.t(1)
        color: S.gray3
        font.family: S.fontFamily
        font.pixelSize: S.fontNormal
    }
    Rectangle {
        x: 16
        y: 72
        width: 168
        height: 328
        color: S.black
        border.width: 1
        border.color: S.gray1
        ListView {
            id: macroListView
            objectName: "macroListView"
            anchors.fill: parent
            anchors.margins: 1
            clip: true
            model: editor.names
            boundsBehavior: Flickable.StopAtBounds
            delegate: Rectangle {
                id: macroRow
                required property int index
                required property var modelData
                objectName: "macroRow" + index
                width: macroListView.width
                height: 27
                color: index === editor.current ? S.highlight : (rowArea.containsMouse ? S.gray1 : "transparent")
                Text {
                    x: 8
                    width: parent.width - 16
                    height: parent.height
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                    visible: editor.renameRow !== macroRow.index
                    text: String(macroRow.modelData)
                    color: S.text
                    font.family: S.fontFamily
                    font.pixelSize: S.fontNormal
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onPressed: editor.commitDelay()
                    onClicked: function (m) {
                        if (editor.renameRow >= 0 && editor.renameRow !== macroRow.index)
                            editor.commitRename()
                        if (macroRow.index !== editor.current)
                            editor.selectMacro(macroRow.index)
                        if (m.button === Qt.RightButton) {
                            var p = mapToItem(editor, m.x, m.y)
                            macroMenu.x = p.x
                            macroMenu.y = p.y
                            macroMenu.visible = true
                        }
                    }
                    onDoubleClicked: function (m) {
                        if (m.button !== Qt.LeftButton)
                            return
                        editor.renameInputText = String(macroRow.modelData)
                        editor.renameRow = macroRow.index
                        renameInput.forceActiveFocus()
                        renameInput.selectAll()
                    }
                }
                TextInput {
                    id: renameInput
                    objectName: "renameInput"
                    x: 8
                    width: parent.width - 16
                    height: parent.height
                    verticalAlignment: TextInput.AlignVCenter
                    visible: editor.renameRow === macroRow.index
                    text: editor.renameInputText
                    onTextEdited: editor.renameInputText = text
                    color: S.text
                    selectionColor: S.accent
                    font.family: S.fontFamily
                    font.pixelSize: S.fontNormal
                    maximumLength: 64
                    clip: true
                    Keys.onReturnPressed: editor.commitRename()
                    Keys.onEnterPressed: editor.commitRename()
                }
            }
        }
    }
    PageButton {
        objectName: "macroNew"
        x: 16
        y: 412
        text: editor.t(2)
        onClicked: editor.newMacro()
    }
    PageButton {
        objectName: "macroDelete"
        x: 120
        y: 412
        text: editor.t(3)
        onClicked: editor.askDeleteCurrent()
    }

    // Event list --------------------------------------------------------------
    Text {
        x: 200
        y: 46
        height: 24
        verticalAlignment: Text.AlignVCenter
        text: editor.t(4)
        color: S.gray3
        font.family: S.fontFamily
        font.pixelSize: S.fontNormal
    }
    Rectangle {
        x: 200
        y: 72
        width: 424
        height: 328
        color: S.black
        border.width: 1
        border.color: S.gray1
        ListView {
            id: eventList
            objectName: "eventList"
            anchors.fill: parent
            anchors.margins: 1
            clip: true
            model: editor.events
            boundsBehavior: Flickable.StopAtBounds
            delegate: Rectangle {
                id: eventRow
                required property int index
                required property var modelData
                readonly property bool isDelay: modelData.type === ML.DELAY
                readonly property bool isPress: modelData.type === ML.KEY_DOWN || modelData.type === ML.MOUSE_DOWN
                objectName: "eventRow" + index
                width: eventList.width
                height: 24
                color: index === editor.eventIndex ? S.gray1 : "transparent"
                Text {
                    x: 8
                    width: 32
                    height: parent.height
                    verticalAlignment: Text.AlignVCenter
                    text: String(eventRow.index + 1)
                    color: S.gray2
                    font.family: S.fontFamily
                    font.pixelSize: S.fontMin
                }
                Text {
                    x: 44
                    width: 24
                    height: parent.height
                    verticalAlignment: Text.AlignVCenter
                    text: eventRow.isDelay ? "◷" : (eventRow.isPress ? "↓" : "↑")
                    color: eventRow.isDelay ? S.accent : (eventRow.isPress ? S.highlight : S.gray3)
                    font.pixelSize: S.fontMiddle
                    font.bold: true
                }
                Text {
                    x: 72
                    width: parent.width - 80
                    height: parent.height
                    verticalAlignment: Text.AlignVCenter
                    visible: editor.delayRow !== eventRow.index
                    text: eventRow.isDelay ? ML.delayText(eventRow.modelData.info) : String(eventRow.modelData.info)
                    color: S.text
                    font.family: S.fontFamily
                    font.pixelSize: S.fontNormal
                }
                MouseArea {
                    anchors.fill: parent
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onPressed: function (m) {
                        if (editor.delayRow >= 0 && editor.delayRow !== eventRow.index)
                            editor.commitDelay()
                        editor.commitRename()
                        editor.eventIndex = eventRow.index
                        if (m.button === Qt.RightButton) {
                            var p = mapToItem(editor, m.x, m.y)
                            eventMenu.x = Math.min(p.x, editor.width - eventMenu.width - 4)
                            eventMenu.y = Math.min(p.y, editor.height - eventMenu.height - 4)
                            eventMenu.visible = true
                        }
                    }
                    onDoubleClicked: {
                        if (!eventRow.isDelay)
                            return
                        editor.delayInputText = String(eventRow.modelData.info)
                        editor.editDelay(eventRow.index)
                        delayInput.forceActiveFocus()
                        delayInput.selectAll()
                    }
                }
                TextInput {
                    id: delayInput
                    objectName: "delayInput"
                    x: 72
                    width: 80
                    height: parent.height
                    verticalAlignment: TextInput.AlignVCenter
                    visible: editor.delayRow === eventRow.index
                    text: editor.delayInputText
                    onTextEdited: editor.delayInputText = text
                    validator: IntValidator { bottom: 0; top: 65535 }
                    color: S.text
                    selectionColor: S.accent
                    font.family: S.fontFamily
                    font.pixelSize: S.fontNormal
                    Keys.onReturnPressed: editor.commitDelay()
                    Keys.onEnterPressed: editor.commitDelay()
                }
            }
        }
    }

    Rectangle {
        id: noMacroHint
        objectName: "noMacroHint"
        visible: false
        z: 10
        x: 200
        y: 412 - height - 6
        width: hintText.implicitWidth + 16
        height: 24
        radius: 2
        color: S.gray1
        border.width: 1
        border.color: S.highlight
        Text {
            id: hintText
            anchors.centerIn: parent
            text: editor.noMacroText
            color: S.text
            font.family: S.fontFamily
            font.pixelSize: S.fontNormal
        }
        Timer {
            id: noMacroTimer
            interval: 3000
            onTriggered: noMacroHint.visible = false
        }
    }
    PageButton {
        objectName: "recordButton"
        x: 200
        y: 412
        width: 100
        text: editor.isInputting ? editor.t(5) : editor.t(8)
        idleColor: editor.isInputting ? S.highlight : S.button
        onClicked: editor.toggleRecord()
    }
    // Fits between the record button and the field in every language.
    Text {
        objectName: "repeatLabel"
        x: 304
        y: 412
        width: 64
        height: 24
        horizontalAlignment: Text.AlignRight
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: S.fontMin
        verticalAlignment: Text.AlignVCenter
        text: editor.t(6)
        color: S.gray3
        font.family: S.fontFamily
        font.pixelSize: S.fontNormal
    }
    NumberField {
        id: repeatField
        objectName: "repeatField"
        x: 372
        y: 414
        minimum: 1
        maximum: 65535
        maximumLength: 5
        text: editor.repeatText
        onEndInputSignal: editor.repeatEntered(text)
    }
    CheckBox {
        id: delayBox
        objectName: "delayBox"
        x: 440
        y: 416
        text: editor.t(9)
    }

    // Context menus -------------------------------------------------------------
    component MenuRow: Rectangle {
        id: mr
        property alias text: label.text
        signal picked()
        height: 24
        color: mrArea.containsMouse ? S.highlight : "transparent"
        Text {
            id: label
            x: 8
            height: parent.height
            verticalAlignment: Text.AlignVCenter
            color: S.text
            font.family: S.fontFamily
            font.pixelSize: S.fontNormal
        }
        MouseArea {
            id: mrArea
            anchors.fill: parent
            hoverEnabled: true
            onClicked: mr.picked()
        }
    }
    Rectangle {
        id: macroMenu
        objectName: "macroMenu"
        width: 80
        height: 72
        visible: false
        z: 50
        color: S.gray1
        border.width: 1
        border.color: S.gray2
        Column {
            Repeater {
                model: [10, 11, 12]
                MenuRow {
                    required property int index
                    required property var modelData
                    width: 80
                    text: editor.t(modelData)
                    onPicked: editor.macroMenuAction(index)
                }
            }
        }
    }
    Rectangle {
        id: eventMenu
        objectName: "eventMenu"
        width: 150
        height: 144
        visible: false
        z: 50
        color: S.gray1
        border.width: 1
        border.color: S.gray2
        Column {
            Repeater {
                model: [10, 13, 14, 15, 16, 17]
                MenuRow {
                    required property int index
                    required property var modelData
                    width: 150
                    text: editor.t(modelData)
                    onPicked: editor.eventMenuAction(index)
                }
            }
        }
    }

    // Key-insert box, over a mask that covers the editor.
    Rectangle {
        anchors.fill: parent
        visible: editor.isInsertting
        z: 60
        color: Qt.rgba(0, 0, 0, 144 / 255)
        MouseArea { anchors.fill: parent }
        Rectangle {
            objectName: "insertBox"
            width: 240
            height: 80
            x: (editor.parent ? (editor.parent.width - width) / 2 - editor.x : (editor.width - width) / 2)
            y: (editor.parent ? (editor.parent.height - height) / 2 - editor.y : (editor.height - height) / 2)
            color: S.gray0
            border.width: 1
            border.color: S.highlight
            Text {
                x: 12
                y: 6
                text: editor.t(14)
                color: S.text
                font.family: S.fontFamily
                font.pixelSize: S.fontNormal
                font.bold: true
            }
            Rectangle {
                x: 12
                y: 44
                width: 140
                height: 25
                color: S.gray1
                Text {
                    anchors.centerIn: parent
                    text: editor.insertName
                    color: S.text
                    font.family: S.fontFamily
                    font.pixelSize: S.fontNormal
                }
            }
            PageButton {
                objectName: "insertOk"
                x: 164
                y: 44
                width: 64
                height: 25
                text: editor.t(7)
                onClicked: editor.confirmInsertKey()
            }
        }
    }

    MessageBox {
        id: deleteConfirm
        objectName: "macroDeleteConfirm"
        visible: false
        z: 20
        x: Math.round((parent.width - width) / 2)
        y: Math.round((parent.height - height) / 2)
        title: editor.confirmLang[0]
        okText: editor.confirmLang[0]
        cancelText: editor.confirmLang[2]
        onAccepted: {
            visible = false
            editor.deleteCurrent()
        }
        onRejected: visible = false
    }
}
