import QtQuick

// Minimise / close button of the title bar, drawn in shapes.
Rectangle {
    id: button
    property string kind: "close"
    signal clicked()
    width: 24
    height: 24
    radius: 4
    color: area.containsMouse ? (kind === "close" ? "#c0392b" : "#3d3e44") : "transparent"

    Rectangle {
        visible: button.kind === "minimize"
        anchors.centerIn: parent
        width: 12
        height: 2
        color: "#e1e1e1"
    }
    Item {
        visible: button.kind === "close"
        anchors.centerIn: parent
        width: 14
        height: 14
        Rectangle { anchors.centerIn: parent; width: 16; height: 2; rotation: 45; color: "#e1e1e1" }
        Rectangle { anchors.centerIn: parent; width: 16; height: 2; rotation: -45; color: "#e1e1e1" }
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
