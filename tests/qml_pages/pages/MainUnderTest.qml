import QtQuick
import QtTest

// The main document as the window loads it, plus helpers shared by the
// page tests: a fresh document per test, lookup by object name, waiting
// out the start-up protection.
Item {
    id: host
    width: 1024
    height: 640

    property alias loader: loader
    readonly property var root: loader.item

    Loader {
        id: loader
        active: false
        source: "qrc:/modules/qml/main.qml"
    }

    function fresh() {
        loader.active = false
        loader.active = true
        return loader.item
    }

    // A started main page: "initUI" run and its protection lifted at once
    // (the tests do not need to wait out the second it lasts).
    function started(test) {
        var r = fresh()
        r.initUI()
        r.setProtectUI(0)
        test.compare(r.panelsShown, true)
        test.compare(r.isLock, false)
        return r
    }
}
