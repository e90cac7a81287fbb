import QtQuick
import "Skin.js" as Skin

// A small integer entry. Enter ends the entry; leaving it with nothing (or
// less than 1) typed shows 0 and reports the end of the entry; more than
// the maximum shows the maximum.
Rectangle {
    id: field
    property int minimum: 0
    property int maximum: 255
    property int maximumLength: 4
    property int emptyValue: 0
    property alias text: input.text
    property alias input: input
    readonly property int value: parseInt(input.text, 10) || 0
    signal inputSignal()
    signal endInputSignal()

    function setValue(v) {
        input.text = String(v)
    }
    function endInput() {
        input.focus = false
    }

    implicitWidth: 48
    implicitHeight: 20
    radius: 2
    color: Skin.gray0
    border.width: 1
    border.color: input.activeFocus ? Skin.highlight : Skin.gray1

    TextInput {
        id: input
        anchors.fill: parent
        anchors.leftMargin: 2
        anchors.rightMargin: 2
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        clip: true
        text: "0"
        maximumLength: field.maximumLength
        validator: IntValidator { bottom: field.minimum; top: field.maximum }
        color: Skin.text
        selectionColor: Skin.highlight
        selectByMouse: true
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormal
        activeFocusOnTab: true
        Keys.onReturnPressed: focus = false
        Keys.onEnterPressed: focus = false
        onActiveFocusChanged: {
            if (activeFocus) {
                field.inputSignal()
                return
            }
            var v = parseInt(text, 10)
            if (text === "" || !(v >= 1))
                text = String(field.emptyValue)
            else if (v > field.maximum)
                text = String(field.maximum)
            field.endInputSignal()
        }
    }
}
