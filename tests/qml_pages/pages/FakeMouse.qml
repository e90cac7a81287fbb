import QtQuick

// Stands in for the mouse picture.
Item {
    property int keyCount: 0
    property int markedButton: -1
    signal buttonClicked(int i)
}
