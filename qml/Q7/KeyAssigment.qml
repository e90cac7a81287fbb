import QtQuick
import skeld.macro
import "KeyLogic.js" as KL
import "../common"
import "../basic"
import "../basic/Skin.js" as S

// The pop-up in which a function is chosen for one button. It edits a copy
// of the button's binding; closing hands a changed binding to the list.
Rectangle {
    id: dlg
    objectName: "keyAssigment"
    width: 480
    height: 560
    color: S.gray0
    border.width: 1
    border.color: S.gray1
    visible: false

    // Section "keyAssigment".
    property var keyAssigmentLang: ["Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key", "Forward Key",
        "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input", "Rate", "Times", "Endness",
        "Group Function", "Media Function", "Macro Function", "Macro Editor",
        "Macro runs one-time after pressing the button",
        "Macro runs endless loop until any button is pressed",
        "Macro runs endless loop until button is released", "DPI Function", "DPI+", "DPI-", "DPI LOOP",
        "Windows Function", "Shortcut Function", "Player", "Next", "Privous", "Stop", "Mute", "Play/Pause",
        "Volumn+", "Volumn-", "My PC", "Index", "Search", "Max", "Min", "Desktop", "Run", "New", "Cut",
        "Copy", "Paste", "Save", "Print", "Find", "Redo", "Undo", "Select All", "Gun Function", "One Gun",
        "Two Gun", "Three Gun", "Sniper Key", "Disable", "", ""]
    property var keyNames: null
    property string language: ""
    property var keyMatrix: null
    property var macroEditor: null
    property var macroNames: []

    // The binding being edited and what the button had when the pop-up opened.
    property int keyIndex: -1
    property var codes: [0, 0, 0, 0]
    property var origCodes: [0, 0, 0, 0]
    property string macroName: ""
    property string origMacroName: ""

    // -1 nothing, 0 the fire key field, 1 the combination field.
    property int captureMode: -1
    // The bridge passes desktop keys on only while a capture field listens.
    readonly property bool capturing: visible && (captureMode === 0 || captureMode === 1)
    onCapturingChanged: ui_View.setKeyListener("keyAssigment", capturing)
    property bool lastCaptureWasLeft: false
    property var combo: KL.newCombination()
    property string comboText: t(10)
    property string fireKeyText: t(10)
    property int firePeriod: 10
    property int fireTimes: 0
    // The model has the gun feature (mouse/isGun).
    property bool isGun: true
    property int gunPeriod: 4
    property int gunTimes: 5
    property int runMode: 0
    // The rate strip reads "10ms" until the user moves it.
    property bool rateMoved: false

    signal closed()
    signal openMacroEditor()

    function t(i) { return KL.textAt(keyAssigmentLang, i) }
    function nameOf(code) {
        if (keyNames)
            return keyNames.keycodeTostr(code)
        return MacroCodec.nameForCode(code)
    }
    readonly property var names: ({ keycodeTostr: function (c) { return dlg.nameOf(c) } })
    readonly property int kind: codes[0]
    readonly property string currentText: kind === KL.KIND_MACRO ? macroName
                                          : KL.bindingText(codes, keyAssigmentLang, names, language, "")

    function centre() {
        if (!parent)
            return
        x = Math.round((parent.width - width) / 2)
        y = Math.round((parent.height - height) / 2)
    }

    function init() {
        visible = false
        captureMode = -1
        lastCaptureWasLeft = false
        keyIndex = -1
        comboText = t(10)
        fireKeyText = t(10)
    }

    function closeDropDowns() { closeLists() }

    function setCodes(c) { codes = c.slice() }
    function setCode(i, v) {
        var c = codes.slice()
        c[i] = v
        codes = c
    }

    // Shows button index's binding; refused for the only left click.
    function open(index) {
        if (!keyMatrix || !keyMatrix.canOpen(index))
            return false
        keyIndex = index
        loadBinding(keyMatrix.bindings[index])
        origCodes = codes.slice()
        origMacroName = macroName
        captureMode = -1
        lastCaptureWasLeft = false
        comboText = t(10)
        flick.contentY = 0
        centre()
        visible = true
        return true
    }

    function loadBinding(b) {
        codes = b.slice()
        macroName = kind === KL.KIND_MACRO && keyMatrix ? keyMatrix.macroNameOf(codes) : ""
        if (kind === KL.KIND_FIRE) {
            firePeriod = Math.max(1, codes[2])
            fireTimes = codes[3]
            fireKeyText = nameOf(codes[1]) || t(10)
        } else {
            fireKeyText = t(10)
        }
        if (kind === KL.KIND_GUN) {
            gunPeriod = Math.max(1, codes[2])
            gunTimes = codes[3]
        }
        if (kind === KL.KIND_MACRO && codes[1] <= 2)
            runMode = codes[1]
        rateSlider.slider.setPosition(firePeriod - 1)
        gunSlider.slider.setPosition(gunPeriod - 1)
    }

    function close() {
        if (!visible)
            return
        visible = false
        captureMode = -1
        closeLists()
        var macroChanged = kind === KL.KIND_MACRO && macroName !== origMacroName
        if (keyMatrix && (!KL.sameCodes(codes, origCodes) || macroChanged)) {
            if (kind === KL.KIND_MACRO && macroName !== "") {
                ui_View.setData("mouseMacroKey/" + codes[2], macroName)
                if (macroEditor)
                    macroEditor.sendMacro(codes[2], macroName)
            }
            keyMatrix.setBinding(keyIndex, codes, currentText)
        }
        closed()
    }

    // The back button: the profile default for this button.
    function restoreDefault() {
        if (!keyMatrix || keyIndex < 0)
            return
        keyMatrix.restoreDefault(keyIndex)
        loadBinding(keyMatrix.defaults[keyIndex])
    }

    function closeLists() {
        mediaList.close()
        macroList.close()
        rateSlider.close()
        gunSlider.close()
    }

    function setMacroNames(list) {
        macroNames = list.slice()
    }

    // Key and mouse events routed here while a capture field is active.
    function detectKeyboard(isDown, code) {
        if (!isDown || !visible)
            return
        code = Number(code)
        if (captureMode === 0) {
            if (!(code > 0) || code > 0xFF)
                return
            setCodes(KL.fireCodes(code, firePeriod, fireTimes))
            fireKeyText = nameOf(code) || t(10)
            captureMode = -1
            lastCaptureWasLeft = code === KL.LEFT_CLICK
        } else if (captureMode === 1) {
            if (KL.captureCombinationKey(combo, code))
                comboText = KL.combinationFieldText(combo, names)
        }
    }

    // Mouse buttons count only for the fire key.
    function detectMouse(isDown, code) {
        if (captureMode === 0)
            detectKeyboard(isDown, code)
    }

    function armFire() {
        // The left click that was just captured must not arm it again.
        if (lastCaptureWasLeft) {
            lastCaptureWasLeft = false
            return
        }
        captureMode = 0
    }
    function startCombination() {
        combo = KL.newCombination()
        comboText = ""
        captureMode = 1
    }
    function confirmCombination() {
        if (captureMode !== 1)
            return
        captureMode = -1
        if (KL.combinationIsEmpty(combo))
            comboText = t(10)
        else
            setCodes(KL.combinationCodes(combo))
    }
    function cancelCombination() {
        captureMode = -1
        comboText = t(10)
    }

    function rateChanged(x) {
        rateMoved = true
        firePeriod = KL.periodFromPosition(x)
        if (kind === KL.KIND_FIRE)
            setCode(2, firePeriod)
    }
    function timesEntered(text) {
        fireTimes = KL.clampTimes(text)
        timesField.text = String(fireTimes)
        if (kind === KL.KIND_FIRE)
            setCode(3, fireTimes)
    }
    function endlessTicked(checked) {
        if (!checked)
            return
        fireTimes = 0
        timesField.text = "0"
        if (kind === KL.KIND_FIRE)
            setCode(3, 0)
    }
    function chooseMacro(i) {
        if (i < 0 || i >= macroNames.length)
            return
        macroName = String(macroNames[i])
        setCodes(KL.macroCodes(runMode, keyIndex))
    }
    function chooseRunMode(m) {
        runMode = m
        if (kind === KL.KIND_MACRO)
            setCode(1, m)
    }
    function chooseGun() {
        setCodes(KL.gunCodes(gunPeriod, gunTimes))
    }
    function gunRateChanged(x) {
        gunPeriod = KL.periodFromPosition(x)
        if (kind === KL.KIND_GUN)
            setCode(2, gunPeriod)
    }
    function gunTimesEntered(text) {
        gunTimes = KL.clampTimes(text)
        gunTimesField.text = String(gunTimes)
        if (kind === KL.KIND_GUN)
            setCode(3, gunTimes)
    }

    // Dragging the background moves the pop-up, kept inside the window.
    MouseArea {
        anchors.fill: parent
        drag.target: dlg
        drag.minimumX: 0
        drag.minimumY: 0
        drag.maximumX: dlg.parent ? dlg.parent.width - dlg.width : 0
        drag.maximumY: dlg.parent ? dlg.parent.height - dlg.height : 0
        onPressed: dlg.closeLists()
    }

    // Title bar ---------------------------------------------------------------
    Item {
        width: parent.width
        height: 40
        Text {
            objectName: "assignTitle"
            x: 16
            width: parent.width - 100
            height: parent.height
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
            text: dlg.t(0) + (dlg.keyIndex + 1) + " : " + dlg.currentText
            color: S.text
            font.family: S.fontFamily
            font.pixelSize: S.fontMax
            font.bold: true
        }
        IconButton {
            objectName: "assignBack"
            x: parent.width - 68
            y: 8
            glyph: "↺"
            onClicked: dlg.restoreDefault()
        }
        IconButton {
            objectName: "assignClose"
            x: parent.width - 36
            y: 8
            glyph: "✕"
            onClicked: dlg.close()
        }
        Rectangle {
            y: 39
            width: parent.width
            height: 1
            color: S.highlight
        }
    }

    Flickable {
        id: flick
        objectName: "assignScroll"
        x: 16
        y: 48
        width: parent.width - 24
        height: parent.height - 56
        contentHeight: content.height
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        // An open list is drawn above the pop-up and would not scroll along.
        onContentYChanged: dlg.closeLists()

        Item {
            id: content
            width: flick.width - 8
            height: dlg.isGun ? 860 : 720

            component Heading: Text {
                color: S.accent
                font.family: S.fontFamily
                font.pixelSize: S.fontMiddle
                font.bold: true
            }
            component Label: Text {
                height: 24
                verticalAlignment: Text.AlignVCenter
                color: S.gray3
                font.family: S.fontFamily
                font.pixelSize: S.fontNormal
            }

            // Mouse functions
            Heading { y: 0; text: dlg.t(1) }
            Grid {
                y: 26
                columns: 4
                columnSpacing: 14
                rowSpacing: 10
                Repeater {
                    model: KL.mouseChoices.length
                    RadioButton {
                        required property int index
                        objectName: "mouseChoice" + index
                        text: dlg.t(KL.mouseChoices[index].text)
                        checked: KL.mouseChoiceIndex(dlg.codes) === index
                        onClicked: dlg.setCodes(KL.mouseCodes(index))
                    }
                }
            }

            // Fire function
            Heading { y: 82; text: dlg.t(8) }
            // Rows flow by their texts' widths: labels differ a lot between languages.
            Row {
                y: 106
                z: rateSlider.isOpen ? 100 : 0
                spacing: 8
                Label { text: dlg.t(9) }
                Rectangle {
                    objectName: "fireKeyField"
                    width: Math.max(96, fireKeyLabel.implicitWidth + 16)
                    height: 24
                    color: S.gray1
                    border.width: 1
                    border.color: dlg.captureMode === 0 ? S.highlight : S.gray2
                    Text {
                        id: fireKeyLabel
                        anchors.centerIn: parent
                        text: dlg.captureMode === 0 ? "..." : dlg.fireKeyText
                        color: S.text
                        font.family: S.fontFamily
                        font.pixelSize: S.fontNormal
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: dlg.armFire()
                    }
                }
                Item { width: 8; height: 1 }
                Label { text: dlg.t(11) }
                DropDownSlider {
                    id: rateSlider
                    objectName: "rateSlider"
                    text: dlg.rateMoved ? dlg.firePeriod + "MS" : dlg.firePeriod + "ms"
                    onValueChange: function (v) { dlg.rateChanged(v) }
                }
            }
            Row {
                y: 138
                spacing: 8
                Label { text: dlg.t(12) }
                NumberField {
                    id: timesField
                    objectName: "timesField"
                    anchors.verticalCenter: parent.verticalCenter
                    text: String(dlg.fireTimes)
                    onEndInputSignal: dlg.timesEntered(text)
                }
                Item { width: 8; height: 1 }
                CheckBox {
                    objectName: "endlessBox"
                    anchors.verticalCenter: parent.verticalCenter
                    text: dlg.t(13)
                    checked: dlg.fireTimes === 0
                    // Reported before the box flips: the new state is the other one.
                    onClicked: dlg.endlessTicked(!checked)
                }
            }

            // Group function
            Heading { y: 178; text: dlg.t(14) }
            Rectangle {
                objectName: "comboField"
                y: 202
                width: 240
                height: 24
                color: S.gray1
                border.width: 1
                border.color: dlg.captureMode === 1 ? S.highlight : S.gray2
                Text {
                    anchors.fill: parent
                    anchors.leftMargin: 6
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                    text: dlg.comboText
                    color: S.text
                    font.family: S.fontFamily
                    font.pixelSize: S.fontNormal
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: dlg.startCombination()
                }
            }
            IconButton {
                objectName: "comboConfirm"
                x: 248
                y: 202
                glyph: "✓"
                visible: dlg.captureMode === 1
                onClicked: dlg.confirmCombination()
            }
            IconButton {
                objectName: "comboCancel"
                x: 276
                y: 202
                glyph: "✕"
                visible: dlg.captureMode === 1
                onClicked: dlg.cancelCombination()
            }

            // Media function
            Heading { y: 240; text: dlg.t(15) }
            DropDownList {
                id: mediaList
                objectName: "mediaList"
                y: 264
                width: 200
                model: KL.mediaChoices.map(function (c) { return dlg.t(c.text) })
                currentIndex: KL.mediaChoiceIndex(dlg.codes)
                onActivated: function (i) { dlg.setCodes(KL.mediaCodes(i)) }
            }

            // Macro function
            Heading { y: 302; text: dlg.t(16) }
            DropDownList {
                id: macroList
                objectName: "macroList"
                y: 326
                width: 200
                model: dlg.macroNames
                currentIndex: dlg.kind === KL.KIND_MACRO ? dlg.macroNames.indexOf(dlg.macroName) : -1
                onActivated: function (i) { dlg.chooseMacro(i) }
            }
            PageButton {
                objectName: "openMacroEditor"
                x: 212
                y: 326
                width: 120
                text: dlg.t(17)
                onClicked: dlg.openMacroEditor()
            }
            Column {
                y: 360
                spacing: 8
                Repeater {
                    model: 3
                    RadioButton {
                        required property int index
                        objectName: "runMode" + index
                        text: dlg.t(18 + index)
                        checked: dlg.runMode === index
                        onClicked: dlg.chooseRunMode(index)
                    }
                }
            }

            // DPI function
            Heading { y: 436; text: dlg.t(21) }
            Row {
                y: 462
                spacing: 20
                Repeater {
                    model: KL.dpiChoices.length
                    RadioButton {
                        required property int index
                        objectName: "dpiChoice" + index
                        text: dlg.t(KL.dpiChoices[index].text)
                        checked: KL.dpiChoiceIndex(dlg.codes) === index
                        onClicked: dlg.setCodes(KL.dpiCodes(index))
                    }
                }
            }

            // Windows function
            Heading { y: 494; text: dlg.t(25) }
            Grid {
                y: 518
                columns: 4
                spacing: 8
                Repeater {
                    model: KL.windowsChoices.length
                    PageButton {
                        required property int index
                        objectName: "windowsChoice" + index
                        width: 100
                        text: dlg.t(KL.windowsChoices[index].text)
                        active: KL.windowsChoiceIndex(dlg.codes) === index
                        onClicked: dlg.setCodes(KL.windowsCodes(index))
                    }
                }
            }

            // Shortcut function
            Heading { y: 586; text: dlg.t(26) }
            Grid {
                y: 610
                columns: 4
                spacing: 8
                Repeater {
                    model: KL.shortcutChoices.length
                    PageButton {
                        required property int index
                        objectName: "shortcutChoice" + index
                        width: 100
                        text: dlg.t(KL.shortcutChoices[index].text)
                        active: KL.shortcutChoiceIndex(dlg.codes, dlg.language) === index
                        onClicked: dlg.setCodes(KL.shortcutCodes(index, dlg.language))
                    }
                }
            }

            // Gun function
            // Only models with the gun feature offer it.
            Heading { y: 720; text: dlg.t(52); visible: dlg.isGun }
            Row {
                y: 746
                spacing: 8
                visible: dlg.isGun
                RadioButton {
                    objectName: "gunChoice"
                    anchors.verticalCenter: parent.verticalCenter
                    text: dlg.t(52)
                    checked: dlg.kind === KL.KIND_GUN
                    onClicked: dlg.chooseGun()
                }
                Item { width: 8; height: 1 }
                Label { text: dlg.t(11) }
                DropDownSlider {
                    id: gunSlider
                    objectName: "gunSlider"
                    text: dlg.gunPeriod + "ms"
                    onValueChange: function (v) { dlg.gunRateChanged(v) }
                }
                Item { width: 8; height: 1 }
                Label { text: dlg.t(12) }
                NumberField {
                    id: gunTimesField
                    objectName: "gunTimesField"
                    anchors.verticalCenter: parent.verticalCenter
                    text: String(dlg.gunTimes)
                    onEndInputSignal: dlg.gunTimesEntered(text)
                }
            }
        }
    }

    // More sections lie below the fold: a bar shows where the view is and
    // drags it.
    Rectangle {
        id: scrollTrack
        objectName: "assignScrollBar"
        x: flick.x + flick.width + 1
        y: flick.y
        width: 6
        height: flick.height
        radius: 3
        color: S.gray1
        visible: flick.contentHeight > flick.height
        Rectangle {
            objectName: "assignScrollHandle"
            width: parent.width
            radius: 3
            y: flick.visibleArea.yPosition * scrollTrack.height
            height: Math.max(24, flick.visibleArea.heightRatio * scrollTrack.height)
            color: barArea.pressed || barArea.containsMouse ? S.highlight : S.gray3
        }
        MouseArea {
            id: barArea
            anchors.fill: parent
            anchors.leftMargin: -4
            anchors.rightMargin: -4
            hoverEnabled: true
            function scrollTo(y) {
                var ratio = Math.max(0, Math.min(1, y / scrollTrack.height))
                flick.contentY = ratio * Math.max(0, flick.contentHeight - flick.height)
            }
            onPressed: function (mouse) { scrollTo(mouse.y) }
            onPositionChanged: function (mouse) { if (pressed) scrollTo(mouse.y) }
        }
    }
}
