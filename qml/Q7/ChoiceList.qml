import QtQuick
import "../basic/Skin.js" as S

// A drop-down list: a 24-pixel edit row with an arrow, rows 24 high below it,
// at most ten visible. Choosing a row closes the list and reports it.
Item {
    id: d
    property var model: []
    property int currentIndex: -1
    property string placeholder: ""
    property bool opened: false
    signal chosen(int index)
    width: 144
    height: 24
    z: opened ? 100 : 0

    function close() { opened = false }

    Rectangle {
        anchors.fill: parent
        color: S.gray1
        border.width: 1
        border.color: opened ? S.highlight : S.gray2
        Text {
            anchors.left: parent.left
            anchors.leftMargin: 6
            anchors.right: arrow.left
            anchors.verticalCenter: parent.verticalCenter
            elide: Text.ElideRight
            color: S.text
            font.family: S.fontFamily
            font.pixelSize: S.fontNormal
            text: d.currentIndex >= 0 && d.currentIndex < d.model.length ? String(d.model[d.currentIndex]) : d.placeholder
        }
        Text {
            id: arrow
            anchors.right: parent.right
            anchors.rightMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            text: d.opened ? "▲" : "▼"
            color: S.gray3
            font.pixelSize: 9
        }
        MouseArea {
            anchors.fill: parent
            onClicked: d.opened = !d.opened
        }
    }
    Rectangle {
        y: 24
        width: d.width
        height: Math.min(10, d.model.length) * 24
        visible: d.opened
        color: S.gray0
        border.width: 1
        border.color: S.gray2
        clip: true
        ListView {
            id: rows
            anchors.fill: parent
            model: d.model
            boundsBehavior: Flickable.StopAtBounds
            delegate: Rectangle {
                required property int index
                required property var modelData
                width: rows.width
                height: 24
                color: index === d.currentIndex || rowArea.containsMouse ? S.highlight : "transparent"
                Text {
                    anchors.fill: parent
                    anchors.leftMargin: 6
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                    color: S.text
                    font.family: S.fontFamily
                    font.pixelSize: S.fontNormal
                    text: String(modelData)
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: {
                        d.currentIndex = index
                        d.opened = false
                        d.chosen(index)
                    }
                }
            }
        }
    }
}
