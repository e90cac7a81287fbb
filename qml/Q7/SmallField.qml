import QtQuick
import "../basic/Skin.js" as S

// A 48 x 20 number field: up to four digits between minimum and maximum.
// Losing focus reports the end of the entry.
Rectangle {
    id: f
    property alias text: input.text
    property int minimum: 0
    property int maximum: 255
    property alias editing: input.activeFocus
    signal endInputSignal()
    signal inputSignal()
    width: 48
    height: 20
    color: S.gray1
    border.width: 1
    border.color: input.activeFocus ? S.highlight : S.gray2
    function endEditing() { input.focus = false }
    TextInput {
        id: input
        anchors.fill: parent
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        color: S.text
        font.family: S.fontFamily
        font.pixelSize: S.fontNormal
        maximumLength: 4
        selectByMouse: true
        clip: true
        text: "0"
        validator: IntValidator { bottom: 0; top: f.maximum }
        activeFocusOnTab: true
        Keys.onReturnPressed: focus = false
        Keys.onEnterPressed: focus = false
        onActiveFocusChanged: {
            if (activeFocus)
                f.inputSignal()
            else
                f.endInputSignal()
        }
    }
}
