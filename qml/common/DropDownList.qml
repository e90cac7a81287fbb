import QtQuick
import "../basic"
import "../basic/Skin.js" as Skin

// An edit row showing the current entry, and a list that slides open below
// it. The list is drawn in the window's top layer so neighbouring panels
// cannot cover it. A choice is reported once the list has slid shut.
Item {
    id: dropDown

    property var model: []
    property int currentIndex: -1
    property int maxRows: 10
    property int rowHeight: 24
    readonly property int count: model ? model.length : 0
    readonly property string currentText: currentIndex >= 0 && currentIndex < count ? String(model[currentIndex]) : ""
    readonly property bool isOpen: list.opened
    readonly property int visibleRows: Math.min(count, maxRows)
    readonly property int slideDuration: Math.max(0, 180 - 10 * visibleRows)
    // Where the list is drawn: the window's content item unless set.
    property Item popupParent: null

    signal activated(int index)
    signal opening()

    implicitWidth: 120
    implicitHeight: rowHeight

    function open() {
        if (list.opened || count === 0)
            return
        opening()
        var layer = popupParent ? popupParent : dropDown.Window.contentItem
        if (!layer)
            return
        list.parent = layer
        var p = dropDown.mapToItem(layer, 0, dropDown.height)
        list.x = p.x
        list.y = p.y
        list.pending = -1
        view.positionViewAtIndex(Math.max(currentIndex, 0), ListView.Contain)
        list.opened = true
    }
    function close() {
        if (!list.opened)
            return
        list.opened = false
    }
    function toggle() {
        if (list.opened)
            close()
        else
            open()
    }
    // Pick row i as the user would, then report it when the list is shut.
    function choose(i) {
        if (i < 0 || i >= count)
            return
        list.pending = i
        if (!list.opened) {
            list.report()
            return
        }
        list.opened = false
        if (list.height === 0)
            list.report()
    }

    Rectangle {
        id: edit
        anchors.fill: parent
        radius: 2
        color: Skin.gray1
        border.width: 1
        border.color: list.opened ? Skin.highlight : Skin.gray1
        Text {
            anchors.left: parent.left
            anchors.right: arrow.left
            anchors.leftMargin: 8
            anchors.rightMargin: 4
            anchors.verticalCenter: parent.verticalCenter
            text: dropDown.currentText
            elide: Text.ElideRight
            color: Skin.text
            font.family: Skin.fontFamily
            font.pixelSize: Skin.fontNormal
        }
        Image {
            id: arrow
            anchors.right: parent.right
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            width: 10
            height: 6
            sourceSize: Qt.size(10, 6)
            source: Skin.img("arrow")
            rotation: list.opened ? 180 : 0
        }
        MouseArea {
            anchors.fill: parent
            onClicked: dropDown.toggle()
        }
    }

    Rectangle {
        id: list
        property bool opened: false
        property int pending: -1
        objectName: "dropDownPopup"
        width: dropDown.width
        height: opened ? dropDown.visibleRows * dropDown.rowHeight + 2 : 0
        visible: height > 0
        clip: true
        z: 1000
        color: Skin.gray0
        border.width: 1
        border.color: Skin.gray1

        function report() {
            var i = pending
            pending = -1
            if (i < 0)
                return
            dropDown.currentIndex = i
            dropDown.activated(i)
        }

        Behavior on height {
            NumberAnimation {
                duration: dropDown.slideDuration
                easing.type: Easing.OutQuad
            }
        }
        onHeightChanged: {
            if (height === 0 && !opened)
                report()
        }

        ListView {
            id: view
            x: 1
            y: 1
            width: parent.width - 2
            height: dropDown.visibleRows * dropDown.rowHeight
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: dropDown.count
            delegate: Rectangle {
                required property int index
                width: view.width - (scroll.visible ? 6 : 0)
                height: dropDown.rowHeight
                color: rowArea.containsMouse ? Skin.gray1 : "transparent"
                Text {
                    anchors.fill: parent
                    anchors.leftMargin: 8
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                    text: String(dropDown.model[index])
                    color: index === dropDown.currentIndex ? Skin.highlight : Skin.text
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontNormal
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: dropDown.choose(index)
                }
            }
        }
        // Scroll bar, only when there are more rows than fit.
        Rectangle {
            id: scroll
            objectName: "dropDownScroll"
            visible: dropDown.count > dropDown.maxRows
            anchors.right: parent.right
            anchors.rightMargin: 1
            y: 1 + view.visibleArea.yPosition * view.height
            width: 5
            height: Math.max(12, view.visibleArea.heightRatio * view.height)
            radius: 2
            color: Skin.gray2
            MouseArea {
                anchors.fill: parent
                anchors.margins: -2
                property real startY
                property real startContentY
                onPressed: function (mouse) {
                    startY = mapToItem(list, mouse.x, mouse.y).y
                    startContentY = view.contentY
                }
                onPositionChanged: function (mouse) {
                    var dy = mapToItem(list, mouse.x, mouse.y).y - startY
                    var range = view.contentHeight - view.height
                    var c = startContentY + dy * view.contentHeight / view.height
                    view.contentY = Math.max(0, Math.min(range, c))
                }
            }
        }
    }
}
