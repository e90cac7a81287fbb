import QtQuick
import "../basic/Skin.js" as S

// The gun page: the weapon presets and the presets assigned to the three gun
// slots. The main page keeps it hidden; its start-up reading gives the button
// list the slots' fire periods.
Rectangle {
    id: page
    objectName: "gunControl"
    width: 480
    height: 320
    color: S.gray0
    visible: false

    // Section "gunControl".
    property var gunControlLang: ["Gun editor", "Gun", "Select gun", "Cursor Adjust", "X Axis", "Y axis",
        "Fire adjust", "Rate", "Times", "Endness"]
    property int selectGun1: 0
    property int selectGun2: 0
    property int selectGun3: 0
    property int currentIndex: 0
    property var slotNames: []

    ListModel {
        id: presets
        ListElement { gunName: "M416"; gunImage: "M416"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "AKM"; gunImage: "AKM"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "M16A4"; gunImage: "M16A4"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "SCAR-L"; gunImage: "SCAR-L"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "UNP9"; gunImage: "UNP9"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
        ListElement { gunName: "Thomson"; gunImage: "Thomson"; gunKey: "L-Click"; gunPeriod: "10"; gunX: "0"; gunY: "10"; gunTimes: "0" }
    }
    property alias model: presets

    function text(i) { return gunControlLang && gunControlLang[i] !== undefined ? String(gunControlLang[i]) : "" }

    function presetIndex(v) {
        var n = parseInt(v, 10)
        return isFinite(n) && n >= 0 && n < presets.count ? n : 0
    }

    // Reads the presets from the gun file and the slot assignment.
    function init() {
        slotNames = [text(1) + "1", text(1) + "2"]
        var fields = ["gunName", "gunKey", "gunPeriod", "gunX", "gunY", "gunTimes"]
        for (var i = 0; i < presets.count; ++i) {
            var rec = ui_View.getGunData(i)
            // Without a gun file the fields stay unset; nothing is invented.
            for (var f = 0; f < fields.length; ++f)
                presets.setProperty(i, fields[f], rec && rec.length > f ? String(rec[f]) : "")
        }
        var sel = ui_View.getGlobalData("mouse/selectGun")
        if (sel && typeof sel !== "string" && sel.length >= 3) {
            selectGun1 = presetIndex(sel[0])
            selectGun2 = presetIndex(sel[1])
            selectGun3 = presetIndex(sel[2])
        }
        currentIndex = selectGun1
    }

    // The fire periods of the three slots' presets as integers (0 when unset).
    function slotPeriods() {
        var out = []
        var slots = [selectGun1, selectGun2, selectGun3]
        for (var i = 0; i < 3; ++i) {
            var n = parseInt(presets.get(slots[i]).gunPeriod, 10)
            out.push(isFinite(n) ? n : 0)
        }
        return out
    }

    Text {
        x: 16
        height: 40
        verticalAlignment: Text.AlignVCenter
        text: page.text(0)
        color: S.text
        font.family: S.fontFamily
        font.pixelSize: S.fontMax
        font.bold: true
    }
    ListView {
        x: 16
        y: 48
        width: 160
        height: page.height - 64
        model: presets
        currentIndex: page.currentIndex
        delegate: Rectangle {
            required property int index
            required property string gunName
            width: 160
            height: 27
            color: index === page.currentIndex ? S.highlight : "transparent"
            Text {
                x: 8
                height: parent.height
                verticalAlignment: Text.AlignVCenter
                text: gunName
                color: S.text
                font.family: S.fontFamily
                font.pixelSize: S.fontNormal
            }
            MouseArea {
                anchors.fill: parent
                onClicked: page.currentIndex = index
            }
        }
    }
    Column {
        x: 200
        y: 56
        spacing: 10
        Repeater {
            model: [[3, "gunX"], [5, "gunY"], [7, "gunPeriod"], [8, "gunTimes"]]
            Text {
                required property var modelData
                text: page.text(modelData[0]) + ": " + (presets.count > page.currentIndex
                      ? presets.get(page.currentIndex)[modelData[1]] : "")
                color: S.gray3
                font.family: S.fontFamily
                font.pixelSize: S.fontNormal
            }
        }
    }
}
