import QtQuick
import QtTest

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

        function test_firstInit() {
            var r = host.fresh()
            compare(r.visible, false)
            r.initUI()
            compare(r.visible, true)
            // Locked while the pages load; the panels wait for the lock.
            verify(r.isLock)
            compare(rig.viewEnabled(), false)
            compare(r.panelsShown, false)
            tryCompare(r, "panelsShown", true, 3000)
            compare(r.isLock, false)
            compare(rig.viewEnabled(), true)
            compare(r.isPownOn, true)
            // Global flags and the language of the shipped configuration.
            compare(r.isColorful, true)
            compare(r.icType, "553")
            compare(r.language, "English")
            compare(r.mainLang[4], "Config")
            compare(child("configButton").text, "Config")
            // The stored report rate (index 3) is shown, not sent.
            compare(child("reportRateDropDown").currentText, "1000Hz")
            compare(rig.reports("01").length, 0)
            compare(child("profileDropDown").currentText, "Standard")
        }

        // Start-up selects the stored profile in the bridge too, so the pages
        // show what the drop-down names.
        function test_startSelectsStoredProfile() {
            ui_View.updataNameList(2, ["Standard0", "profile_03"])
            ui_View.setGlobalData("mouse/profileNo", 3)
            ui_View.setCurrentProfile(3)
            ui_View.setData("mouse/reportRate", 1)
            ui_View.setCurrentProfile(0)
            ui_View.setData("mouse/reportRate", 3)
            rig.clearTrace()
            var r = host.started(test)
            compare(child("profileDropDown").currentText, "profile_0")
            compare(child("reportRateDropDown").currentText, "250Hz")
            // Device profile 4 was selected (560 command 02H, profile + 1).
            compare(rig.reports("02").length, 1)
            compare(rig.reports("02")[0][0], 4)
            ui_View.setGlobalData("mouse/profileNo", 0)
            ui_View.setCurrentProfile(0)
            ui_View.updataNameList(2, ["Standard0", "loaderkestle"])
        }

        function test_secondInitReloadsNoTexts() {
            var r = host.started(test)
            var english = rig.readFile("modules/i18n/English.ini")
            rig.writeFile("modules/i18n/English.ini", english.replace("4=Config", "4=CHANGED"))
            ui_View.setGlobalData("mouse/isColorful", false)
            rig.clearTrace()
            r.initUI()
            tryCompare(r, "isLock", false, 3000)
            compare(r.mainLang[4], "Config")
            compare(r.isColorful, true)
            // The device state is read again: the right byte and the stage.
            var sent = rig.sentCommands()
            verify(sent.indexOf("82") >= 0 || sent.indexOf("8b") >= 0, "sent " + sent)
            rig.writeFile("modules/i18n/English.ini", english)
            ui_View.setGlobalData("mouse/isColorful", true)
        }

        function test_reportRate_data() {
            return [
                { tag: "125Hz", row: 0, byte: 8 },
                { tag: "250Hz", row: 1, byte: 4 },
                { tag: "500Hz", row: 2, byte: 2 },
                { tag: "1000Hz", row: 3, byte: 1 }
            ]
        }
        function test_reportRate(data) {
            host.started(test)
            var drop = child("reportRateDropDown")
            mouseClick(drop)
            tryCompare(drop, "isOpen", true)
            var popup = findChild(drop, "dropDownPopup")
            tryCompare(popup, "height", 4 * 24 + 2)
            rig.clearTrace()
            // Rows are 24 high below the edit row.
            mouseClick(popup, 20, 1 + 24 * data.row + 12)
            // The choice counts once the list has slid shut.
            tryCompare(popup, "visible", false)
            compare(drop.currentIndex, data.row)
            compare(ui_View.getData("mouse/reportRate", false), data.row)
            compare(rig.reports("01").length, 1)
            compare(rig.reports("01")[0][0], data.byte)
            compare(rig.mouseState().reportRate553, data.byte)
            ui_View.setData("mouse/reportRate", 3)
        }

        function test_reportRateStored_data() {
            return [
                { tag: "index 3 sends 1", stored: 3, text: "1000Hz", byte: 1 },
                { tag: "index 0 sends 8", stored: 0, text: "125Hz", byte: 8 },
                { tag: "absent sends 1, shows none", stored: undefined, text: "", byte: 1 },
                { tag: "garbage sends 1, shows none", stored: "quick", text: "", byte: 1 }
            ]
        }
        function test_reportRateStored(data) {
            var r = host.started(test)
            ui_View.setData("mouse/reportRate", data.stored === undefined ? "" : data.stored)
            rig.clearTrace()
            r.initReportRate(true)
            compare(child("reportRateDropDown").currentText, data.text)
            compare(rig.reports("01").length, 1)
            compare(rig.reports("01")[0][0], data.byte)
            ui_View.setData("mouse/reportRate", 3)
        }

        function test_saveWithNothingUnsaved() {
            var r = host.started(test)
            var locks = lockSpy.count
            lockSpy.target = r
            lockSpy.clear()
            rig.clearTrace()
            mouseClick(child("saveButton"))
            compare(lockSpy.count, 0)
            compare(r.isLock, false)
            compare(rig.trace(), [])
        }

        function test_saveTurnsRedAndSends() {
            var r = host.started(test)
            var save = child("saveButton")
            compare(String(save.color), "#565656")
            var dpi = child("dpiSetting")
            dpi.isSave = true
            compare(String(save.idleColor), "#ff3030")
            lockSpy.target = r
            lockSpy.clear()
            rig.clearTrace()
            r.save()
            compare(lockSpy.count, 1)
            compare(dpi.isSave, false)
            compare(r.isLock, false)
            compare(rig.reports("11").length, 1)
            compare(String(save.idleColor), "#565656")
            // A short notice says where the values went.
            compare(child("noticeText").text, "Saved and sent to the mouse.")
            verify(child("notice").visible)
            compare(child("connectionText").text, "SKELD R772")
        }

        // Without a mouse Save still stores, and says so instead of
        // claiming the mouse has the values; no stage is marked.
        function test_saveWithoutMouse() {
            var r = host.started(test)
            rig.setConnected(false)
            compare(r.connected, false)
            compare(child("connectionText").text, "No mouse connected")
            var dpi = child("dpiSetting")
            dpi.setStageValue(0, 150)
            var value = dpi.stageValues[0]
            dpi.isSave = true
            r.save()
            compare(dpi.isSave, false)
            compare(Number(ui_View.getDataList("mouse/dpiValueArray", false)[0]), Number(value))
            compare(child("noticeText").text,
                    "Saved on this computer; sent when the mouse is connected.")
            verify(child("notice").visible)
            compare(dpi.deviceKnown, false)
            rig.clearTrace()
            rig.setConnected(true)
            compare(child("connectionText").text, "SKELD R772")
            // The mouse that comes gets what was saved without it.
            r.initUI()
            tryCompare(r, "isLock", false, 3000)
            compare(rig.reports("11").length, 1)
            compare(r.sendOnConnect, false)
        }

        // Re-picking the profile, switching, or closing with unsaved edits
        // asks once; Cancel keeps everything, Discard sends nothing.
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
        function test_unsavedQuestion(data) {
            var r = host.started(test)
            // The program's window, to see Close hide it; keys still go to
            // the test's window.
            rig.showWindow()
            host.Window.window.requestActivate()
            tryCompare(host.Window.window, "active", true)
            var dpi = child("dpiSetting")
            var stored = dpi.stageValues[0]
            dpi.setStageValue(0, Number(stored) >= 3000 ? 20 : 150)
            var edited = dpi.stageValues[0]
            verify(edited !== stored)
            dpi.isSave = true
            rig.clearTrace()
            var box = child("unsavedBox")
            if (data.act === "repick") {
                var drop = child("profileDropDown")
                drop.choose(drop.currentIndex)
            } else {
                mouseClick(child("closeButton"))
            }
            tryCompare(box, "visible", true)
            compare(rig.reports("11").length, 0)
            if (data.answer === "Esc")
                keyClick(Qt.Key_Escape)
            else if (data.answer === "Enter")
                keyClick(Qt.Key_Return)
            else
                mouseClick(findChild(box, data.answer))
            compare(box.visible, false)
            compare(dpi.stageValues[0], data.kept ? edited : stored)
            compare(dpi.isSave, data.kept && data.sent === 0)
            compare(rig.reports("11").length, data.sent)
            compare(rig.windowVisible(), !data.hidden)
            if (dpi.isSave) {
                // Cancelled: a later Save still sends the edit.
                r.save()
                compare(rig.reports("11").length, 1)
            }
        }

        function test_setCurrentDPI_data() {
            return [
                { tag: "0 is ignored", v: 0, shown: 5 },
                { tag: "3 shows stage 3", v: 3, shown: 2 },
                { tag: "8 shows stage 8", v: 8, shown: 7 },
                { tag: "9 is no stage", v: 9, shown: 5 }
            ]
        }
        function test_setCurrentDPI(data) {
            var r = host.started(test)
            var dpi = child("dpiSetting")
            dpi.currentDPI = 5
            r.setCurrentDPI(data.v)
            compare(dpi.currentDPI, data.shown)
        }

        function test_protect() {
            var r = host.started(test)
            r.setProtectUI(300)
            verify(r.isLock)
            compare(rig.viewEnabled(), false)
            tryCompare(r, "isLock", false, 1000)
            compare(rig.viewEnabled(), true)
            r.setProtectUI(5000)
            r.setProtectUI(0)
            compare(r.isLock, false)
            compare(rig.viewEnabled(), true)
        }

        function test_popupsShowTheMask() {
            var r = host.started(test)
            var mask = child("mask")
            compare(mask.visible, false)
            mouseClick(child("configButton"))
            var profile = child("profilePage")
            verify(profile.visible)
            verify(mask.visible)
            // Centred.
            compare(profile.x, Math.round((1024 - 415) / 2))
            compare(profile.y, Math.round((640 - 288) / 2))
            mouseClick(findChild(profile, "closeButton"))
            compare(mask.visible, false)
            mouseClick(child("systemSettingButton"))
            var sys = child("systemSetting")
            verify(sys.visible && mask.visible)
            compare(sys.x, Math.round((1024 - 416) / 2))
            mouseClick(findChild(sys, "closeButton"))
            compare(mask.visible, false)
            mouseClick(findChild(r, "helpButton"))
            var info = child("infoBox")
            verify(info.visible && mask.visible)
            mouseClick(findChild(info, "closeButton"))
            compare(mask.visible, false)
            // Esc closes the top pop-up as its close button does.
            mouseClick(child("systemSettingButton"))
            verify(sys.visible)
            keyClick(Qt.Key_Escape)
            compare(sys.visible, false)
            mouseClick(child("configButton"))
            verify(profile.visible)
            keyClick(Qt.Key_Escape)
            compare(profile.visible, false)
            mouseClick(child("resetButton"))
            var reset = child("resetBox")
            verify(reset.visible)
            keyClick(Qt.Key_Escape)
            compare(reset.visible, false)
            compare(mask.visible, false)
        }

        function test_resetConfirmation() {
            var r = host.started(test)
            // Something to reset: stage values and lighting of the profile.
            ui_View.setDataList("mouse/dpiValueArray", [1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000])
            ui_View.setData("mouse/reportRate", 0)
            mouseClick(child("resetButton"))
            var box = child("resetBox")
            verify(box.visible)
            compare(box.title, "Reset")
            compare(box.message, "Reset factory setting")
            var cancel = findChild(box, "cancelButton")
            var ok = findChild(box, "okButton")
            // "OK" sits right of "Cancel", 7 apart.
            compare(ok.mapToItem(box, 0, 0).x - cancel.mapToItem(box, 0, 0).x, 88 + 7)
            mouseClick(cancel)
            compare(box.visible, false)
            compare(ui_View.getData("mouse/reportRate", false), 0)
            mouseClick(child("resetButton"))
            child("dpiSetting").isSave = true
            rig.clearTrace()
            rig.clearPointerCalls()
            mouseClick(ok)
            compare(box.visible, false)
            compare(child("mask").visible, false)
            // The defaults are back in the profile (and stored again by the
            // pages as they re-send them).
            compare(String(rig.profileValue(0, "mouse/dpiValueArray")), String(rig.profileValue(-1, "mouse/dpiValueArray")))
            compare(String(rig.profileValue(0, "mouse/reportRate")), "3")
            compare(child("dpiSetting").stageValues[0], 400)
            compare(child("dpiSetting").currentDPI, 1)
            compare(child("dpiSetting").isSave, false)
            compare(child("reportRateDropDown").currentText, "1000Hz")
            // Everything re-sent: report rate, stages, lighting, pointer, stage 2.
            var sent = rig.sentCommands()
            compare(rig.reports("01")[0][0], 1)
            verify(sent.indexOf("11") >= 0, sent)
            verify(sent.indexOf("0d") >= 0, sent)
            compare(rig.reports("0b")[rig.reports("0b").length - 1][0], 2)
            compare(rig.pointerCalls().length, 3)
            compare(r.isLock, false)
        }

        function geometry(name) {
            var item = child(name)
            var p = item.mapToItem(host.root, 0, 0)
            return [p.x, p.y, item.width, item.height]
        }

        function test_layout_data() {
            return [
                { tag: "left column", name: "leftColumn", g: [24, 88] },
                { tag: "editor panel", name: "editorPanel", g: [24, undefined, 232, 75] },
                { tag: "macro editor button", name: "macroEditorButton", g: [32, undefined, 216, 24] },
                { tag: "report rate panel", name: "reportRatePanel", g: [24, undefined, 232, 42] },
                { tag: "report rate list", name: "reportRateDropDown", g: [undefined, undefined, 120, 24] },
                { tag: "system setting button", name: "systemSettingButton", g: [24, undefined, 232, 24] },
                { tag: "right column", name: "rightColumn", g: [768, 56] },
                { tag: "DPI panel", name: "dpiSetting", g: [768, 56, 232, 256] },
                { tag: "lighting panel", name: "lightControl", g: [768, 56 + 256 + 8, 232, 264] },
                { tag: "save", name: "saveButton", g: [1024 - 24 - 100, 640 - 8 - 24, 100, 24] },
                { tag: "reset", name: "resetButton", g: [1024 - 24 - 100 - 16 - 100, 640 - 8 - 24, 100, 24] },
                { tag: "config", name: "configButton", g: [1024 - 24 - 3 * 100 - 2 * 16, 640 - 8 - 24, 100, 24] },
                { tag: "top bar", name: "topBar", g: [920, 16] },
                { tag: "profile list", name: "profileDropDown", g: [920 - 16 - 144, 16, 144, 24] },
                { tag: "title area", name: "titleArea", g: [40, 10, 200, 60] }
            ]
        }
        function test_layout(data) {
            host.started(test)
            waitForItemPolished(child("leftColumn"))
            waitForItemPolished(child("bottomBar"))
            var g = geometry(data.name)
            for (var i = 0; i < data.g.length; ++i)
                if (data.g[i] !== undefined)
                    compare(g[i], data.g[i], ["x", "y", "width", "height"][i])
            // The left column's parts follow each other 8 apart.
            var editor = geometry("editorPanel"), rate = geometry("reportRatePanel")
            compare(rate[1], editor[1] + 75 + 8)
        }

        function test_popupStaysInTheWindow() {
            var r = host.started(test)
            r.openProfilePage()
            var page = child("profilePage")
            mousePress(page, 200, 280)
            mouseMove(page, 100, 200)
            mouseMove(page, -400, -400)
            mouseRelease(page, -400, -400)
            compare(page.x, 0)
            compare(page.y, 0)
            r.closePopups()
        }

        function test_maskEndsEditing() {
            ui_View.updataNameList(2, ["Standard0", "profile_01"])
            var r = host.started(test)
            r.openProfilePage()
            var page = child("profilePage")
            mouseDoubleClickSequence(page.listView.itemAtIndex(1), 40, 10)
            page.listView.itemAtIndex(1).editText = "Edited"
            mouseClick(child("mask"), 5, 5)
            compare(page.editingRow, -1)
            compare(page.entries[1].name, "Edited")
            r.closePopups()
            ui_View.updataNameList(2, ["Standard0", "loaderkestle"])
        }

        function test_keyboardRouting() {
            var r = host.started(test)
            kbSpy.target = r
            kbSpy.clear()
            r.detectKeyboard(true, 0x04)
            compare(kbSpy.count, 1)
            compare(kbSpy.signalArguments[0][0], true)
            compare(kbSpy.signalArguments[0][1], 0x04)
            // Nobody records: nothing breaks.
            r.detectMouse(true, 1, 10, 10)
        }

        function test_dragMovesTheWindow() {
            var r = host.started(test)
            var bg = child("background")
            var before = rig.windowPos()
            mousePress(bg, 500, 300)
            mouseMove(bg, 505, 297)
            mouseRelease(bg, 505, 297)
            // The window follows by the offset from the pressed point.
            var after = rig.windowPos()
            compare(after.x - before.x, 5)
            compare(after.y - before.y, -3)
        }
    }

    SignalSpy {
        id: lockSpy
        signalName: "uiLocked"
    }
    SignalSpy {
        id: kbSpy
        signalName: "msg_KB"
    }
}
