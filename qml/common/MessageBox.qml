import QtQuick
import "../basic"
import "../basic/Skin.js" as Skin

// A confirmation box: title, message, and "OK" at the right of "Cancel"
// (with a "Discard" between them when discardText is set). Enter is OK,
// Esc is Cancel, Tab walks the buttons.
Rectangle {
    id: box
    property string title: ""
    property string message: ""
    property string okText: "OK"
    property string cancelText: "Cancel"
    property string discardText: ""
    signal accepted()
    signal rejected()
    signal discarded()

    Keys.onReturnPressed: box.accepted()
    Keys.onEnterPressed: box.accepted()
    Keys.onEscapePressed: box.rejected()
    onVisibleChanged: if (visible) forceActiveFocus()

    width: 427
    height: 102
    color: Skin.gray0
    border.width: 1
    border.color: Skin.gray1


    MouseArea {
        anchors.fill: parent
        drag.target: box
        drag.minimumX: 0
        drag.minimumY: 0
        drag.maximumX: box.parent ? box.parent.width - box.width : 0
        drag.maximumY: box.parent ? box.parent.height - box.height : 0
    }
    Text {
        x: 12
        y: 8
        width: parent.width - 24
        text: box.title
        elide: Text.ElideRight
        color: Skin.gray2
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormal
    }
    Rectangle {
        x: 12
        y: 28
        width: parent.width - 24
        height: 1
        color: Skin.gray1
    }
    Text {
        x: 12
        y: 38
        width: parent.width - 24
        text: box.message
        wrapMode: Text.WordWrap
        maximumLineCount: 2
        elide: Text.ElideRight
        color: Skin.text
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormal
        font.bold: true
    }
    Row {
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 10
        spacing: 7
        SkinButton {
            objectName: "cancelButton"
            width: 88
            height: 25
            text: box.cancelText
            onClicked: box.rejected()
        }
        SkinButton {
            objectName: "discardButton"
            visible: box.discardText !== ""
            width: 88
            height: 25
            text: box.discardText
            onClicked: box.discarded()
        }
        SkinButton {
            objectName: "okButton"
            width: 88
            height: 25
            text: box.okText
            onClicked: box.accepted()
        }
    }
}
