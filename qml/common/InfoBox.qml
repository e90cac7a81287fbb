import QtQuick
import "../basic"
import "../basic/Skin.js" as Skin

// The information box behind the help icon.
Rectangle {
    id: box
    property string productName: ""
    signal closeClicked()

    width: 400
    height: 240
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
        x: 16
        y: 12
        text: "Infomation"
        color: Skin.text
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddle
        font.bold: true
    }
    ImageButton {
        objectName: "closeButton"
        anchors.right: parent.right
        anchors.rightMargin: 14
        y: 12
        icon: "close"
        onClicked: box.closeClicked()
    }
    Rectangle {
        y: 40
        width: parent.width
        height: 2
        color: Skin.highlight
    }
    Image {
        x: 16
        y: 56
        width: 200
        height: 60
        sourceSize: Qt.size(200, 60)
        source: Skin.img("logo")
    }
    Column {
        x: 24
        y: 132
        spacing: 10
        Repeater {
            model: ["Driver Version：1.0.2", "Product Name：" + box.productName, "Hardware Code: 1.3.1(3327/572)"]
            Text {
                required property string modelData
                text: modelData
                color: Skin.infoText
                font.family: Skin.fontFamily
                font.pixelSize: Skin.fontNormal
                font.letterSpacing: 1
            }
        }
    }
}
