import QtQuick
import QtTest

MainUnderTest {
    id: host

    TestCase {
        id: test
        name: "DpiPage"
        when: windowShown

        property var page

        function init() {
            // The shipped profile: eight slots, four active, range 200..6000.
            ui_View.setData("mouse/dpiCount", 8)
            ui_View.setData("mouse/currentDpiCount", 4)
            ui_View.setDataList("mouse/dpiValueArray", [400, 800, 1600, 3200, 4000, 4800, 5400, 6000])
            host.started(test)
            page = findChild(host.root, "dpiSetting")
            verify(page)
            rig.clearTrace()
        }

        function slider(k) {
            return findChild(page, "dpiSlider" + k)
        }

        function knob(k) {
            return findChild(slider(k), "knob")
        }

        // Drags stage k's knob so its left edge ends at pos (slider pixels).
        function dragTo(k, pos) {
            var s = slider(k)
            var from = knob(k).x + 6
            mousePress(s, from, 3)
            mouseMove(s, (from + pos + 6) / 2, 3)
            mouseMove(s, pos + 6, 3)
            mouseRelease(s, pos + 6, 3)
        }

        function pickCount(n) {
            var drop = findChild(page, "stageCountDropDown")
            drop.open()
            drop.choose(n - 1)
            tryCompare(page, "currentDpiCount", n)
        }

        function test_sliderPositions_data() {
            return [
                { tag: "bottom", pos: 3, dpi: 200 },
                { tag: "top", pos: 161, dpi: 6000 },
                { tag: "middle", pos: 82, dpi: 3100 }
            ]
        }
        function test_sliderPositions(data) {
            dragTo(1, data.pos)
            compare(knob(1).x, data.pos)
            compare(page.stageValues[1], data.dpi)
            compare(findChild(page, "dpiLabel1").text, String(data.dpi))
            // Releasing only marks the page unsaved; nothing goes out.
            compare(page.isSave, true)
            compare(rig.reports("11").length, 0)
        }

        function test_threeStagesSave() {
            pickCount(3)
            compare(page.isSave, true)
            compare(slider(2).visible, true)
            compare(slider(3).visible, false)
            host.root.save()
            compare(page.isSave, false)
            compare(String(ui_View.getData("mouse/currentDpiCount", false)), "3")
            compare(ui_View.getDataList("mouse/dpiValueArray", false).length, 8)
            // Sensor 4090: 400, 800, 1600 are codes 3, 7, 15; the stages beyond
            // the count are switched off.
            var st = rig.mouseState()
            compare(st.dpiStageCount553, 3)
            compare(st.dpiCodes553, [3, 7, 15, 0x80, 0x80, 0x80, 0x80, 0x80])
        }

        function test_eighthSliderSelectsStage8() {
            pickCount(8)
            rig.clearTrace()
            mouseClick(knob(7))
            compare(page.currentDPI, 7)
            var sent = rig.reports("0b")
            compare(sent.length, 1)
            compare(sent[0][0], 8)
            compare(rig.mouseState().dpiStage553, 8)
            compare(String(slider(7).fillColor), "#009cde")
            compare(String(slider(0).fillColor), "#ff8c1a")
        }

        function test_trackClickSelectsAndMoves() {
            var s = slider(2)
            mouseClick(s, 100, 3)
            compare(page.currentDPI, 2)
            // The knob's centre goes to the click point.
            tryCompare(page, "isSave", true)
            verify(Math.abs(knob(2).x - 94) <= 1, "knob at " + knob(2).x)
            compare(page.stageValues[2], 3500)
        }

        function test_countOffered_data() {
            return [
                { tag: "six slots", count: 6, entries: 6 },
                { tag: "one slot", count: 1, entries: 1 },
                { tag: "eight slots", count: 8, entries: 8 }
            ]
        }
        function test_countOffered(data) {
            ui_View.setData("mouse/dpiCount", data.count)
            page.init(false, false)
            var drop = findChild(page, "stageCountDropDown")
            compare(drop.count, data.entries)
            compare(drop.model[drop.count - 1], String(data.entries))
        }

        function test_badCountLeavesThePage_data() {
            return [
                { tag: "twelve", count: 12 },
                { tag: "zero", count: 0 },
                { tag: "words", count: "many" }
            ]
        }
        function test_badCountLeavesThePage(data) {
            ui_View.setData("mouse/dpiCount", data.count)
            ui_View.setDataList("mouse/dpiValueArray", [1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000])
            ignoreWarning(/config: mouse\/dpiCount/)
            page.init(false, false)
            compare(page.dpiCount, 8)
            compare(page.stageValues[0], 400)
            compare(findChild(page, "stageCountDropDown").count, 8)
        }

        function test_badStoredValues() {
            ui_View.setData("mouse/currentDpiCount", 12)
            ui_View.setDataList("mouse/dpiValueArray", [99999, -50, "x", 3200])
            page.init(false, false)
            compare(page.currentDpiCount, 8)
            compare(page.stageValues, [6000, 200, 1500, 3200, 3000, 4000, 5000, 6000])
            compare(knob(0).x, 161)
            compare(knob(1).x, 4)
            // Shown, not written back.
            compare(String(rig.profileValue(0, "mouse/dpiValueArray")), "99999,-50,x,3200")
            compare(String(ui_View.getData("mouse/currentDpiCount", false)), "12")
            ui_View.setData("mouse/currentDpiCount", 0)
            page.init(false, false)
            compare(page.currentDpiCount, 1)
        }

        function test_resetLoadsDefaults() {
            ui_View.setDataList("mouse/dpiValueArray", [1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000])
            page.init(false, false)
            compare(page.stageValues[0], 1000)
            mouseClick(findChild(page, "dpiResetButton"))
            compare(page.stageValues, [400, 800, 1600, 3200, 4000, 4800, 5400, 6000])
            compare(page.isSave, true)
            compare(rig.trace(), [])
        }

        function test_layoutFollowsTheCount_data() {
            return [
                { tag: "2", n: 2, y: 109, s: 33, l: 10 }, { tag: "3", n: 3, y: 90, s: 33, l: 12 },
                { tag: "5", n: 5, y: 50, s: 33, l: 14 }, { tag: "8", n: 8, y: 30, s: 22, l: 4 }
            ]
        }
        function test_layoutFollowsTheCount(data) {
            pickCount(data.n)
            var column = page.stageColumn
            waitForItemPolished(column)
            compare(column.y, data.y)
            compare(column.spacing, data.s)
            // Every active slider fits in the panel, none hides a label.
            for (var k = 0; k < data.n; ++k) {
                // The track's ends, turned upright.
                var top = slider(k).mapToItem(page, 176, 3)
                var bottom = slider(k).mapToItem(page, 0, 3)
                var label = findChild(page, "dpiLabel" + k).mapToItem(page, 0, 0)
                verify(Math.min(top.y, bottom.y) >= 36, "slider " + k + " top " + Math.min(top.y, bottom.y))
                verify(Math.max(top.y, bottom.y) < label.y, "slider " + k + " reaches its label")
                verify(top.x > 0 && top.x < 232)
            }
        }

        function test_deviceStageShown() {
            var r = host.root
            r.setCurrentDPI(3)
            compare(page.currentDPI, 2)
            r.setCurrentDPI(0)
            compare(page.currentDPI, 2)
        }
    }
}
