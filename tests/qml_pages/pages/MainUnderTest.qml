import QtQuick
import QtTest

// The main document as the window loads it, with its real pages.
Item {
    id: host
    width: 1024
    height: 640
    readonly property var root: loader.item

    Loader { id: loader; active: false; source: "qrc:/modules/qml/main.qml" }

    function fresh() {
        loader.active = false
        loader.active = true
        return loader.item
    }
    // A started main page: "initUI" run and its protection lifted at once.
    function started() {
        var r = fresh()
        r.initUI()
        r.setProtectUI(0)
        return r
    }
}
