import QtQuick
import "../basic"
import "../common"
import "../basic/Skin.js" as Skin
import "../basic/PageLogic.js" as Logic

// The lighting panel: effect, speed and brightness steps, and the colour
// blocks edited on a hue bar or as R, G, B numbers. Changes wait for the
// main page's "Save".
Rectangle {
    id: page

    property bool isSave: false
    property bool isColorful: false
    property bool is55328: false
    // Set by the main page: its first start-up has finished.
    property bool isPownOn: false
    // The DPI page's number of stage slots; simple models show one colour
    // block per stage.
    property int dpiCount: 4
    property var lightControlLang: ["Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color", "Brightness",
        "Twinkling", "Wave", "Gliding", "Finger Moving", "Vertical Flipping", "YO-YO", "Spotlight", "Breath Loop",
        "", "", "", ""]

    property int effect: 1
    property int speedStep: 4
    property int brightStep: 4
    property bool speedShown: true
    property bool brightShown: true
    property int selectedBlock: 0
    property var colors: Logic.builtInColors.slice()
    readonly property int hueWidth: 200

    property alias effectDropDown: effectDrop
    property alias speedSlider: speedSlider
    property alias brightSlider: brightSlider
    property alias hueMarker: marker
    property alias hueBar: hueBar
    property alias redField: redField
    property alias greenField: greenField
    property alias blueField: blueField

    width: 232
    height: Logic.lightPanelHeight(speedShown, brightShown)
    color: Skin.black

    function closeDropDowns() {
        effectDrop.close()
    }

    function init(isSendData, isRecovery) {
        effectDrop.model = Logic.effectNames(lightControlLang, isColorful, is55328)
        if (!isSendData && !isRecovery && !isPownOn)
            effectDrop.close()
        var light = Logic.toList(ui_View.getDataList("mouse/lightValue", isRecovery))
        var e = Logic.toInt(light[0], 0)
        effect = (e >= 0 && e < effectDrop.count) ? e : 0
        effectDrop.currentIndex = effect
        speedStep = Logic.clamp(Logic.toInt(light[1], 4), 0, 4)
        brightStep = Logic.clamp(Logic.toInt(light[2], 4), 0, 4)
        var rows = Logic.lightRows(effect, is55328, true)
        speedShown = rows.speed
        brightShown = rows.bright
        speedSlider.setIndex(speedStep)
        brightSlider.setIndex(brightStep)
        colors = Logic.colorsFromList(ui_View.getDataList("mouse/colorValue", isRecovery))
        selectBlock(0)
        if (isSendData)
            saveData(isSendData, 0)
    }

    function saveData(isSendData, isStep) {
        var light = [effect, speedStep, brightStep]
        if (isStep === 0 || isStep === 1)
            ui_View.setDataList("mouse/lightValue", light)
        var values = Logic.colorValues(colors, effect, is55328)
        if (isStep === 0 || isStep === 2)
            ui_View.setDataList("mouse/colorValue", values)
        if (!isSendData)
            return
        if (isStep === 0 || isStep === 1) {
            ui_View.mouseSetRGBColor(0, values)
            ui_View.mouseSetRGBEffect(effect, speedStep, brightStep)
        }
        if (isStep === 0 || isStep === 2) {
            if (isColorful) {
                ui_View.mouseSetRGBColor(0, values)
                ui_View.mouseSetRGBEffect(effect, speedStep, brightStep)
            } else {
                ui_View.mouseSetRGBColor(1, values)
            }
        }
    }

    // The user picked an effect.
    function pickEffect(i) {
        effect = i
        var rows = Logic.lightRows(effect, is55328, false)
        speedShown = rows.speed
        brightShown = rows.bright
        speedStep = rows.speedStep
        brightStep = 4
        speedSlider.setIndex(speedStep)
        brightSlider.setIndex(brightStep)
        selectBlock(0)
        isSave = true
    }

    function selectBlock(i) {
        selectedBlock = i
        var c = Logic.colorParts(colors[i])
        showComponents(c)
        placeMarker(Logic.rgbToHuePos(c[0], c[1], c[2], hueWidth))
    }

    function showComponents(c) {
        redField.setValue(c[0])
        greenField.setValue(c[1])
        blueField.setValue(c[2])
    }

    function setBlockColor(text) {
        var list = colors.slice()
        list[selectedBlock] = text
        colors = list
    }

    function placeMarker(p) {
        marker.x = hueBar.x + Logic.clamp(p, 0, hueWidth - 1) - marker.width / 2
    }

    // The marker moved to point p of the bar.
    function hueMoved(p) {
        var c = Logic.hueToRgb(p, hueWidth)
        setBlockColor(Logic.colorText(c[0], c[1], c[2]))
        showComponents(c)
    }

    // An R, G or B entry was finished.
    function componentsEntered() {
        var text = Logic.colorText(redField.value, greenField.value, blueField.value)
        var c = Logic.colorParts(text)
        placeMarker(Logic.rgbToHuePos(c[0], c[1], c[2], hueWidth))
        setBlockColor(text)
        isSave = true
    }

    function markerPoint() {
        return marker.x + marker.width / 2 - hueBar.x
    }

    // --- header ---------------------------------------------------------------
    Text {
        objectName: "lightHeading"
        x: 10
        y: 8
        width: effectDrop.x - x - 4
        height: 24
        verticalAlignment: Text.AlignVCenter
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: Skin.fontMin
        text: page.lightControlLang[0]
        color: Skin.text
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddle
        font.bold: true
    }
    DropDownList {
        id: effectDrop
        objectName: "effectDropDown"
        anchors.right: resetButton.left
        anchors.rightMargin: 8
        y: 8
        width: 120
        model: Logic.effectNames(page.lightControlLang, page.isColorful, page.is55328)
        currentIndex: 1
        onActivated: function (i) { page.pickEffect(i) }
    }
    ImageButton {
        id: resetButton
        objectName: "lightResetButton"
        anchors.right: parent.right
        anchors.rightMargin: 10
        y: 12
        icon: "back"
        onClicked: {
            page.init(false, true)
            page.isSave = true
        }
    }

    // --- speed and brightness ---------------------------------------------------
    Column {
        id: rows
        y: 40
        width: parent.width
        Repeater {
            model: 2
            Item {
                required property int index
                readonly property bool isSpeed: index === 0
                width: rows.width
                height: 40
                visible: isSpeed ? page.speedShown : page.brightShown
                Text {
                    x: 12
                    width: 68
                    anchors.verticalCenter: parent.verticalCenter
                    text: page.lightControlLang[isSpeed ? 5 : 7]
                    elide: Text.ElideRight
                    color: Skin.gray3
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontNormal
                }
                Rectangle {
                    x: 186
                    width: 36
                    height: 20
                    radius: 2
                    anchors.verticalCenter: parent.verticalCenter
                    color: Skin.gray0
                    border.width: 1
                    border.color: Skin.gray1
                    Text {
                        objectName: parent.parent.isSpeed ? "speedPercent" : "brightPercent"
                        anchors.centerIn: parent
                        text: Logic.percentText(parent.parent.isSpeed ? page.speedStep : page.brightStep)
                        color: Skin.text
                        font.family: Skin.fontFamily
                        font.pixelSize: Skin.fontMin
                    }
                }
            }
        }
    }
    // The two sliders sit over their rows; kept outside the repeater so the
    // page can reach them by name.
    Slider {
        id: speedSlider
        objectName: "speedSlider"
        x: 84
        y: 40 + 17
        width: 96
        visible: page.speedShown
        snapping: true
        segment: 4
        onValueChangeDelay: {
            page.speedStep = segmentIndex
            page.isSave = true
        }
    }
    Slider {
        id: brightSlider
        objectName: "brightSlider"
        x: 84
        y: 40 + (page.speedShown ? 40 : 0) + 17
        width: 96
        visible: page.brightShown
        snapping: true
        segment: 4
        onValueChangeDelay: {
            page.brightStep = segmentIndex
            page.isSave = true
        }
    }

    // --- colours -------------------------------------------------------------------
    Item {
        id: colorSection
        y: 40 + (page.speedShown ? 40 : 0) + (page.brightShown ? 40 : 0)
        width: parent.width
        height: 136

        Item {
            id: colorRow
            objectName: "colorRow"
            visible: Logic.colorRowVisible(page.effect)
            y: 8
            width: parent.width
            height: 30
            Text {
                x: 12
                width: 52
                y: 0
                text: page.lightControlLang[6]
                elide: Text.ElideRight
                color: Skin.gray3
                font.family: Skin.fontFamily
                font.pixelSize: Skin.fontNormal
            }
            Row {
                x: 70
                y: 1
                spacing: 10
                Repeater {
                    id: blocks
                    model: 8
                    Item {
                        required property int index
                        objectName: "colorBlock" + index
                        width: 14
                        height: 28
                        visible: Logic.colorBlockVisible(index, page.effect, page.dpiCount, page.isColorful, page.is55328)
                        Rectangle {
                            width: 14
                            height: 14
                            color: page.colors[index]
                            border.width: index === page.selectedBlock ? 2 : 1
                            border.color: index === page.selectedBlock ? "#ffffff" : Skin.gray1
                        }
                        Text {
                            y: 16
                            width: 14
                            horizontalAlignment: Text.AlignHCenter
                            text: String(index + 1)
                            color: Skin.gray2
                            font.family: Skin.fontFamily
                            font.pixelSize: Skin.fontMin
                        }
                        MouseArea {
                            anchors.fill: parent
                            anchors.margins: -3
                            onClicked: page.selectBlock(index)
                        }
                    }
                }
            }
        }

        // Six hue segments and a white tail, as the position-to-colour
        // mapping reads them.
        Rectangle {
            id: hueBar
            objectName: "hueBar"
            x: 16
            y: 48
            width: page.hueWidth
            height: 10
            radius: 2
            readonly property real w: Logic.hueSegmentWidth(width) / width
            gradient: Gradient {
                orientation: Gradient.Horizontal
                GradientStop { position: 0; color: "#ff0000" }
                GradientStop { position: hueBar.w; color: "#ffff00" }
                GradientStop { position: 2 * hueBar.w; color: "#00ff00" }
                GradientStop { position: 3 * hueBar.w; color: "#00ffff" }
                GradientStop { position: 4 * hueBar.w; color: "#0000ff" }
                GradientStop { position: 5 * hueBar.w; color: "#ff00ff" }
                GradientStop { position: 6 * hueBar.w - 0.001; color: "#ff0000" }
                GradientStop { position: 6 * hueBar.w; color: "#ffffff" }
                GradientStop { position: 1; color: "#ffffff" }
            }
            MouseArea {
                anchors.fill: parent
                anchors.topMargin: -8
                anchors.bottomMargin: -8
                onPressed: function (mouse) {
                    page.placeMarker(mouse.x)
                    page.hueMoved(page.markerPoint())
                }
                onPositionChanged: function (mouse) {
                    page.placeMarker(mouse.x)
                    page.hueMoved(page.markerPoint())
                }
                onReleased: page.isSave = true
            }
        }
        Image {
            id: marker
            objectName: "hueMarker"
            y: hueBar.y + hueBar.height / 2 - 14
            width: 18
            height: 28
            sourceSize: Qt.size(18, 28)
            source: Skin.img("marker")
            MouseArea {
                anchors.fill: parent
                drag.target: marker
                drag.axis: Drag.XAxis
                drag.minimumX: hueBar.x - marker.width / 2
                drag.maximumX: hueBar.x + page.hueWidth - 1 - marker.width / 2
                drag.threshold: 0
                drag.smoothed: false
                onPositionChanged: {
                    if (drag.active)
                        page.hueMoved(page.markerPoint())
                }
                onReleased: page.isSave = true
            }
        }

        Row {
            x: 16
            y: 82
            spacing: 6
            Text { text: "R"; height: 20; verticalAlignment: Text.AlignVCenter; color: Skin.gray3; font.family: Skin.fontFamily; font.pixelSize: Skin.fontNormal }
            NumberField {
                id: redField
                objectName: "redField"
                width: 32
                maximumLength: 3
                onEndInputSignal: page.componentsEntered()
            }
            Item { width: 10; height: 1 }
            Text { text: "G"; height: 20; verticalAlignment: Text.AlignVCenter; color: Skin.gray3; font.family: Skin.fontFamily; font.pixelSize: Skin.fontNormal }
            NumberField {
                id: greenField
                objectName: "greenField"
                width: 32
                maximumLength: 3
                onEndInputSignal: page.componentsEntered()
            }
            Item { width: 10; height: 1 }
            Text { text: "B"; height: 20; verticalAlignment: Text.AlignVCenter; color: Skin.gray3; font.family: Skin.fontFamily; font.pixelSize: Skin.fontNormal }
            NumberField {
                id: blueField
                objectName: "blueField"
                width: 32
                maximumLength: 3
                onEndInputSignal: page.componentsEntered()
            }
        }

        // Colours mean nothing to most effects: a dark cover over them.
        Rectangle {
            id: colorMask
            objectName: "colorMask"
            y: 4
            width: parent.width
            height: 101
            color: "#c8000000"
            visible: Logic.colorMaskVisible(page.effect)
            MouseArea {
                anchors.fill: parent
            }
        }
    }
}
