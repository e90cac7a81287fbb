import QtQuick
import QtTest

MainUnderTest {
    id: host

    TestCase {
        id: test
        name: "ProfilePage"
        when: windowShown

        property var page

        // A profile list as stored, the active profile, and a started page.
        function start(list, active) {
            ui_View.updataNameList(2, list)
            ui_View.setGlobalData("mouse/profileNo", active)
            var r = host.started(test)
            r.openProfilePage()
            page = findChild(r, "profilePage")
            verify(page && page.visible)
            rig.clearTrace()
            return r
        }

        function cleanup() {
            ui_View.setGlobalData("mouse/profileNo", 0)
            ui_View.setCurrentProfile(0)
            ui_View.updataNameList(2, ["Standard0", "loaderkestle"])
        }

        function names() {
            return page.entries.map(function (e) { return e.name + e.number })
        }

        function row(i) {
            return page.listView.itemAtIndex(i)
        }

        function menuOn(i) {
            mouseClick(row(i), 40, 10, Qt.RightButton)
            verify(page.menu.visible)
        }

        function test_initNamesTheFirstStandard() {
            start(["Mine0", "profile_01"], 1)
            compare(names(), ["Standard0", "profile_01"])
            compare(page.currentRow, 1)
            // The renamed list is stored at once.
            compare(ui_View.getNameList(2), ["Standard0", "profile_01"])
            compare(findChild(host.root, "profileDropDown").currentText, "profile_0")
        }

        function test_newTakesTheFreeNumber() {
            start(["Standard0", "profile_01", "profile_13"], 0)
            // Something in p3.bin that the defaults do not have.
            rig.writeFile("modules/setting/p3.bin", "[mouse]\nreportRate=0\n")
            mouseClick(findChild(page, "newButton"))
            compare(names(), ["Standard0", "profile_01", "profile_13", "profile_22"])
            compare(page.currentRow, 3)
            verify(rig.sameFile("modules/setting/p3.bin", "modules/setting/pD.bin"))
            compare(ui_View.getNameList(2), ["Standard0", "profile_01", "profile_13", "profile_22"])
            // The drop-down offers it too.
            compare(findChild(host.root, "profileDropDown").count, 4)
        }

        function test_newWithSixEntriesAddsNothing() {
            start(["Standard0", "a1", "b2", "c3", "d4", "e5"], 0)
            mouseClick(findChild(page, "newButton"))
            compare(page.entries.length, 6)
            mouseClick(findChild(page, "importButton"))
            compare(page.entries.length, 6)
        }

        function test_delete_data() {
            return [
                { tag: "row 0 stays", row: 0, active: 3, left: 3 },
                { tag: "the active profile stays", row: 2, active: 3, left: 3 },
                { tag: "another row goes", row: 1, active: 3, left: 2 }
            ]
        }
        function test_delete(data) {
            start(["Standard0", "profile_01", "profile_13"], data.active)
            var before = rig.readFile("modules/setting/p2.bin")
            menuOn(data.row)
            mouseClick(findChild(page.menu, "menuDelete"))
            compare(page.menu.visible, false)
            // Asked first: Cancel keeps the entry.
            var confirm = findChild(page, "deleteConfirm")
            compare(confirm.visible, data.left < 3)
            if (confirm.visible) {
                verify(confirm.message.indexOf(page.entries[data.row].name) >= 0)
                mouseClick(findChild(confirm, "cancelButton"))
                compare(page.entries.length, 3)
                menuOn(data.row)
                mouseClick(findChild(page.menu, "menuDelete"))
                mouseClick(findChild(confirm, "okButton"))
            }
            compare(page.entries.length, data.left)
            compare(ui_View.getNameList(2).length, data.left)
            // The file of a deleted profile is left alone.
            compare(rig.readFile("modules/setting/p2.bin"), before)
            compare(findChild(host.root, "profileDropDown").currentText, "profile_1")
        }

        function test_exportTheClickedRow() {
            start(["Standard0", "profile_01"], 0)
            ui_View.setCurrentProfile(1)
            ui_View.setData("mouse/reportRate", 1)
            ui_View.setCurrentProfile(0)
            var target = rig.path("exported.pf")
            rig.answerSave(target)
            menuOn(1)
            mouseClick(findChild(page.menu, "menuExport"))
            verify(rig.sameFile("exported.pf", "modules/setting/p2.bin"))
            compare(rig.dialogCaptions()[rig.dialogCaptions().length - 1], "Save File|Profile(*.pf)")
        }

        function test_import() {
            start(["Standard0"], 0)
            rig.writeFile("in.pf", "[mouse]\nreportRate=2\ndpiCount=8\n")
            rig.answerOpen(rig.path("in.pf"))
            mouseClick(findChild(page, "importButton"))
            compare(names(), ["Standard0", "profile_01"])
            verify(rig.sameFile("in.pf", "modules/setting/p2.bin"))
            // Cancelled: nothing changes, no entry appears.
            var before = rig.readFile("modules/setting/p3.bin")
            rig.answerOpen("")
            mouseClick(findChild(page, "importButton"))
            compare(names(), ["Standard0", "profile_01"])
            compare(ui_View.getNameList(2), ["Standard0", "profile_01"])
            compare(rig.readFile("modules/setting/p3.bin"), before)
        }

        // With a full list the import replaces the profile on the current
        // row; the profile in use is shown again at once.
        function test_importIntoTheActiveProfile() {
            var r = start(["Standard0", "a1", "b2", "c3", "d4", "e5"], 0)
            rig.writeFile("in.pf", "[mouse]\nreportRate=0\ndpiCount=8\ncurrentDpiCount=2\n")
            rig.answerOpen(rig.path("in.pf"))
            mouseClick(row(0))
            rig.clearTrace()
            mouseClick(findChild(page, "importButton"))
            compare(findChild(r, "reportRateDropDown").currentText, "125Hz")
            compare(findChild(r, "dpiSetting").currentDpiCount, 2)
            compare(rig.reports("01")[0][0], 8)
        }

        function test_rename_data() {
            return [
                { tag: "new name", row: 1, text: "Work", names: ["Standard0", "Work1", "profile_13"] },
                { tag: "own name", row: 1, text: "profile_0", names: ["Standard0", "profile_01", "profile_13"] },
                { tag: "another's name", row: 1, text: "profile_1", names: ["Standard0", "profile_01", "profile_13"] },
                { tag: "empty", row: 2, text: "", names: ["Standard0", "profile_01", "profile_13"] }
            ]
        }
        function test_rename(data) {
            start(["Standard0", "profile_01", "profile_13"], 0)
            mouseDoubleClickSequence(row(data.row), 40, 10)
            compare(page.editingRow, data.row)
            var r = row(data.row)
            compare(r.editText, page.entries[data.row].name)
            r.editText = data.text
            keyClick(Qt.Key_Return)
            compare(page.editingRow, -1)
            compare(names(), data.names)
            compare(ui_View.getNameList(2), data.names)
        }

        function test_renameEndsOnAPressElsewhere() {
            start(["Standard0", "profile_01"], 0)
            mouseDoubleClickSequence(row(1), 40, 10)
            row(1).editText = "Games"
            mousePress(page, 10, 270)
            mouseRelease(page, 10, 270)
            compare(names(), ["Standard0", "Games1"])
        }

        function test_switchThroughTheDropDown() {
            var r = start(["Standard0", "profile_01", "profile_13"], 0)
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
            // The unsaved DPI edit is not dropped without a word.
            var box = findChild(r, "unsavedBox")
            tryCompare(box, "visible", true)
            compare(r.activeProfile, 0)
            mouseClick(findChild(box, "discardButton"))
            tryCompare(drop, "currentIndex", 2)
            tryCompare(r, "activeProfile", 3)
            compare(String(ui_View.getGlobalData("mouse/profileNo")), "3")
            // Device profile 4, then every page sent again from profile 4.
            compare(rig.reports("02")[0][0], 4)
            compare(rig.reports("01")[0][0], 8)
            compare(rig.mouseState().dpiStageCount553, 2)
            compare(rig.pointerCalls().length, 3)
            compare(findChild(r, "dpiSetting").isSave, false)
            compare(r.isLock, false)
            compare(page.profileNo, 3)
        }

        function test_badStoredList_data() {
            return [
                { tag: "duplicate numbers", list: ["Standard0", "a1", "b1"], names: ["Standard0", "a1"], warnings: 1 },
                { tag: "no digit", list: ["Standard0", "abc", "x2"], names: ["Standard0", "x2"], warnings: 1 },
                { tag: "nothing stored", list: [], names: ["Standard0"], warnings: 0 },
                { tag: "only garbage", list: ["zz", "yy"], names: ["Standard0"], warnings: 2 }
            ]
        }
        function test_badStoredList(data) {
            for (var i = 0; i < data.warnings; ++i)
                ignoreWarning(/config: profile list entry/)
            start(data.list, 0)
            compare(names(), data.names)
            compare(findChild(host.root, "profileDropDown").count, data.names.length)
        }

        function test_storedProfileMissingFromTheList() {
            start(["Standard0", "a1"], 4)
            compare(page.profileNo, 0)
            compare(findChild(host.root, "profileDropDown").currentText, "Standard")
        }
    }
}
