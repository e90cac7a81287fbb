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

    width: 416
    height: 312
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
    component Separator: Rectangle {
        x: 16
        width: 384
        height: 1
        color: Skin.gray1
    }

    Caption { x: 32; y: 12; text: page.systemSettingLang[1] }
    Slider {
        id: pointerSlider
        objectName: "pointerSlider"
        x: 32
        y: 40
        width: 352
        onValueChangeDelay: page.save(1, true)
    }
    EndText { x: 32; y: 54; text: page.systemSettingLang[3] }
    EndText { x: 384 - width; y: 54; text: page.systemSettingLang[4] }
    Separator { y: 76 }

    Caption { x: 32; y: 88; text: page.systemSettingLang[2] }
    Slider {
        id: doubleSlider
        objectName: "doubleSlider"
        x: 32
        y: 116
        width: 352
        onValueChangeDelay: page.save(2, true)
    }
    EndText { x: 32; y: 130; text: page.systemSettingLang[4] }
    EndText { x: 384 - width; y: 130; text: page.systemSettingLang[3] }
    Separator { y: 152 }

    Caption { x: 32; y: 164; text: page.systemSettingLang[5] }
    RadioButton {
        id: rowsRadio
        objectName: "rowsRadio"
        x: 40
        y: 192
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
        onInputSignal: page.closeAllDropDowns()
        onEndInputSignal: page.save(3, true)
    }
    RadioButton {
        id: screenRadio
        objectName: "screenRadio"
        x: 40
        y: 220
        text: page.systemSettingLang[7]
        onClicked: {
            rowsRadio.checked = false
            page.save(3, true)
        }
    }
}
