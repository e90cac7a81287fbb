import QtQuick
import "../basic"
import "../common"
import "../basic/Skin.js" as Skin
import "../basic/PageLogic.js" as Logic

// Pointer speed, double-click speed and wheel lines, kept per profile and
// applied to the desktop as soon as they change.
PopupPage {
    id: page

    property var systemSettingLang: ["System Setting", "Mouse Speed", "Double Click Speed", "Slow", "Fast",
        "Scroll Speed", "Number of Rows", "Scroll one Screen", "", "", "", "", "", "", ""]
    property alias pointerSlider: pointerSlider
    property alias doubleSlider: doubleSlider
    property alias rowsRadio: rowsRadio
    property alias screenRadio: screenRadio
    property alias linesField: linesField

    signal closeAllDropDowns()
    signal languageChosen(string name)

    // The language in use, the heading of its drop-down, and the files.
    property string language: ""
    property string languageText: "Language"
    property var languages: []
    // Per pointer setting, why the desktop cannot store it ("" = it can).
    property var unavailable: ({ speed: "", doubleClick: "", scrollLines: "" })

    // Languages by their own name; a file we do not know shows its name.
    function languageLabel(name) {
        var own = { "English": "English", "French": "Français", "ChineseSimplified": "简体中文",
                    "ChineseTraditional": "繁體中文", "German": "Deutsch", "Spanish": "Español" }
        return own[name] !== undefined ? own[name] : String(name)
    }

    width: 416
    height: 360
    title: systemSettingLang[0]
    showReset: true
    visible: false

    onCloseClicked: {
        systemSettingFocus()
        visible = false
    }
    onResetClicked: init(true, true)
    onBackgroundPressed: systemSettingFocus()

    function systemSettingFocus() {
        linesField.endInput()
    }

    function init(isSendData, isRecovery) {
        languages = ui_View.languages()
        unavailable = {
            speed: ui_View.pointerSettingUnavailable("speed"),
            doubleClick: ui_View.pointerSettingUnavailable("doubleClick"),
            scrollLines: ui_View.pointerSettingUnavailable("scrollLines")
        }
        pointerSlider.setPosition(Logic.speedSliderPos(ui_View.getData("mouse/mouseRate", isRecovery)))
        doubleSlider.setPosition(Logic.speedSliderPos(ui_View.getData("mouse/doubleRate", isRecovery)))
        var scroll = Logic.scrollSetting(ui_View.getData("mouse/scrollRate", isRecovery))
        screenRadio.checked = scroll.screen
        rowsRadio.checked = !scroll.screen
        if (!scroll.screen)
            linesField.setValue(scroll.lines)
        if (isSendData)
            save(0, true)
    }

    // step: 0 everything, 1 pointer speed, 2 double-click speed, 3 wheel lines.
    function save(step, isSendData) {
        var pointer = Math.round(pointerSlider.value)
        var dbl = Math.round(doubleSlider.value)
        ui_View.setData("mouse/mouseRate", pointer)
        ui_View.setData("mouse/doubleRate", dbl)
        var scroll = rowsRadio.checked ? Logic.clamp(linesField.value, 1, 100) : 1000
        ui_View.setData("mouse/scrollRate", scroll)
        if (!isSendData)
            return
        if (step === 0 || step === 1)
            ui_View.mouseSetCursorSpeed(Logic.speedIndex(pointer))
        if (step === 0 || step === 2)
            ui_View.mouseSetDoubleClickSpeed(Logic.speedIndex(dbl))
        if (step === 0 || step === 3)
            ui_View.mouseSetVerticalScrollLines(scroll)
    }

    component Caption: Text {
        color: Skin.text
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormal
    }
    component EndText: Text {
        color: Skin.gray2
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMin
    }
    // The one-line reason a setting is greyed out.
    component Reason: Text {
        x: 100
        width: 184
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        visible: text !== ""
        color: Skin.gray2
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMin
    }
    component Separator: Rectangle {
        x: 16
        width: 384
        height: 1
        color: Skin.gray1
    }

    Caption { x: 32; y: 12; text: page.systemSettingLang[1] }
    Reason { objectName: "speedReason"; y: 55; text: page.unavailable.speed }
    Slider {
        id: pointerSlider
        objectName: "pointerSlider"
        x: 32
        y: 40
        width: 352
        enabled: page.unavailable.speed === ""
        opacity: enabled ? 1 : 0.4
        onValueChangeDelay: page.save(1, true)
    }
    EndText { x: 32; y: 54; text: page.systemSettingLang[3] }
    EndText { x: 384 - width; y: 54; text: page.systemSettingLang[4] }
    Separator { y: 76 }

    Caption { x: 32; y: 88; text: page.systemSettingLang[2] }
    Reason { objectName: "doubleClickReason"; y: 131; text: page.unavailable.doubleClick }
    Slider {
        id: doubleSlider
        objectName: "doubleSlider"
        x: 32
        y: 116
        width: 352
        enabled: page.unavailable.doubleClick === ""
        opacity: enabled ? 1 : 0.4
        onValueChangeDelay: page.save(2, true)
    }
    EndText { x: 32; y: 130; text: page.systemSettingLang[4] }
    EndText { x: 384 - width; y: 130; text: page.systemSettingLang[3] }
    Separator { y: 152 }

    Caption { x: 32; y: 164; text: page.systemSettingLang[5] }
    Reason { objectName: "scrollLinesReason"; x: 200; y: 222; horizontalAlignment: Text.AlignRight; text: page.unavailable.scrollLines }

    RadioButton {
        id: rowsRadio
        objectName: "rowsRadio"
        x: 40
        y: 192
        enabled: page.unavailable.scrollLines === ""
        opacity: enabled ? 1 : 0.4
        text: page.systemSettingLang[6]
        checked: true
        onClicked: {
            screenRadio.checked = false
            page.save(3, true)
        }
    }
    NumberField {
        id: linesField
        objectName: "linesField"
        x: rowsRadio.x + rowsRadio.width + 12
        anchors.verticalCenter: rowsRadio.verticalCenter
        width: 32
        height: 16
        minimum: 1
        maximum: 100
        maximumLength: 3
        emptyValue: 1
        text: "1"
        enabled: page.unavailable.scrollLines === ""
        opacity: enabled ? 1 : 0.4
        onInputSignal: page.closeAllDropDowns()
        onEndInputSignal: page.save(3, true)
    }
    RadioButton {
        id: screenRadio
        objectName: "screenRadio"
        x: 40
        y: 220
        enabled: page.unavailable.scrollLines === ""
        opacity: enabled ? 1 : 0.4
        text: page.systemSettingLang[7]
        onClicked: {
            rowsRadio.checked = false
            page.save(3, true)
        }
    }
    Separator { y: 252 }

    Caption { x: 32; y: 268; text: page.languageText }
    DropDownList {
        id: languageDrop
        objectName: "languageDropDown"
        x: 200
        y: 264
        width: 184
        model: page.languages.map(page.languageLabel)
        currentIndex: page.languages.indexOf(page.language)
        onOpening: page.closeAllDropDowns()
        onActivated: function (i) { page.languageChosen(page.languages[i]) }
    }
    function closeDropDowns() { languageDrop.close() }
}
