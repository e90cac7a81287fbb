import QtQuick
import QtTest

// The system settings page (what the desktop is asked for, what is stored)
// and the profile page (the list, its files, switching profiles).
PageTest {
    name: "SystemAndProfile"

    property var page

    // A profile list as stored, the active profile, and the page open.
    function openProfiles(list, active) {
        ui_View.updataNameList(2, list)
        ui_View.setGlobalData("mouse/profileNo", active)
        started().openProfilePage()
        page = child("profilePage")
    }
    function cleanup() {
        ui_View.setGlobalData("mouse/profileNo", 0)
        ui_View.setCurrentProfile(0)
        ui_View.updataNameList(2, ["Standard0", "loaderkestle"])
    }
    function knob(slider) { return child("knob", slider).x }
    function names() { return page.entries.map(function (e) { return e.name + e.number }) }
    function row(i) { return page.listView.itemAtIndex(i) }
    function stored3() { return ["mouse/mouseRate", "mouse/doubleRate", "mouse/scrollRate"].map(stored) }

    function test_system() {
        // A stored "one screen" is shown, not written back, not applied.
        ui_View.setData("mouse/scrollRate", 1000)
        started().openSystemPage()
        page = child("systemSetting")
        compare([knob(page.pointerSlider), knob(page.doubleSlider), page.screenRadio.checked, page.linesField.text, stored3(), rig.pointerCalls()],
                [170, 170, true, "1", ["170", "170", "1000"], []])
        // Released knobs apply the speed step and store the position; the double click applies only
        // itself but stores the whole page; an emptied lines field becomes 1; one screen, then rows.
        mouseClick(page.rowsRadio)
        dragTo(page.pointerSlider, 337)
        page.linesField.text = "7"
        dragTo(page.doubleSlider, 337)
        compare(stored3(), ["337", "337", "7"])
        page.linesField.input.forceActiveFocus()
        page.linesField.text = ""
        page.linesField.input.focus = false
        compare([page.linesField.text, stored("mouse/scrollRate")], ["1", "1"])
        mouseClick(page.screenRadio)
        compare(stored("mouse/scrollRate"), "1000")
        mouseClick(page.rowsRadio)
        compare([page.screenRadio.checked, rig.pointerCalls()], [false, ["lines 1", "speed 20", "doubleClick 200", "lines 1", "lines 1000", "lines 1"]])
        // Reset: the defaults of pD.bin, stored and applied.
        mouseClick(findChild(page, "resetButton"))
        compare([knob(page.pointerSlider), stored3(), rig.pointerCalls()], [170, ["170", "170", "3"], ["speed 10", "doubleClick 550", "lines 3"]])
        // What the desktop cannot store is greyed out with its reason: X11 keeps only the speed.
        rig.setPointerBackend("x11")
        page.init(false, false)
        compare([child("speedReason").text, child("doubleClickReason").text, page.pointerSlider.enabled, page.doubleSlider.enabled,
                 page.rowsRadio.enabled], ["", "Needs the desktop's own settings.", true, false, false])
        rig.setPointerBackend("recording")
    }

    function test_profileList() {
        // The first entry is always "Standard"; the renamed list is stored at once.
        openProfiles(["Mine0", "profile_01", "profile_13"], 1)
        compare([names(), page.currentRow, ui_View.getNameList(2), child("profileDropDown").currentText],
                [["Standard0", "profile_01", "profile_13"], 1, ["Standard0", "profile_01", "profile_13"], "profile_0"])
        // New takes the free number and a copy of the defaults.
        rig.writeFile("modules/setting/p3.bin", "[mouse]\nreportRate=0\n")
        mouseClick(findChild(page, "newButton"))
        var four = ["Standard0", "profile_01", "profile_13", "profile_22"]
        compare([names(), page.currentRow, ui_View.getNameList(2), child("profileDropDown").count,
                 rig.readFile("modules/setting/p3.bin")], [four, 3, four, 4, rig.readFile("modules/setting/pD.bin")])
        // Renames: a new name is taken, Enter or a press elsewhere ends one; another's name is not.
        mouseDoubleClickSequence(row(1), 40, 10)
        row(1).editText = "Games"
        mousePress(page, 10, 270)
        mouseRelease(page, 10, 270)
        mouseDoubleClickSequence(row(2), 40, 10)
        compare([page.editingRow, row(2).editText], [2, "profile_1"])
        row(2).editText = "Games"
        keyClick(Qt.Key_Return)
        compare([page.editingRow, names(), ui_View.getNameList(2)[1]], [-1, ["Standard0", "Games1", "profile_13", "profile_22"], "Games1"])
        // Delete from the row's menu asks; the file is left alone.
        var before = rig.readFile("modules/setting/p4.bin"), confirm = findChild(page, "deleteConfirm")
        mouseClick(row(2), 40, 10, Qt.RightButton)
        mouseClick(findChild(page.menu, "menuDelete"))
        verify(confirm.visible && confirm.message.indexOf("profile_1") >= 0)
        mouseClick(findChild(confirm, "okButton"))
        compare([names(), ui_View.getNameList(2), rig.readFile("modules/setting/p4.bin")],
                [["Standard0", "Games1", "profile_22"], ["Standard0", "Games1", "profile_22"], before])
    }

    function test_profileImportAndSwitch() {
        // A full list: New adds nothing; import replaces the current row, shown and sent at once.
        openProfiles(["Standard0", "a1", "b2", "c3", "d4", "e5"], 0)
        mouseClick(findChild(page, "newButton"))
        rig.writeFile("in.pf", "[mouse]\nreportRate=0\ndpiCount=8\ncurrentDpiCount=2\n")
        rig.answer("in.pf")
        mouseClick(row(0))
        rig.clearTrace()
        mouseClick(findChild(page, "importButton"))
        compare([page.entries.length, child("reportRateDropDown").currentText, child("dpiSetting").currentDpiCount, reports("01")[0][0]],
                [6, "125Hz", 2, 8])
        // Switching selects device profile number + 1 and sends every page of the new profile.
        openProfiles(["Standard0", "profile_01", "profile_13"], 0)
        var r = root, drop = child("profileDropDown")
        ui_View.setCurrentProfile(3)
        ui_View.setData("mouse/reportRate", 0)
        ui_View.setData("mouse/currentDpiCount", 2)
        ui_View.setCurrentProfile(0)
        rig.clearTrace()
        rig.pointerCalls()
        drop.open()
        drop.choose(2)
        tryCompare(r, "activeProfile", 3)
        compare([drop.currentIndex, String(ui_View.getGlobalData("mouse/profileNo")), page.profileNo, reports("02")[0][0],
                 reports("01")[0][0], rig.mouseState().dpiStageCount553, rig.pointerCalls().length, r.isLock],
                [2, "3", 3, 4, 8, 2, 3, false])
        // A missing active profile falls back to Standard.
        openProfiles(["Standard0", "a1"], 4)
        compare([page.profileNo, child("profileDropDown").currentText], [0, "Standard"])
    }
}
