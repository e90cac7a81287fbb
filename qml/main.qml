import QtQuick
import "basic"
import "common"
import "Q7"
import "basic/Skin.js" as Skin
import "basic/PageLogic.js" as Logic

// The root document. It lays out the panels, hosts the pop-up pages, and
// owns the hand-shake with the native side: "initUI", "run",
// "setProtectUI", "setCurrentDPI", "detectKeyboard", "detectMouse".
//
// Pages of the button assignment, the mouse picture, the macro editor and
// the gun page plug into the Loaders named *Hook below. What this page
// expects of them:
//   keyMatrixHook.item:    isSave, keyCodes (16 x [kind, c1, c2, c3]),
//                          init(isSendData, isRecovery), saveData(isSendData),
//                          restoreBinding(i), setBindingText(i, text),
//                          signals entryEntered(i), entryExited(i), entryClicked(i)
//   mouseHook.item:        keyCount, markedButton, signal buttonClicked(i)
//   keyAssigmentHook.item: visible, captureMode (-1 none, 0 fire key,
//                          1 combination), init(), open(k),
//                          detectKeyboard(isDown, usbCode)
//   macroEditorHook.item:  visible, isInputting, isInsertting, macroSelected,
//                          init(), macroEditorFocus(), detectKeyboard(...),
//                          detectInput(...), sendMacro(index, name),
//                          signals deleteMacro(name), modifyMacroName(old, new),
//                          modifyMacroData(name)
//   gunHook.item:          init(), slotPeriods()
// The assignment dialog and the macro editor are made when first opened,
// the gun presets when the key matrix first needs their fire periods.
// A page's texts reach it as the property named after its language section
// plus "Lang" (keyMatrixLang, keyAssigmentLang, macroEditorLang, ...).
Item {
    id: root
    width: 1024
    height: 640
    visible: false

    // --- page-wide properties --------------------------------------------------
    property bool isColorful: false
    property bool isGun: true
    property string icType: "553"
    property bool is55328: false
    property string language: "ChineseSimplified"
    property bool isPownOn: false
    property int keyCount: 8
    property string productName: ""
    property string makerUrl: "https://skeld.example.com"

    readonly property string fontFamily: Skin.fontFamily
    readonly property int fontNormal: Skin.fontNormal
    readonly property int fontMiddle: Skin.fontMiddle
    readonly property int fontMax: Skin.fontMax
    readonly property int fontMin: Skin.fontMin
    readonly property color textColor: Skin.text
    readonly property color gray0: Skin.gray0
    readonly property color gray1: Skin.gray1
    readonly property color gray2: Skin.gray2
    readonly property color gray3: Skin.gray3
    readonly property color buttonColor: Skin.button
    readonly property color highlightColor: Skin.highlight
    readonly property color blackColor: Skin.black
    readonly property color accentColor: Skin.accent

    // The profile in use (0..5).
    property int activeProfile: 0
    // Hidden until the first busy protection has run out.
    property bool panelsShown: false
    // Input is locked (busy protection or a multi-step action running).
    property bool isLock: false
    readonly property bool anyUnsaved: dpiSetting.isSave || lightControl.isSave
        || (keyMatrixHook.item ? keyMatrixHook.item.isSave === true : false)

    // --- texts -----------------------------------------------------------------
    readonly property var builtInMain: ["Editor", "Macro Editor", "Gun Editor", "Report Rate", "Config", "Reset",
        "Reset factory setting", "Cancel", "OK", "System setting", "Save", "LOD", "", "", ""]
    property var mainLang: builtInMain
    property var keyMatrixLang: ["Key ", "Key Function"]
    property var systemSettingLang: ["System Setting", "Mouse Speed", "Double Click Speed", "Slow", "Fast",
        "Scroll Speed", "Number of Rows", "Scroll one Screen", "", "", "", "", "", "", ""]
    property var keyAssigmentLang: []
    property var macroEditorLang: []
    property var gunControlLang: []
    property var keyCodeLang: []
    property var otherLang: []
    // Texts of the desktop side: tray, connection state, questions.
    readonly property var builtInDesktop: ["Show", "Quit (&Q)", "No mouse connected",
        "Saved on this computer; sent when the mouse is connected.", "Saved and sent to the mouse.",
        "Unsaved changes", "Save the changes to this profile?", "Save", "Discard", "Cancel", "Language",
        "Delete \"%1\"?", "Delete", "Select a macro or make a new one first.",
        "Kept on this computer only",
        "Saved on this computer only: this mouse has no slot for this profile."]
    property var desktopLang: builtInDesktop

    // A mouse is connected (the bridge follows the device check and removal).
    readonly property bool connected: typeof ui_View !== "undefined" && ui_View.connected === true
    // A connected mouse that has no slot for the current profile: it stays on the computer.
    readonly property bool profileOnComputerOnly: connected && ui_View.profileOnDevice === false
    // What to do once the unsaved-changes question is answered.
    property var pendingAction: null
    // Saved while no mouse was there: the next connection gets the profile.
    property bool sendOnConnect: false

    // Key names by usage code, in the language's names once loaded.
    property alias keyCodeString: keyCodeString

    signal msg_KB(bool isDown, int usbCode)
    signal uiLocked()

    // --- native side -> UI ---------------------------------------------------------
    function initUI() {
        setProtectUI(1000)
        root.visible = true
        if (!isPownOn) {
            isColorful = globalFlag("mouse/isColorful")
            var ic = ui_View.getGlobalData("mouse/icType")
            icType = (ic === undefined || ic === null) ? "553" : String(ic)
            is55328 = globalFlag("mouse/is55328")
            isGun = globalFlag("mouse/isGun")
            keyCount = Logic.clamp(Logic.toInt(ui_View.getGlobalData("mouse/keyCount"), 8), 0, 16)
            var lang = ui_View.language()
            if (lang !== undefined && lang !== null && String(lang) !== "")
                language = String(lang)
            var name = ui_View.getGlobalData("common/name")
            productName = (name === undefined || name === null) ? "" : String(name)

            loadTexts()

            // The stored profile is selected in the bridge too, so the pages
            // read the profile the drop-down shows.
            var stored = Logic.toInt(ui_View.getGlobalData("mouse/profileNo"), 0)
            profilePage.profileNo = stored
            profilePage.init()
            if (profilePage.activeRow < 0)
                profilePage.profileNo = profilePage.entries[0].number
            activeProfile = profilePage.profileNo
            ui_View.setCurrentProfile(activeProfile)
            initReportRate(false)
            ui_View.mouseGetRight()
            profileDrop.close()

            if (macroEditorHook.item)
                macroEditorHook.item.init()
            if (gunHook.item)
                gunHook.item.init()
            if (keyAssigmentHook.item)
                keyAssigmentHook.item.init()
            if (keyMatrixHook.item)
                keyMatrixHook.item.init(false, false)
            dpiSetting.init(false, false)
            lightControl.init(false, false)
            if (systemLoader.item)
                systemLoader.item.init(false, false)
            isPownOn = true
        }
        ui_View.mouseGetRight()
        if (keyMatrixHook.item)
            keyMatrixHook.item.init(false, false)
        if (sendOnConnect && connected) {
            sendOnConnect = false
            reloadPages()
        }
        showDeviceStage(ui_View.mouseGetCurrentDPI())
    }

    function run() {
        runTimer.restart()
    }

    function setProtectUI(interval) {
        var t = Logic.toInt(interval, 0)
        if (t <= 0) {
            protectTimer.stop()
            endProtection()
            return
        }
        isLock = true
        ui_View.setEnabled(false)
        uiLocked()
        protectTimer.interval = t
        protectTimer.restart()
    }

    function setCurrentDPI(dpiValue) {
        var v = Logic.toInt(dpiValue, 0)
        if (v === 0)
            return
        showDeviceStage(v)
    }

    function detectKeyboard(isDown, usbCode) {
        msg_KB(isDown === true || String(isDown) === "true", Logic.toInt(usbCode, 0))
    }

    // Binds the properties a hooked page has of these (name: getter).
    function wire(item, bindings) {
        for (var name in bindings) {
            if (name in item)
                item[name] = Qt.binding(bindings[name])
        }
    }

    // Mouse buttons matter only to the assignment dialog's fire key.
    function detectMouse(isDown, buttonCode, x, y) {
        var a = keyAssigmentHook.item
        if (a && a.visible && a.captureMode === 0)
            a.detectMouse(isDown === true || String(isDown) === "true", Logic.toInt(buttonCode, 0))
    }

    // --- locking ---------------------------------------------------------------------
    function endProtection() {
        ui_View.setEnabled(true)
        isLock = false
        panelsShown = true
    }

    function lockUI() {
        isLock = true
        ui_View.setEnabled(false)
        uiLocked()
    }

    function unlockUI() {
        // A running protection releases the view itself when it ends.
        if (protectTimer.running)
            return
        ui_View.setEnabled(true)
        isLock = false
    }

    // --- helpers ----------------------------------------------------------------------
    // A flag of the global file: stored as text, or as a boolean once written.
    function globalFlag(key) {
        return String(ui_View.getGlobalData(key)) === "true"
    }

    // A stage number (1-based) from the device, shown in the DPI panel.
    function showDeviceStage(stage) {
        var v = Logic.toInt(stage, 0)
        if (v >= 1 && v <= 8)
            dpiSetting.currentDPI = v - 1
    }

    function texts(section, builtIn) {
        return Logic.mergeTexts(builtIn, ui_View.getLangStrings(section, language))
    }

    function loadTexts() {
        mainLang = texts("main", builtInMain)
        keyMatrixLang = texts("keyMatrix", keyMatrixLang)
        keyAssigmentLang = texts("keyAssigment", keyAssigmentLang)
        dpiSetting.dpiSettingLang = texts("dpiSetting", dpiSetting.dpiSettingLang)
        lightControl.lightControlLang = texts("lightControl", lightControl.lightControlLang)
        macroEditorLang = texts("macroEditor", macroEditorLang)
        systemSettingLang = texts("systemSetting", systemSettingLang)
        gunControlLang = texts("gunControl", gunControlLang)
        profilePage.profileLang = texts("profile", profilePage.profileLang)
        // Taken only when every code gets its name.
        keyCodeString.loadNames(ui_View.getLangStrings("keyCode", language))
        keyCodeLang = keyCodeString.keyCodeStr
        // Also hands the DPI balloon texts to the native side.
        otherLang = Logic.toList(ui_View.getLangStrings("other", language))
        desktopLang = texts("desktop", builtInDesktop)
    }

    // The user's language choice: stored, and every page follows at once.
    function chooseLanguage(name) {
        if (String(name) === "" || String(name) === language)
            return
        ui_View.setLanguage(name)
        language = String(name)
        loadTexts()
        // Names built from the texts (the first profile's) follow too.
        profilePage.init()
    }

    function closeDropDowns() {
        profileDrop.close()
        rateDrop.close()
        dpiSetting.closeDropDowns()
        lightControl.closeDropDowns()
        var hooks = [keyMatrixHook, keyAssigmentHook, macroEditorHook, systemLoader]
        for (var i = 0; i < hooks.length; ++i)
            if (hooks[i].item && typeof hooks[i].item.closeDropDowns === "function")
                hooks[i].item.closeDropDowns()
    }

    // Ends text editing in the open pop-up pages.
    function endEditing() {
        profilePage.profileFocus()
        if (systemLoader.item)
            systemLoader.item.systemSettingFocus()
        if (macroEditorHook.item && typeof macroEditorHook.item.macroEditorFocus === "function")
            macroEditorHook.item.macroEditorFocus()
    }

    function systemPage() {
        systemLoader.active = true
        return systemLoader.item
    }

    // The macro editor and the assignment dialog are made on first use; the
    // dialog hands macros to the editor, so it brings the editor along.
    function macroEditorPage() {
        macroEditorHook.active = true
        return macroEditorHook.item
    }

    function gunPage() {
        gunHook.active = true
        return gunHook.item
    }

    function assignmentPage() {
        macroEditorPage()
        keyAssigmentHook.active = true
        return keyAssigmentHook.item
    }

    // Pop-ups open centred in the window, over the mask.
    function openPopup(page) {
        closeDropDowns()
        page.x = Math.round((root.width - page.width) / 2)
        page.y = Math.round((root.height - page.height) / 2)
        page.visible = true
    }

    // Closes every pop-up and the mask with them.
    function closePopups() {
        endEditing()
        profilePage.visible = false
        var pages = [systemLoader, resetLoader, infoLoader, macroEditorHook, keyAssigmentHook]
        for (var i = 0; i < pages.length; ++i)
            if (pages[i].item)
                pages[i].item.visible = false
    }

    function openProfilePage() {
        openPopup(profilePage)
    }

    function openSystemPage() {
        openPopup(systemPage())
    }

    function openMacroEditor() {
        if (macroEditorPage())
            openPopup(macroEditorHook.item)
    }

    function openResetBox() {
        resetLoader.active = true
        openPopup(resetLoader.item)
    }

    function openInfoBox() {
        infoLoader.active = true
        openPopup(infoLoader.item)
    }

    // Opens the assignment dialog for button k; the last left click stays.
    function openAssignment(k) {
        if (!keyMatrixHook.item || !assignmentPage())
            return
        if (!keyMatrixHook.item.canOpen(k))
            return
        var dialog = keyAssigmentHook.item
        if (!dialog.open(k))
            return
        openPopup(dialog)
        if (mouseHook.item)
            mouseHook.item.markedButton = k
    }

    // --- report rate ---------------------------------------------------------------
    function initReportRate(isSendData) {
        var stored = ui_View.getData("mouse/reportRate", false)
        rateDrop.currentIndex = Logic.reportRateRow(stored)
        if (isSendData)
            ui_View.mouseSetReportRate(Logic.reportRateByte(stored))
    }

    function pickReportRate(i) {
        ui_View.setData("mouse/reportRate", i)
        ui_View.mouseSetReportRate(Logic.reportRateByte(i))
    }

    // --- unsaved edits ---------------------------------------------------------------------
    // Runs action now, or once the user has answered what becomes of the
    // unsaved edits (Save, Discard; Cancel drops the action).
    function whenSettled(action) {
        root.forceActiveFocus()
        if (!anyUnsaved) {
            action()
            return
        }
        pendingAction = action
        closeDropDowns()
        unsavedBox.visible = true
        unsavedBox.forceActiveFocus()
    }

    function answerUnsaved(answer) {
        var action = pendingAction
        pendingAction = null
        unsavedBox.visible = false
        root.forceActiveFocus()
        if (answer === "save")
            save()
        else if (answer === "discard")
            discardEdits()
        else {
            // The drop-down already shows the row the user picked.
            profileDrop.currentIndex = profilePage.activeRow
            return
        }
        if (action)
            action()
    }

    // Back to what the profile holds; nothing goes to the mouse.
    function discardEdits() {
        if (keyMatrixHook.item)
            keyMatrixHook.item.init(false, false)
        dpiSetting.init(false, false)
        lightControl.init(false, false)
        clearUnsaved()
    }

    function requestProfile(number) {
        whenSettled(function () { switchProfile(number) })
    }

    function requestClose() {
        whenSettled(function () { ui_Ctl.onClose() })
    }

    // A short line at the foot of the window that goes away by itself.
    function notify(text) {
        noticeBox.text = text
        noticeBox.shown = true
        noticeTimer.restart()
    }

    // Esc: the top-most pop-up goes as its close button would take it.
    function closeTopPopup() {
        if (unsavedBox.visible) {
            answerUnsaved("cancel")
            return true
        }
        var anyDrop = profileDrop.isOpen || rateDrop.isOpen
        closeDropDowns()
        if (anyDrop)
            return true
        var pages = [resetLoader, infoLoader, keyAssigmentHook, macroEditorHook, systemLoader]
        for (var i = 0; i < pages.length; ++i) {
            var p = pages[i].item
            if (p && p.visible) {
                if (typeof p.closeClicked === "function")
                    p.closeClicked()
                else if (typeof p.rejected === "function")
                    p.rejected()
                else
                    p.visible = false
                root.forceActiveFocus()
                return true
            }
        }
        if (profilePage.visible) {
            profilePage.closeClicked()
            root.forceActiveFocus()
            return true
        }
        return false
    }

    // --- profile switch, save, reset -----------------------------------------------------
    function reloadPages() {
        if (keyMatrixHook.item)
            keyMatrixHook.item.init(true, false)
        initReportRate(true)
        dpiSetting.init(true, false)
        lightControl.init(true, false)
        systemPage().init(true, false)
    }

    function clearUnsaved() {
        if (keyMatrixHook.item)
            keyMatrixHook.item.isSave = false
        dpiSetting.isSave = false
        lightControl.isSave = false
    }

    function switchProfile(number) {
        lockUI()
        activeProfile = number
        profilePage.profileNo = number
        ui_View.setGlobalData("mouse/profileNo", number)
        ui_View.setCurrentProfile(number)
        reloadPages()
        // The pages now show exactly what the new profile holds.
        clearUnsaved()
        showDeviceStage(ui_View.mouseGetCurrentDPI())
        unlockUI()
    }

    function save() {
        // A value still being typed counts: taking the focus ends its entry.
        root.forceActiveFocus()
        closeDropDowns()
        var keys = keyMatrixHook.item && keyMatrixHook.item.isSave === true
        var dpi = dpiSetting.isSave
        var light = lightControl.isSave
        if (!keys && !dpi && !light)
            return
        lockUI()
        if (keys) {
            keyMatrixHook.item.isSave = false
            keyMatrixHook.item.saveData(true)
        }
        if (dpi) {
            dpiSetting.isSave = false
            dpiSetting.saveData(true)
        }
        if (light) {
            lightControl.isSave = false
            lightControl.saveData(true, 0)
        }
        unlockUI()
        // Stored either way; only a connected mouse has them now.
        if (!connected)
            sendOnConnect = true
        notify(profileOnComputerOnly ? desktopLang[15] : connected ? desktopLang[4] : desktopLang[3])
    }

    function resetProfile() {
        lockUI()
        if (resetLoader.item)
            resetLoader.item.visible = false
        ui_View.resetProfile(activeProfile)
        ui_View.mouseGetRight()
        reloadPages()
        ui_View.mouseSetCurrentDPI(2)
        dpiSetting.currentDPI = 1
        clearUnsaved()
        unlockUI()
    }

    // --- macro bookkeeping -------------------------------------------------------------
    function macroNameOf(number) {
        return ui_View.getData("mouseMacroKey/" + number, false)
    }

    function boundButtons(macroName) {
        if (!keyMatrixHook.item)
            return []
        return Logic.macroButtons(keyMatrixHook.item.keyCodes, macroNameOf, macroName)
    }

    function onMacroDeleted(macroName) {
        var bound = boundButtons(macroName)
        for (var i = 0; i < bound.length; ++i)
            keyMatrixHook.item.restoreBinding(bound[i].button)
        if (bound.length > 0)
            keyMatrixHook.item.saveData(false)
        ui_View.deleteMacroUpdateProfile(macroName)
    }

    function onMacroRenamed(oldName, newName) {
        var bound = boundButtons(oldName)
        for (var i = 0; i < bound.length; ++i) {
            ui_View.setData("mouseMacroKey/" + bound[i].number, newName)
            keyMatrixHook.item.setBindingText(bound[i].button, newName)
        }
        ui_View.modifyMacroNameUpdateProfile(oldName, newName)
    }

    function onMacroChanged(macroName) {
        var bound = boundButtons(macroName)
        for (var i = 0; i < bound.length; ++i)
            macroEditorHook.item.sendMacro(bound[i].number, macroName)
    }

    onMsg_KB: function (isDown, usbCode) {
        var m = macroEditorHook.item
        var a = keyAssigmentHook.item
        var route = Logic.keyRoute(m ? { selected: m.macroSelected === true, recording: m.isInputting === true,
                                         inserting: m.isInsertting === true } : null,
                                   a && a.visible ? { mode: a.captureMode } : null)
        if (route === "record")
            m.detectKeyboard(isDown, usbCode)
        else if (route === "insert")
            m.detectInput(isDown, usbCode)
        else if (route === "assign")
            a.detectKeyboard(isDown, usbCode)
    }

    KeyCodeString {
        id: keyCodeString
    }

    // Keys no field took: Esc closes the top pop-up, Enter answers the
    // unsaved-changes question with Save.
    focus: true
    Keys.onEscapePressed: function (event) { event.accepted = closeTopPopup() }
    Keys.onReturnPressed: function (event) {
        event.accepted = unsavedBox.visible
        if (unsavedBox.visible)
            answerUnsaved("save")
    }
    Keys.onEnterPressed: function (event) {
        event.accepted = unsavedBox.visible
        if (unsavedBox.visible)
            answerUnsaved("save")
    }

    Timer {
        id: protectTimer
        repeat: false
        onTriggered: root.endProtection()
    }
    Timer {
        id: runTimer
        interval: 1000
        repeat: false
        onTriggered: {
            if (keyMatrixHook.item)
                keyMatrixHook.item.init(false, false)
        }
    }

    // Pressing and moving on the background drags the window.
    component WindowDragArea: MouseArea {
        property point pressPos
        signal pressedAt()
        // The window manager moves the window itself where it can.
        property bool systemMove: false
        onPressed: function (mouse) {
            pressPos = Qt.point(mouse.x, mouse.y)
            root.forceActiveFocus()
            root.closeDropDowns()
            pressedAt()
            systemMove = typeof ui_Ctl.startSystemMove === "function" && ui_Ctl.startSystemMove()
        }
        onPositionChanged: function (mouse) {
            if (!pressed || systemMove)
                return
            ui_Ctl.onXChanged(mouse.x - pressPos.x)
            ui_Ctl.onYChanged(mouse.y - pressPos.y)
        }
    }

    // --- background ------------------------------------------------------------------
    Rectangle {
        id: background
        objectName: "background"
        anchors.fill: parent
        visible: root.panelsShown
        radius: 8
        color: "#111113"
        border.width: 1
        border.color: "#2c2c30"
        Rectangle {
            id: titleBand
            x: 1
            y: 1
            width: parent.width - 2
            height: 51
            radius: 8
            gradient: Gradient {
                GradientStop { position: 0; color: "#24242a" }
                GradientStop { position: 1; color: "#18181b" }
            }
        }
        Rectangle {
            x: 1
            y: 52
            width: parent.width - 2
            height: 1
            color: "#2c2c30"
        }
        Rectangle {
            x: 24
            y: 51
            width: 232
            height: 2
            color: Skin.highlight
        }
        WindowDragArea {
            anchors.fill: parent
        }
        Image {
            objectName: "titleArea"
            x: 40
            y: 10
            width: 200
            height: 60
            sourceSize: Qt.size(200, 60)
            source: Skin.img("logo")
            MouseArea {
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: Qt.openUrlExternally(root.makerUrl)
            }
        }
    }

    // The mouse picture with its numbered buttons fills the window.
    Loader {
        id: mouseHook
        objectName: "mouseHook"
        anchors.fill: parent
        visible: root.panelsShown
        source: "Q7/Mouse.qml"
        onLoaded: {
            if ("keyCount" in item)
                item.keyCount = Qt.binding(function () { return root.keyCount })
        }
    }
    Connections {
        target: mouseHook.item
        ignoreUnknownSignals: true
        function onButtonClicked(i) { root.openAssignment(i) }
    }

    // --- left column ---------------------------------------------------------------------
    Column {
        id: leftColumn
        objectName: "leftColumn"
        x: 24
        y: 88
        spacing: 8
        visible: root.panelsShown

        // Until the button list arrives, its place stays free.
        Item {
            width: 232
            height: keyMatrixHook.item ? keyMatrixHook.item.height
                                       : 40 + 24 * Math.min(root.keyCount, 8) + 2 * (Math.min(root.keyCount, 8) - 1) + 8
            Rectangle {
                anchors.fill: parent
                visible: !keyMatrixHook.item
                color: Skin.black
                Text {
                    x: 8
                    y: 8
                    text: root.keyMatrixLang[1]
                    color: Skin.text
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontMiddle
                    font.bold: true
                }
            }
            Loader {
                id: keyMatrixHook
                objectName: "keyMatrixHook"
                source: "Q7/KeyMatrix.qml"
                onLoaded: {
                    if ("keyMatrixLang" in item)
                        item.keyMatrixLang = Qt.binding(function () { return root.keyMatrixLang })
                    root.wire(item, {
                        assignTexts: function () { return root.keyAssigmentLang },
                        keyNames: function () { return keyCodeString },
                        language: function () { return root.language },
                        keyCount: function () { return root.keyCount }
                    })
                    // A plain function, not a binding: the gun presets load
                    // when the periods are first asked for.
                    if ("gunPage" in item)
                        item.gunPage = function () { return root.gunPage() }
                }
            }
        }

        Rectangle {
            id: editorPanel
            objectName: "editorPanel"
            width: 232
            height: 75
            color: Skin.black
            Text {
                x: 8
                y: 8
                text: root.mainLang[0]
                color: Skin.text
                font.family: Skin.fontFamily
                font.pixelSize: Skin.fontMiddle
                font.bold: true
            }
            SkinButton {
                objectName: "macroEditorButton"
                x: 8
                y: 41
                width: 216
                height: 24
                text: root.mainLang[1]
                onClicked: root.openMacroEditor()
            }
        }

        Rectangle {
            id: ratePanel
            objectName: "reportRatePanel"
            width: 232
            height: 42
            color: Skin.black
            // Long headings shrink and wrap rather than run under the list.
            Text {
                objectName: "reportRateHeading"
                x: 8
                width: 94
                height: 36
                anchors.verticalCenter: parent.verticalCenter
                verticalAlignment: Text.AlignVCenter
                wrapMode: Text.WordWrap
                fontSizeMode: Text.Fit
                minimumPixelSize: Skin.fontMin
                text: root.mainLang[3]
                color: Skin.text
                font.family: Skin.fontFamily
                font.pixelSize: Skin.fontMiddle
                font.bold: true
            }
            DropDownList {
                id: rateDrop
                objectName: "reportRateDropDown"
                x: 104
                anchors.verticalCenter: parent.verticalCenter
                width: 120
                model: Logic.reportRateNames
                onActivated: function (i) { root.pickReportRate(i) }
            }
        }

        SkinButton {
            objectName: "systemSettingButton"
            width: 232
            height: 24
            text: root.mainLang[9]
            font.bold: true
            onClicked: root.openSystemPage()
        }
    }
    Connections {
        target: keyMatrixHook.item
        ignoreUnknownSignals: true
        function onEntryEntered(i) {
            if (mouseHook.item)
                mouseHook.item.markedButton = i
        }
        function onEntryExited(i) {
            var dialogOpen = keyAssigmentHook.item && keyAssigmentHook.item.visible
            if (mouseHook.item && !dialogOpen)
                mouseHook.item.markedButton = -1
        }
        function onEntryClicked(i) { root.openAssignment(i) }
    }

    // --- right column --------------------------------------------------------------------
    Column {
        id: rightColumn
        objectName: "rightColumn"
        x: 768
        y: 56
        spacing: 8
        visible: root.panelsShown

        DpiSetting {
            id: dpiSetting
            objectName: "dpiSetting"
            deviceKnown: root.connected
            onCloseAllDropDowns: root.closeDropDowns()
        }
        LightControl {
            id: lightControl
            objectName: "lightControl"
            isColorful: root.isColorful
            is55328: root.is55328
            isPownOn: root.isPownOn
            dpiCount: dpiSetting.dpiCount
        }
    }

    // --- bottom bar ----------------------------------------------------------------------
    Row {
        id: bottomBar
        objectName: "bottomBar"
        anchors.right: parent.right
        anchors.rightMargin: 24
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        spacing: 16
        visible: root.panelsShown
        SkinButton {
            objectName: "configButton"
            width: 100
            height: 24
            text: root.mainLang[4]
            onClicked: root.openProfilePage()
        }
        SkinButton {
            objectName: "resetButton"
            width: 100
            height: 24
            text: root.mainLang[5]
            onClicked: root.openResetBox()
        }
        SkinButton {
            id: saveButton
            objectName: "saveButton"
            width: 100
            height: 24
            text: root.mainLang[10]
            idleColor: root.anyUnsaved ? Skin.unsaved : Skin.button
            onClicked: root.save()
        }
    }

    // --- top bar -------------------------------------------------------------------------
    DropDownList {
        id: profileDrop
        objectName: "profileDropDown"
        x: 920 - 16 - 144
        y: 16
        width: 144
        height: 24
        visible: root.panelsShown
        model: profilePage.names
        currentIndex: profilePage.activeRow
        onActivated: function (i) {
            var e = profilePage.entries[i]
            if (e)
                root.requestProfile(e.number)
        }
    }
    Row {
        objectName: "connectionState"
        anchors.right: profileDrop.left
        anchors.rightMargin: 16
        y: 16
        height: 24
        spacing: 8
        visible: root.panelsShown
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 8
            height: 8
            radius: 4
            color: root.connected ? Skin.highlight : Skin.gray2
        }
        Text {
            objectName: "connectionText"
            anchors.verticalCenter: parent.verticalCenter
            text: root.connected ? (ui_View.deviceName ? ui_View.deviceName : root.productName)
                                 : root.desktopLang[2]
            color: root.connected ? Skin.text : Skin.gray2
            font.family: Skin.fontFamily
            font.pixelSize: Skin.fontNormal
        }
        Text {
            objectName: "profileOnComputerText"
            anchors.verticalCenter: parent.verticalCenter
            visible: root.profileOnComputerOnly
            text: root.desktopLang[14]
            color: Skin.gray2
            font.family: Skin.fontFamily
            font.pixelSize: Skin.fontNormal
        }
    }
    Row {
        id: topBar
        objectName: "topBar"
        x: 920
        y: 16
        spacing: 16
        visible: root.panelsShown
        Repeater {
            model: ["help", "minimize", "close"]
            Item {
                required property string modelData
                width: 16
                height: 24
                ImageButton {
                    objectName: parent.modelData + "Button"
                    anchors.centerIn: parent
                    icon: parent.modelData
                    onClicked: {
                        if (icon === "help")
                            root.openInfoBox()
                        else if (icon === "minimize")
                            ui_Ctl.onMinimize()
                        else
                            root.requestClose()
                    }
                }
            }
        }
    }

    // The gun page never shows; it only holds the presets.
    Loader {
        id: gunHook
        objectName: "gunHook"
        visible: false
        active: false
        source: "Q7/GunControl.qml"
        onLoaded: {
            if ("gunControlLang" in item)
                item.gunControlLang = Qt.binding(function () { return root.gunControlLang })
            // Only files are read: the presets are right whenever it loads.
            item.init()
        }
    }

    // --- pop-ups -------------------------------------------------------------------------
    Rectangle {
        id: mask
        objectName: "mask"
        anchors.fill: parent
        radius: 8
        color: Skin.mask
        visible: profilePage.visible
            || (systemLoader.item ? systemLoader.item.visible : false)
            || (macroEditorHook.item ? macroEditorHook.item.visible === true : false)
            || (keyAssigmentHook.item ? keyAssigmentHook.item.visible === true : false)
            || (resetLoader.item ? resetLoader.item.visible : false)
            || (infoLoader.item ? infoLoader.item.visible : false)
        WindowDragArea {
            anchors.fill: parent
            onPressedAt: root.endEditing()
        }
    }

    ProfilePage {
        id: profilePage
        objectName: "profilePage"
        confirmLang: [root.desktopLang[12], root.desktopLang[11], root.desktopLang[9]]
        onChangeProfile: function (n) { root.switchProfile(n) }
    }

    // Pop-ups are made when first needed and then live in the root, so
    // they centre and drag within the window.
    Loader {
        id: systemLoader
        objectName: "systemHook"
        active: false
        sourceComponent: Component {
            SystemSetting {
                objectName: "systemSetting"
                systemSettingLang: root.systemSettingLang
                language: root.language
                languageText: root.desktopLang[10]
                onCloseAllDropDowns: root.closeDropDowns()
                onLanguageChosen: function (name) { root.chooseLanguage(name) }
            }
        }
        onLoaded: {
            item.parent = root
            if (root.isPownOn)
                item.init(false, false)
        }
    }

    Loader {
        id: macroEditorHook
        objectName: "macroEditorHook"
        active: false
        source: "Q7/MacroEditor.qml"
        onLoaded: {
            item.parent = root
            root.wire(item, {
                keyNames: function () { return keyCodeString },
                assignDialog: function () { return keyAssigmentHook.item }
            })
            if ("macroEditorLang" in item)
                item.macroEditorLang = Qt.binding(function () { return root.macroEditorLang })
            if ("confirmLang" in item)
                item.confirmLang = Qt.binding(function () {
                    return [root.desktopLang[12], root.desktopLang[11], root.desktopLang[9]]
                })
            if ("noMacroText" in item)
                item.noMacroText = Qt.binding(function () { return root.desktopLang[13] })
            if (root.isPownOn)
                item.init()
        }
    }
    Connections {
        target: macroEditorHook.item
        ignoreUnknownSignals: true
        function onDeleteMacro(macroName) { root.onMacroDeleted(macroName) }
        function onModifyMacroName(oldMacroName, newMacroName) { root.onMacroRenamed(oldMacroName, newMacroName) }
        function onModifyMacroData(macroName) { root.onMacroChanged(macroName) }
    }

    Loader {
        id: keyAssigmentHook
        objectName: "keyAssigmentHook"
        active: false
        source: "Q7/KeyAssigment.qml"
        onLoaded: {
            item.parent = root
            root.wire(item, {
                keyNames: function () { return keyCodeString },
                language: function () { return root.language },
                keyMatrix: function () { return keyMatrixHook.item },
                macroEditor: function () { return macroEditorHook.item },
                isGun: function () { return root.isGun }
            })
            if (item.openMacroEditor)
                item.openMacroEditor.connect(root.openMacroEditor)
            if (item.closed)
                item.closed.connect(function () {
                    if (mouseHook.item)
                        mouseHook.item.markedButton = -1
                })
            if ("keyAssigmentLang" in item)
                item.keyAssigmentLang = Qt.binding(function () { return root.keyAssigmentLang })
            if (root.isPownOn)
                item.init()
        }
    }

    Loader {
        id: resetLoader
        objectName: "resetHook"
        active: false
        sourceComponent: Component {
            MessageBox {
                objectName: "resetBox"
                visible: false
                title: root.mainLang[5]
                message: root.mainLang[6]
                okText: root.mainLang[8]
                cancelText: root.mainLang[7]
                onRejected: visible = false
                onAccepted: root.resetProfile()
            }
        }
        onLoaded: item.parent = root
    }

    Loader {
        id: infoLoader
        objectName: "infoHook"
        active: false
        sourceComponent: Component {
            InfoBox {
                objectName: "infoBox"
                visible: false
                productName: root.productName
                onCloseClicked: visible = false
            }
        }
        onLoaded: item.parent = root
    }

    MessageBox {
        id: unsavedBox
        objectName: "unsavedBox"
        parent: root
        visible: false
        z: 50
        x: Math.round((root.width - width) / 2)
        y: Math.round((root.height - height) / 2)
        title: root.desktopLang[5]
        message: root.desktopLang[6]
        okText: root.desktopLang[7]
        discardText: root.desktopLang[8]
        cancelText: root.desktopLang[9]
        onAccepted: root.answerUnsaved("save")
        onDiscarded: root.answerUnsaved("discard")
        onRejected: root.answerUnsaved("cancel")
    }
    Rectangle {
        objectName: "unsavedMask"
        anchors.fill: parent
        z: 49
        radius: 8
        color: Skin.mask
        visible: unsavedBox.visible
        MouseArea { anchors.fill: parent }
    }

    // Non-blocking notice: what Save did.
    Rectangle {
        id: noticeBox
        objectName: "notice"
        property alias text: notice.text
        property bool shown: false
        z: 60
        visible: shown
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 44
        width: notice.implicitWidth + 32
        height: 30
        radius: 4
        color: Skin.gray1
        border.width: 1
        border.color: root.connected ? Skin.highlight : Skin.gray2
        Text {
            id: notice
            objectName: "noticeText"
            anchors.centerIn: parent
            color: Skin.text
            font.family: Skin.fontFamily
            font.pixelSize: Skin.fontNormal
        }
        Timer {
            id: noticeTimer
            interval: 4000
            onTriggered: noticeBox.shown = false
        }
    }

    BusyIndicator {
        id: busy
        objectName: "busyIndicator"
        anchors.centerIn: parent
        z: 100
        visible: root.isLock
    }
}
