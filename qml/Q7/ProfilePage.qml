import QtQuick
import "../basic"
import "../common"
import "../basic/Skin.js" as Skin
import "../basic/PageLogic.js" as Logic

// The user's profiles by name: create, rename, delete, import, export. The
// list is also what the main page's profile drop-down offers.
PopupPage {
    id: page

    property var profileLang: ["config", "New", "Import", "Delete", "Export", "Standard",
        "", "", "", "", "", "", "", "", "", "", "", "", "", ""]
    // The active profile number; -1 until the main page sets it.
    property int profileNo: -1
    // Entries { name, number }; always replaced whole so bindings follow.
    property var entries: []
    property int currentRow: 0
    property int editingRow: -1
    readonly property var names: entries.map(function (e) { return e.name })
    readonly property int activeRow: Logic.profileRow(entries, profileNo)
    property alias menu: contextMenu
    property alias listView: list

    signal changeProfile(int tmpProfileNo)

    // Title/button, question ("%1" is the name) and cancel of the delete
    // confirmation.
    property var confirmLang: ["Delete", "Delete \"%1\"?", "Cancel"]

    // Asks before a profile goes; rows that cannot go are not asked about.
    function askDelete(row) {
        if (!Logic.canDeleteProfile(entries, row, profileNo))
            return
        confirmBox.row = row
        confirmBox.message = String(confirmLang[1]).replace("%1", entries[row].name)
        confirmBox.visible = true
    }

    width: 415
    height: 288
    title: profileLang[0]
    visible: false

    onCloseClicked: {
        profileFocus()
        visible = false
    }
    onBackgroundPressed: profileFocus()

    function init() {
        var parsed = Logic.parseProfiles(ui_View.getNameList(2))
        if (parsed.length === 0)
            parsed = [{ name: profileLang[5], number: 0 }]
        var row = Logic.profileRow(parsed, profileNo)
        currentRow = row >= 0 ? row : 0
        parsed[0] = { name: profileLang[5], number: parsed[0].number }
        entries = parsed
        store()
    }

    function store() {
        ui_View.updataNameList(2, Logic.profileStrings(entries))
    }

    // End a rename and close the menu.
    function profileFocus() {
        if (editingRow >= 0)
            finishRename()
        contextMenu.visible = false
    }

    function addEntry() {
        var name = Logic.newProfileName(entries)
        var number = Logic.newProfileNumber(entries)
        if (entries.length < Logic.maxProfiles) {
            var list = entries.slice()
            list.push({ name: name, number: number })
            entries = list
            currentRow = list.length - 1
            store()
        }
        return number
    }

    function newProfile() {
        profileFocus()
        var number = addEntry()
        ui_View.resetProfile(number)
    }

    function importProfile() {
        profileFocus()
        var before = entries.length
        var listBefore = entries
        var rowBefore = currentRow
        addEntry()
        // The profile behind the current row takes the file, whether that
        // is the new entry or, with a full list, the row the user is on.
        var number = entries[currentRow].number
        var loaded = ui_View.loadProfile(number)
        // Cancelled (or unreadable): no entry appears for it.
        if (!loaded && entries.length !== before) {
            entries = listBefore
            currentRow = rowBefore
            store()
            return
        }
        // Replacing the profile in use: the pages must show what came in.
        if (loaded && entries.length === before && number === profileNo)
            changeProfile(number)
    }

    function deleteRow(row) {
        if (!Logic.canDeleteProfile(entries, row, profileNo))
            return false
        var list = entries.slice()
        list.splice(row, 1)
        entries = list
        if (currentRow >= list.length)
            currentRow = list.length - 1
        store()
        return true
    }

    function exportRow(row) {
        if (row < 0 || row >= entries.length)
            return
        ui_View.saveProfile(entries[row].number)
    }

    function startRename(row) {
        contextMenu.visible = false
        currentRow = row
        editingRow = row
    }

    function rename(row, text) {
        var name = String(text)
        if (row < 0 || row >= entries.length || name.trim() === "" || !Logic.profileNameFree(entries, name))
            return false
        var list = entries.slice()
        list[row] = { name: name, number: list[row].number }
        entries = list
        store()
        return true
    }

    function finishRename() {
        var row = editingRow
        var item = list.itemAtIndex(row)
        editingRow = -1
        if (item)
            rename(row, item.editText)
    }

    Rectangle {
        id: frame
        x: 16
        y: 14
        width: parent.width - 32
        height: 6 * 27 + 2
        color: Skin.black
        border.width: 1
        border.color: Skin.gray1

        ListView {
            id: list
            objectName: "profileList"
            x: 1
            y: 1
            width: parent.width - 2
            height: parent.height - 2
            clip: true
            interactive: false
            model: page.entries.length
            delegate: Rectangle {
                id: row
                required property int index
                readonly property var entry: page.entries[index]
                readonly property bool editing: page.editingRow === index
                property alias editText: editor.text
                width: list.width
                height: 27
                color: index === page.currentRow ? Skin.gray1 : (rowArea.containsMouse ? "#262626" : "transparent")

                Rectangle {
                    x: 10
                    anchors.verticalCenter: parent.verticalCenter
                    width: 6
                    height: 6
                    radius: 3
                    color: Skin.highlight
                    visible: row.entry && row.entry.number === page.profileNo
                }
                Text {
                    x: 24
                    width: parent.width - 32
                    anchors.verticalCenter: parent.verticalCenter
                    visible: !row.editing
                    text: row.entry ? row.entry.name : ""
                    elide: Text.ElideRight
                    color: Skin.text
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontNormal
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onPressed: function (mouse) {
                        if (page.editingRow >= 0 && page.editingRow !== row.index)
                            page.finishRename()
                        page.currentRow = row.index
                        if (mouse.button === Qt.RightButton) {
                            var p = mapToItem(page, mouse.x, mouse.y)
                            contextMenu.x = Math.min(p.x, page.width - contextMenu.width)
                            contextMenu.y = Math.min(p.y, page.height - contextMenu.height)
                            contextMenu.visible = true
                        } else {
                            contextMenu.visible = false
                        }
                    }
                    onDoubleClicked: function (mouse) {
                        if (mouse.button === Qt.LeftButton)
                            page.startRename(row.index)
                    }
                }
                Rectangle {
                    x: 20
                    width: parent.width - 28
                    height: 21
                    anchors.verticalCenter: parent.verticalCenter
                    visible: row.editing
                    color: Skin.gray0
                    border.width: 1
                    border.color: Skin.highlight
                    TextInput {
                        id: editor
                        anchors.fill: parent
                        anchors.leftMargin: 4
                        anchors.rightMargin: 4
                        verticalAlignment: TextInput.AlignVCenter
                        clip: true
                        maximumLength: 24
                        color: Skin.text
                        selectionColor: Skin.highlight
                        selectByMouse: true
                        font.family: Skin.fontFamily
                        font.pixelSize: Skin.fontNormal
                        Keys.onReturnPressed: page.finishRename()
                        Keys.onEnterPressed: page.finishRename()
                        Keys.onEscapePressed: page.editingRow = -1
                    }
                }
                onEditingChanged: {
                    if (editing) {
                        editor.text = entry ? entry.name : ""
                        editor.forceActiveFocus()
                        editor.selectAll()
                    }
                }
            }
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 16
        y: frame.y + frame.height + 20
        spacing: 12
        SkinButton {
            objectName: "newButton"
            width: 88
            text: page.profileLang[1]
            onClicked: page.newProfile()
        }
        SkinButton {
            objectName: "importButton"
            width: 88
            text: page.profileLang[2]
            onClicked: page.importProfile()
        }
    }

    // Right-click menu of a row.
    Rectangle {
        id: contextMenu
        objectName: "profileMenu"
        parent: page
        visible: false
        z: 10
        width: 100
        height: 48
        color: Skin.gray1
        border.width: 1
        border.color: Skin.gray2
        Column {
            Repeater {
                model: 2
                Rectangle {
                    required property int index
                    objectName: index === 0 ? "menuDelete" : "menuExport"
                    width: 100
                    height: 24
                    color: itemArea.containsMouse ? Skin.highlight : "transparent"
                    Text {
                        x: 10
                        anchors.verticalCenter: parent.verticalCenter
                        text: page.profileLang[index === 0 ? 3 : 4]
                        color: Skin.text
                        font.family: Skin.fontFamily
                        font.pixelSize: Skin.fontNormal
                    }
                    MouseArea {
                        id: itemArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: {
                            contextMenu.visible = false
                            if (index === 0)
                                page.askDelete(page.currentRow)
                            else
                                page.exportRow(page.currentRow)
                        }
                    }
                }
            }
        }
    }

    MessageBox {
        id: confirmBox
        objectName: "deleteConfirm"
        property int row: -1
        visible: false
        z: 20
        width: parent.width - 16
        x: 8
        y: Math.round((parent.height - height) / 2)
        title: page.confirmLang[0]
        okText: page.confirmLang[0]
        cancelText: page.confirmLang[2]
        onAccepted: {
            visible = false
            page.deleteRow(row)
        }
        onRejected: visible = false
    }
}
