import QtQuick
import QtTest

// The main page against the real bridge and the virtual mouse: start-up,
// report rate, Save, the unsaved-edits question, pop-ups and Reset.
MainUnderTest {
    id: host

    TestCase {
        id: test
        name: "MainPage"
        when: windowShown

        function child(name) {
            var c = findChild(host.root, name)
            verify(c, "no item " + name)
            return c
        }
        function init() {
            rig.clearTrace()
            rig.clearPointerCalls()
        }
        // Makes stage 1 of the DPI page differ from what is stored.
        function editDpi() {
            var dpi = child("dpiSetting")
            var stored = dpi.stageValues[0]
            dpi.setStageValue(0, Number(stored) >= 3000 ? 20 : 150)
            verify(dpi.stageValues[0] !== stored)
            dpi.isSave = true
            return [stored, dpi.stageValues[0]]
        }

        function test_start() {
            // Stored: profile 3 selected, its report rate 250Hz.
            ui_View.updataNameList(2, ["Standard0", "profile_03"])
            ui_View.setGlobalData("mouse/profileNo", 3)
            ui_View.setCurrentProfile(3)
            ui_View.setData("mouse/reportRate", 1)
            rig.clearTrace()
            var r = host.fresh()
            compare(r.visible, false)
            r.initUI()
            // Locked while the pages load; the panels wait for the lock.
            verify(r.isLock && r.visible)
            compare([rig.viewEnabled(), r.panelsShown], [false, false])
            tryCompare(r, "panelsShown", true, 3000)
            compare([r.isLock, rig.viewEnabled(), r.isPownOn, r.isColorful, r.icType, r.language],
                    [false, true, true, true, "553", "English"])
            compare(child("configButton").text, "Config")
            compare(child("profileDropDown").currentText, "profile_0")
            // The stored rate is shown, not sent; device profile 4 is selected (profile + 1).
            compare(child("reportRateDropDown").currentText, "250Hz")
            compare(rig.reports("01"), [])
            compare(rig.reports("02"), [[4, 0, 0, 0, 0, 0]])
            ui_View.setGlobalData("mouse/profileNo", 0)
            ui_View.setCurrentProfile(0)
            ui_View.updataNameList(2, ["Standard0", "loaderkestle"])
            // A second "initUI" reads the device again but not the texts.
            var english = rig.readFile("modules/i18n/English.ini")
            rig.writeFile("modules/i18n/English.ini", english.replace("4=Config", "4=CHANGED"))
            rig.clearTrace()
            r.initUI()
            tryCompare(r, "isLock", false, 3000)
            compare(r.mainLang[4], "Config")
            var sent = rig.sentCommands()
            verify(sent.indexOf("82") >= 0 || sent.indexOf("8b") >= 0, "sent " + sent)
            rig.writeFile("modules/i18n/English.ini", english)
            // A stored rate that is no row shows nothing and sends 1000Hz.
            ui_View.setData("mouse/reportRate", "quick")
            rig.clearTrace()
            r.initReportRate(true)
            compare([child("reportRateDropDown").currentText, rig.reports("01")[0][0]], ["", 1])
            ui_View.setData("mouse/reportRate", 3)
        }

        function test_reportRate_data() {
            return [{ tag: "125Hz", row: 0, byte: 8 }, { tag: "250Hz", row: 1, byte: 4 },
                    { tag: "500Hz", row: 2, byte: 2 }, { tag: "1000Hz", row: 3, byte: 1 }]
        }
        function test_reportRate(d) {
            host.started()
            var drop = child("reportRateDropDown")
            mouseClick(drop)
            var popup = findChild(drop, "dropDownPopup")
            tryCompare(popup, "height", 4 * 24 + 2)
            rig.clearTrace()
            mouseClick(popup, 20, 1 + 24 * d.row + 12)
            tryCompare(popup, "visible", false)
            compare([drop.currentIndex, ui_View.getData("mouse/reportRate", false)], [d.row, d.row])
            compare(rig.reports("01"), [[d.byte, 0, 0, 0, 0, 0]])
            compare(rig.mouseState().reportRate553, d.byte)
            ui_View.setData("mouse/reportRate", 3)
        }

        function test_save() {
            var r = host.started()
            var save = child("saveButton")
            lockSpy.target = r
            rig.clearTrace()
            // Nothing unsaved: nothing locks, nothing goes out.
            mouseClick(save)
            compare([lockSpy.count, r.isLock, rig.sentCommands()], [0, false, []])
            compare(String(save.idleColor), "#565656")
            var dpi = child("dpiSetting")
            dpi.isSave = true
            compare(String(save.idleColor), "#ff3030")
            r.save()
            compare([lockSpy.count, dpi.isSave, r.isLock, rig.reports("11").length], [1, false, false, 1])
            compare(String(save.idleColor), "#565656")
            compare(child("noticeText").text, "Saved and sent to the mouse.")
            verify(child("notice").visible)
            // Without a mouse Save stores, says so, and the mouse that comes gets it.
            rig.setConnected(false)
            compare(child("connectionText").text, "No mouse connected")
            var values = editDpi()
            r.save()
            compare(Number(ui_View.getDataList("mouse/dpiValueArray", false)[0]), Number(values[1]))
            compare(child("noticeText").text, "Saved on this computer; sent when the mouse is connected.")
            compare([dpi.isSave, dpi.deviceKnown], [false, false])
            rig.clearTrace()
            rig.setConnected(true)
            compare(child("connectionText").text, "SKELD R772")
            r.initUI()
            tryCompare(r, "isLock", false, 3000)
            compare([rig.reports("11").length, r.sendOnConnect], [1, false])
        }

        // Re-picking the profile or closing with unsaved edits asks once;
        // Cancel keeps everything, Discard sends nothing.
        function test_unsavedQuestion_data() {
            return [
                { tag: "re-pick, cancel", act: "repick", answer: "cancelButton", kept: true, sent: 0, hidden: false },
                { tag: "re-pick, Esc", act: "repick", answer: "Esc", kept: true, sent: 0, hidden: false },
                // The profile is then selected again and sent whole.
                { tag: "re-pick, discard", act: "repick", answer: "discardButton", kept: false, sent: 1, hidden: false },
                { tag: "re-pick, save", act: "repick", answer: "okButton", kept: true, sent: 2, hidden: false },
                { tag: "re-pick, Enter saves", act: "repick", answer: "Enter", kept: true, sent: 2, hidden: false },
                { tag: "close, discard", act: "close", answer: "discardButton", kept: false, sent: 0, hidden: true },
                { tag: "close, cancel", act: "close", answer: "cancelButton", kept: true, sent: 0, hidden: false }
            ]
        }
        function test_unsavedQuestion(d) {
            var r = host.started()
            // The program's window, to see Close hide it; keys still go to the test's window.
            rig.showWindow()
            host.Window.window.requestActivate()
            tryCompare(host.Window.window, "active", true)
            var values = editDpi()
            var dpi = child("dpiSetting")
            rig.clearTrace()
            var box = child("unsavedBox")
            if (d.act === "repick")
                child("profileDropDown").choose(child("profileDropDown").currentIndex)
            else
                mouseClick(child("closeButton"))
            tryCompare(box, "visible", true)
            compare(rig.reports("11").length, 0)
            if (d.answer === "Esc")
                keyClick(Qt.Key_Escape)
            else if (d.answer === "Enter")
                keyClick(Qt.Key_Return)
            else
                mouseClick(findChild(box, d.answer))
            compare(box.visible, false)
            compare(dpi.stageValues[0], values[d.kept ? 1 : 0])
            compare([dpi.isSave, rig.reports("11").length, rig.windowVisible()],
                    [d.kept && d.sent === 0, d.sent, !d.hidden])
            if (dpi.isSave) {
                // Cancelled: a later Save still sends the edit.
                r.save()
                compare(rig.reports("11").length, 1)
            }
        }

        function test_popups() {
            var r = host.started()
            var mask = child("mask")
            host.Window.window.requestActivate()
            tryCompare(host.Window.window, "active", true)
            // In the window the page is the root item, with the keyboard focus.
            r.forceActiveFocus()
            // Centred over the mask; the close button and Esc close each.
            var pages = [["configButton", "profilePage"], ["systemSettingButton", "systemSetting"],
                         ["helpButton", "infoBox"], ["resetButton", "resetBox"]]
            for (var i = 0; i < pages.length; ++i) {
                mouseClick(child(pages[i][0]))
                var page = child(pages[i][1])
                verify(page.visible && mask.visible, pages[i][1])
                compare([page.x, page.y], [Math.round((1024 - page.width) / 2), Math.round((640 - page.height) / 2)])
                keyClick(Qt.Key_Escape)
                compare([page.visible, mask.visible], [false, false], pages[i][1])
            }
            // A pop-up dragged off stays in the window; a click on the mask ends a rename.
            ui_View.updataNameList(2, ["Standard0", "profile_01"])
            r.openProfilePage()
            var profile = child("profilePage")
            mousePress(profile, 200, 280)
            mouseMove(profile, 100, 200)
            mouseMove(profile, -400, -400)
            mouseRelease(profile, -400, -400)
            compare([profile.x, profile.y], [0, 0])
            profile.init()
            mouseDoubleClickSequence(profile.listView.itemAtIndex(1), 40, 10)
            profile.listView.itemAtIndex(1).editText = "Edited"
            mouseClick(mask, 5, 5)
            compare([profile.editingRow, profile.entries[1].name], [-1, "Edited"])
            r.closePopups()
            ui_View.updataNameList(2, ["Standard0", "loaderkestle"])
            // The window follows a drag on the background.
            var before = rig.windowPos()
            mousePress(child("background"), 500, 300)
            mouseMove(child("background"), 505, 297)
            mouseRelease(child("background"), 505, 297)
            compare([rig.windowPos().x - before.x, rig.windowPos().y - before.y], [5, -3])
            // The start-up protection lifts by itself; 0 lifts it at once.
            r.setProtectUI(300)
            compare([r.isLock, rig.viewEnabled()], [true, false])
            tryCompare(r, "isLock", false, 1000)
            compare(rig.viewEnabled(), true)
            r.setProtectUI(5000)
            r.setProtectUI(0)
            compare([r.isLock, rig.viewEnabled()], [false, true])
            // The device's stage 1..8 is shown; others are ignored.
            var dpi = child("dpiSetting")
            var stages = [[3, 2], [0, 2], [8, 7], [9, 7]]
            for (i = 0; i < stages.length; ++i) {
                r.setCurrentDPI(stages[i][0])
                compare(dpi.currentDPI, stages[i][1], "stage " + stages[i][0])
            }
        }

        function test_reset() {
            var r = host.started()
            ui_View.setDataList("mouse/dpiValueArray", [1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000])
            ui_View.setData("mouse/reportRate", 0)
            mouseClick(child("resetButton"))
            var box = child("resetBox")
            compare([box.title, box.message], ["Reset", "Reset factory setting"])
            var cancel = findChild(box, "cancelButton"), ok = findChild(box, "okButton")
            // "OK" sits right of "Cancel", 7 apart.
            compare(ok.mapToItem(box, 0, 0).x - cancel.mapToItem(box, 0, 0).x, 88 + 7)
            mouseClick(cancel)
            compare([box.visible, ui_View.getData("mouse/reportRate", false)], [false, 0])
            mouseClick(child("resetButton"))
            child("dpiSetting").isSave = true
            rig.clearTrace()
            mouseClick(ok)
            compare([box.visible, child("mask").visible, r.isLock], [false, false, false])
            // The defaults are back in the profile file and on every page.
            compare(String(rig.profileValue(0, "mouse/dpiValueArray")), String(rig.profileValue(-1, "mouse/dpiValueArray")))
            compare(String(rig.profileValue(0, "mouse/reportRate")), "3")
            var dpi = child("dpiSetting")
            compare([dpi.stageValues[0], dpi.currentDPI, dpi.isSave], [400, 1, false])
            compare(child("reportRateDropDown").currentText, "1000Hz")
            // Everything re-sent: report rate, stages, lighting, pointer, stage 2.
            var sent = rig.sentCommands()
            compare(rig.reports("01")[0][0], 1)
            verify(sent.indexOf("11") >= 0 && sent.indexOf("0d") >= 0, sent)
            compare(rig.reports("0b").pop()[0], 2)
            compare(rig.pointerCalls().length, 3)
        }

        function test_layout() {
            host.started()
            waitForItemPolished(child("leftColumn"))
            waitForItemPolished(child("bottomBar"))
            var editorY = child("editorPanel").mapToItem(host.root, 0, 0).y
            var rows = [["leftColumn", 24, 88, 232, null], ["editorPanel", 24, editorY, 232, 75],
                        ["reportRatePanel", 24, editorY + 75 + 8, 232, 42],
                        ["dpiSetting", 768, 56, 232, 256], ["lightControl", 768, 56 + 256 + 8, 232, 264],
                        ["saveButton", 900, 608, 100, 24], ["resetButton", 784, 608, 100, 24],
                        ["configButton", 668, 608, 100, 24], ["profileDropDown", 760, 16, 144, 24],
                        ["titleArea", 40, 10, 200, 60]]
            for (var i = 0; i < rows.length; ++i) {
                var item = child(rows[i][0])
                var p = item.mapToItem(host.root, 0, 0)
                compare([p.x, p.y, item.width, rows[i][4] === null ? null : item.height], rows[i].slice(1), rows[i][0])
            }
        }
    }

    SignalSpy { id: lockSpy; signalName: "uiLocked" }
}
