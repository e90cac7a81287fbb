import QtQuick
import QtTest

// The system settings page (what the desktop is asked for, what is stored)
// and the profile page (the list, its files, switching profiles).
MainUnderTest {
    id: host

    PageTest {
        name: "SystemAndProfile"

        property var page

        function openSystem(speed, dbl, scroll) {
            ui_View.setData("mouse/mouseRate", speed)
            ui_View.setData("mouse/doubleRate", dbl)
            ui_View.setData("mouse/scrollRate", scroll)
            host.started().openSystemPage()
            page = child("systemSetting")
            rig.clearPointerCalls()
            rig.clearTrace()
        }
        // A profile list as stored, the active profile, and the page open.
        function openProfiles(list, active) {
            ui_View.updataNameList(2, list)
            ui_View.setGlobalData("mouse/profileNo", active)
            host.started().openProfilePage()
            page = child("profilePage")
            rig.clearTrace()
        }
        function cleanup() {
            ui_View.setGlobalData("mouse/profileNo", 0)
            ui_View.setCurrentProfile(0)
            ui_View.updataNameList(2, ["Standard0", "loaderkestle"])
        }
        function knob(slider) { return child("knob", slider) }
        function names() { return page.entries.map(function (e) { return e.name + e.number }) }
        function row(i) { return page.listView.itemAtIndex(i) }
        function menu(i, action) {
            mouseClick(row(i), 40, 10, Qt.RightButton)
            mouseClick(findChild(page.menu, action))
        }

        function test_systemShownAndApplied() {
            openSystem(170, 170, 3)
            compare([knob(page.pointerSlider).x, knob(page.doubleSlider).x, page.rowsRadio.checked, page.linesField.text],
                    [170, 170, true, "3"])
            // A scroll setting is shown, not written back, not applied.
            var scroll = [[1000, true, "3"], [0, false, "1"]]
            for (var i = 0; i < scroll.length; ++i) {
                ui_View.setData("mouse/scrollRate", scroll[i][0])
                page.init(false, false)
                compare([page.screenRadio.checked, page.rowsRadio.checked, page.linesField.text, stored("mouse/scrollRate")],
                        [scroll[i][1], !scroll[i][1], scroll[i][2], String(scroll[i][0])])
            }
            compare(pointerCalls(), [])
            // Released knobs apply the speed step and store the position; a track click once the knob is there.
            var speeds = [[3, "speed 1"], [337, "speed 20"]]
            for (i = 0; i < speeds.length; ++i) {
                dragTo(page.pointerSlider, speeds[i][0])
                compare([knob(page.pointerSlider).x, pointerCalls(), stored("mouse/mouseRate")], [speeds[i][0], [speeds[i][1]], String(speeds[i][0])])
            }
            mouseClick(page.pointerSlider, 40, 3)
            compare(rig.pointerCalls(), [])
            tryVerify(function () { return rig.pointerCalls().length === 1 })
            compare([pointerCalls(), stored("mouse/mouseRate")], [["speed 2"], "34"])
            // The double click applies only itself but stores the whole page.
            page.linesField.text = "7"
            dragTo(page.doubleSlider, 337)
            compare([pointerCalls(), stored("mouse/doubleRate"), stored("mouse/mouseRate"), stored("mouse/scrollRate")],
                    [["doubleClick 200"], "337", "34", "7"])
            // An emptied lines field becomes 1.
            page.linesField.input.forceActiveFocus()
            page.linesField.text = ""
            page.linesField.input.focus = false
            compare([page.linesField.text, stored("mouse/scrollRate"), pointerCalls()], ["1", "1", ["lines 1"]])
            // One screen (again: stays), then rows.
            mouseClick(page.screenRadio)
            compare([pointerCalls(), stored("mouse/scrollRate")], [["lines 1000"], "1000"])
            mouseClick(page.screenRadio)
            compare([page.screenRadio.checked, page.rowsRadio.checked], [true, false])
            pointerCalls()
            mouseClick(page.rowsRadio)
            compare([page.screenRadio.checked, pointerCalls()], [false, ["lines 1"]])
            // Reset: the defaults of pD.bin, stored and applied.
            mouseClick(findChild(page, "resetButton"))
            compare([knob(page.pointerSlider).x, stored("mouse/mouseRate"), stored("mouse/scrollRate"), pointerCalls()],
                    [170, "170", "3", ["speed 10", "doubleClick 550", "lines 3"]])
        }

        function test_systemBadValuesAndDesktops() {
            openSystem(0, 5000, "lots")
            compare([knob(page.pointerSlider).x, knob(page.doubleSlider).x, page.linesField.text, stored("mouse/mouseRate"), pointerCalls()],
                    [3, 337, "3", "0", []])
            // What the desktop cannot store is greyed out with its reason.
            var x11 = "Needs the desktop's own settings.", none = "Not available on this desktop."
            var backends = [["x11", "", x11, x11], ["none", none, none, none], ["recording", "", "", ""]]
            for (var i = 0; i < backends.length; ++i) {
                var b = backends[i]
                rig.setPointerBackend(b[0])
                page.init(false, false)
                compare([findChild(page, "speedReason").text, findChild(page, "doubleClickReason").text,
                         findChild(page, "scrollLinesReason").text, page.pointerSlider.enabled, page.doubleSlider.enabled,
                         page.rowsRadio.enabled, page.linesField.enabled], b.slice(1).concat([b[1] === "", b[2] === "", b[3] === "", b[3] === ""]))
            }
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
            // Renames: a new name is taken; its own, another's or none is not.
            var renames = [[1, "Work", "Work1"], [1, "profile_1", "Work1"], [1, "Work", "Work1"], [2, "", "profile_13"]]
            renames.forEach(function (n) {
                mouseDoubleClickSequence(row(n[0]), 40, 10)
                compare([page.editingRow, row(n[0]).editText], [n[0], page.entries[n[0]].name])
                row(n[0]).editText = n[1]
                keyClick(Qt.Key_Return)
                compare([page.editingRow, names()[n[0]], ui_View.getNameList(2)[n[0]]], [-1, n[2], n[2]])
            })
            // A press elsewhere ends a rename too.
            mouseDoubleClickSequence(row(1), 40, 10)
            row(1).editText = "Games"
            mousePress(page, 10, 270)
            mouseRelease(page, 10, 270)
            compare(names()[1], "Games1")
            // Export writes the clicked row's file.
            ui_View.setData("mouse/reportRate", 1)
            rig.answerSave(rig.path("exported.pf"))
            menu(1, "menuExport")
            compare(rig.readFile("exported.pf"), rig.readFile("modules/setting/p2.bin"))
            // Delete asks; row 0 and the active profile stay; the file is left alone.
            var before = rig.readFile("modules/setting/p4.bin")
            menu(0, "menuDelete")
            menu(1, "menuDelete")
            compare([page.entries.length, findChild(page, "deleteConfirm").visible], [4, false])
            menu(2, "menuDelete")
            var confirm = findChild(page, "deleteConfirm")
            verify(confirm.visible && confirm.message.indexOf("profile_1") >= 0)
            mouseClick(findChild(confirm, "cancelButton"))
            compare(page.entries.length, 4)
            menu(2, "menuDelete")
            mouseClick(findChild(confirm, "okButton"))
            compare([names(), ui_View.getNameList(2).length, rig.readFile("modules/setting/p4.bin")],
                    [["Standard0", "Games1", "profile_22"], 3, before])
        }

        function test_profileImportAndSwitch() {
            openProfiles(["Standard0"], 0)
            rig.writeFile("in.pf", "[mouse]\nreportRate=2\ndpiCount=8\n")
            rig.answerOpen(rig.path("in.pf"))
            mouseClick(findChild(page, "importButton"))
            compare([names(), rig.readFile("modules/setting/p2.bin")], [["Standard0", "profile_01"], rig.readFile("in.pf")])
            // Cancelled: nothing changes.
            var before = rig.readFile("modules/setting/p3.bin")
            rig.answerOpen("")
            mouseClick(findChild(page, "importButton"))
            compare([ui_View.getNameList(2), rig.readFile("modules/setting/p3.bin")], [["Standard0", "profile_01"], before])
            // A full list: New adds nothing; import replaces the current row, shown and sent at once.
            openProfiles(["Standard0", "a1", "b2", "c3", "d4", "e5"], 0)
            mouseClick(findChild(page, "newButton"))
            compare(page.entries.length, 6)
            rig.writeFile("in.pf", "[mouse]\nreportRate=0\ndpiCount=8\ncurrentDpiCount=2\n")
            rig.answerOpen(rig.path("in.pf"))
            mouseClick(row(0))
            rig.clearTrace()
            mouseClick(findChild(page, "importButton"))
            compare([page.entries.length, child("reportRateDropDown").currentText,
                     child("dpiSetting").currentDpiCount, rig.reports("01")[0][0]], [6, "125Hz", 2, 8])
            // Switching with an unsaved edit asks; Discard selects device profile
            // number + 1 and sends every page of the new profile.
            openProfiles(["Standard0", "profile_01", "profile_13"], 0)
            var r = host.root
            ui_View.setCurrentProfile(3)
            ui_View.setData("mouse/reportRate", 0)
            ui_View.setData("mouse/currentDpiCount", 2)
            ui_View.setCurrentProfile(0)
            findChild(r, "dpiSetting").isSave = true
            rig.clearTrace()
            rig.clearPointerCalls()
            var drop = findChild(r, "profileDropDown")
            drop.open()
            drop.choose(2)
            tryCompare(findChild(r, "unsavedBox"), "visible", true)
            compare(r.activeProfile, 0)
            mouseClick(findChild(findChild(r, "unsavedBox"), "discardButton"))
            tryCompare(r, "activeProfile", 3)
            compare([drop.currentIndex, String(ui_View.getGlobalData("mouse/profileNo")), page.profileNo], [2, "3", 3])
            compare([rig.reports("02")[0][0], rig.reports("01")[0][0], rig.mouseState().dpiStageCount553], [4, 8, 2])
            compare([rig.pointerCalls().length, findChild(r, "dpiSetting").isSave, r.isLock], [3, false, false])
        }

        function test_profileBadStoredList() {
            // Unusable entries are dropped with a warning; a missing active profile falls back to Standard.
            ignoreWarning(/config: profile list entry/)
            ignoreWarning(/config: profile list entry/)
            openProfiles(["zz", "yy"], 4)
            compare([names(), page.profileNo, child("profileDropDown").currentText], [["Standard0"], 0, "Standard"])
            ignoreWarning(/config: profile list entry/)
            openProfiles(["Standard0", "a1", "b1"], 0)
            compare([names(), child("profileDropDown").count], [["Standard0", "a1"], 2])
        }
    }
}
