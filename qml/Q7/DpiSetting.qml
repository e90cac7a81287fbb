import QtQuick
import "../basic"
import "../common"
import "../basic/Skin.js" as Skin
import "../basic/PageLogic.js" as Logic

// The DPI panel: how many stages are active, each stage's value on a
// vertical slider, and which stage the mouse uses. Values wait for the main
// page's "Save"; picking the active stage goes to the mouse at once.
Rectangle {
    id: page

    property bool isSave: false
    property int currentDPI: 0
    // Without a mouse its stage is unknown: no stage is marked.
    property bool deviceKnown: true
    property int dpiCount: 4
    property int currentDpiCount: 4
    property int minDPI: 200
    property int maxDPI: 6000
    property string sensorType: "3360"
    property int dpiBase: 50
    property var dpiValueArray: [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]
    property var dpiSettingLang: ["DPI", "", "", "", ""]
    // What the eight value labels show; "saveData" takes these.
    property var stageValues: dpiValueArray.slice()

    readonly property var layout: Logic.dpiLayout(currentDpiCount)
    property alias countDropDown: countDrop
    property alias stageColumn: stages

    signal closeAllDropDowns()

    width: 232
    height: 256
    color: Skin.black

    function closeDropDowns() {
        countDrop.close()
    }

    function slider(k) {
        return stageRepeater.itemAt(k)
    }

    function init(isSendData, isRecovery) {
        if (!isRecovery) {
            var count = Logic.toInt(ui_View.getData("mouse/dpiCount", isRecovery), -1)
            if (count < 1 || count > 8) {
                // More slots than the panel has (or none at all): keep what
                // is shown rather than draw a broken panel.
                console.warn("config: mouse/dpiCount", count < 0 ? "missing" : count, "ignored")
                return
            }
            dpiCount = count
            currentDpiCount = Logic.clamp(Logic.toInt(ui_View.getData("mouse/currentDpiCount", isRecovery), currentDpiCount), 1, dpiCount)
            var range = Logic.dpiRange(ui_View.getGlobalData("mouse/minDPI"),
                                       ui_View.getGlobalData("mouse/maxDPI"),
                                       ui_View.getGlobalData("mouse/dpiBase"))
            minDPI = range.min
            maxDPI = range.max
            dpiBase = range.base
            var sensor = ui_View.getGlobalData("mouse/sensorType")
            if (sensor !== undefined && sensor !== null)
                sensorType = String(sensor)
        }
        dpiValueArray = Logic.dpiValues(ui_View.getDataList("mouse/dpiValueArray", isRecovery), minDPI, maxDPI)
        if (!isRecovery) {
            var names = []
            for (var i = 1; i <= dpiCount; ++i)
                names.push(String(i))
            countDrop.model = names
            countDrop.currentIndex = currentDpiCount - 1
            countDrop.close()
        }
        stageValues = dpiValueArray.slice()
        for (var k = 0; k < 8; ++k)
            slider(k).setRatio(Logic.dpiRatio(stageValues[k], minDPI, maxDPI))
        if (isSendData)
            saveData(true)
    }

    function saveData(isSendData) {
        var values = []
        for (var k = 0; k < 8; ++k)
            values.push(Logic.toInt(stageValues[k], minDPI))
        ui_View.setDataList("mouse/dpiValueArray", values)
        ui_View.setData("mouse/currentDpiCount", currentDpiCount)
        if (isSendData)
            ui_View.mouseSetDpi(currentDpiCount, sensorType, values)
    }

    function selectStage(k) {
        closeAllDropDowns()
        ui_View.mouseSetCurrentDPI(k + 1)
        currentDPI = k
    }

    function setStageValue(k, pos) {
        var v = stageValues.slice()
        v[k] = Logic.sliderToDpi(pos, minDPI, maxDPI, dpiBase)
        stageValues = v
    }

    Text {
        x: 12
        y: 8
        height: 24
        verticalAlignment: Text.AlignVCenter
        text: page.dpiSettingLang[0]
        color: Skin.text
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddle
        font.bold: true
    }

    DropDownList {
        id: countDrop
        objectName: "stageCountDropDown"
        anchors.right: resetButton.left
        anchors.rightMargin: 10
        y: 8
        width: 64
        model: ["1", "2", "3", "4", "5", "6", "7", "8"]
        currentIndex: page.currentDpiCount - 1
        onActivated: function (i) {
            page.currentDpiCount = i + 1
            page.isSave = true
        }
    }

    ImageButton {
        id: resetButton
        objectName: "dpiResetButton"
        anchors.right: parent.right
        anchors.rightMargin: 12
        y: 12
        icon: "back"
        onClicked: {
            page.init(false, true)
            page.isSave = true
        }
    }

    // Horizontal sliders stacked in a column, the column turned upright:
    // the first stage ends up at the left, low values at the bottom.
    Column {
        id: stages
        anchors.horizontalCenter: parent.horizontalCenter
        y: page.layout.y
        spacing: page.layout.spacing
        rotation: 270
        Repeater {
            id: stageRepeater
            model: 8
            Slider {
                required property int index
                objectName: "dpiSlider" + index
                width: 176
                height: 6
                knobWidth: 12
                knobHeight: 14
                visible: index < page.currentDpiCount
                fillColor: index === page.currentDPI && page.deviceKnown ? Skin.accent : Skin.stageIdle
                knobColor: index === page.currentDPI && page.deviceKnown ? Skin.accent : Skin.stageIdle
                onKnobPressed: page.selectStage(index)
                onClicked: page.selectStage(index)
                onValueChange: function (v) { page.setStageValue(index, v) }
                onValueChangeDelay: function (v) {
                    page.setStageValue(index, v)
                    page.isSave = true
                }
            }
        }
    }

    Row {
        id: labels
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 16
        spacing: page.layout.labelSpacing
        Repeater {
            model: 8
            Text {
                required property int index
                objectName: "dpiLabel" + index
                visible: index < page.currentDpiCount
                width: 24
                horizontalAlignment: Text.AlignHCenter
                text: String(page.stageValues[index])
                color: index === page.currentDPI && page.deviceKnown ? Skin.accent : Skin.gray3
                font.family: Skin.fontFamily
                font.pixelSize: Skin.fontMin
            }
        }
    }
}
