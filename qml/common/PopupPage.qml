import QtQuick
import "../basic"
import "../basic/Skin.js" as Skin

// Frame of a pop-up page: a title bar with close (and optionally reset)
// icons, a highlight line under it, and a background that drags the page
// around inside its parent.
Rectangle {
    id: page
    property string title: ""
    property bool showReset: false
    default property alias content: body.data
    signal closeClicked()
    signal resetClicked()
    signal backgroundPressed()

    color: Skin.gray0
    border.width: 1
    border.color: Skin.gray1


    MouseArea {
        anchors.fill: parent
        drag.target: page
        drag.minimumX: 0
        drag.minimumY: 0
        drag.maximumX: page.parent ? page.parent.width - page.width : 0
        drag.maximumY: page.parent ? page.parent.height - page.height : 0
        onPressed: page.backgroundPressed()
    }

    Item {
        id: titleBar
        width: parent.width
        height: 40
        Text {
            anchors.left: parent.left
            anchors.leftMargin: 16
            anchors.right: icons.left
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            text: page.title
            elide: Text.ElideRight
            color: Skin.text
            font.family: Skin.fontFamily
            font.pixelSize: Skin.fontMiddle
            font.bold: true
        }
        Row {
            id: icons
            anchors.right: parent.right
            anchors.rightMargin: 14
            anchors.verticalCenter: parent.verticalCenter
            spacing: 14
            ImageButton {
                objectName: "resetButton"
                icon: "back"
                visible: page.showReset
                onClicked: page.resetClicked()
            }
            ImageButton {
                objectName: "closeButton"
                icon: "close"
                onClicked: page.closeClicked()
            }
        }
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: 2
            color: Skin.highlight
        }
    }

    Item {
        id: body
        y: titleBar.height
        width: parent.width
        height: parent.height - titleBar.height
    }
}
