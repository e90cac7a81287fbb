import QtQuick
import QtTest

// The main page against the real bridge and the virtual mouse: start-up,
// report rate, Save, the unsaved-edits question, pop-ups and Reset.
PageTest {
    name: "MainPage"

    function text(name) { return child(name).text }
    // Makes stage 1 of the DPI page differ from what is stored.
    function editDpi() {
        var dpi = child("dpiSetting"), stored = dpi.stageValues[0]
        dpi.setStageValue(0, Number(stored) >= 3000 ? 20 : 150)
        dpi.isSave = true
        return [stored, dpi.stageValues[0]]
    }
    function activate() {
        Window.window.requestActivate()
        tryCompare(Window.window, "active", true)
    }

    function test_start() {
        // Stored: profile 3 selected, its report rate 250Hz.
        ui_View.updataNameList(2, ["Standard0", "profile_03"])
        ui_View.setGlobalData("mouse/profileNo", 3)
        ui_View.setCurrentProfile(3)
        ui_View.setData("mouse/reportRate", 1)
        rig.clearTrace()
        var r = fresh()
        r.initUI()
        // Locked while the pages load; the panels wait for the lock.
        compare([r.isLock, r.visible, rig.viewEnabled(), r.panelsShown], [true, true, false, false])
        tryCompare(r, "panelsShown", true, 3000)
        // The stored rate is shown, not sent; device profile 4 is selected (profile + 1).
        compare([r.isLock, rig.viewEnabled(), r.isColorful, r.icType, r.language, text("configButton"), child("profileDropDown").currentText,
                 child("reportRateDropDown").currentText, reports("01"), reports("02")],
                [false, true, true, "553", "English", "Config", "profile_0", "250Hz", [], [[4, 0, 0, 0, 0, 0]]])
        ui_View.setGlobalData("mouse/profileNo", 0)
        ui_View.setCurrentProfile(0)
        ui_View.updataNameList(2, ["Standard0", "loaderkestle"])
        // A picked rate is stored and sent at once.
        var drop = child("reportRateDropDown"), popup = findChild(drop, "dropDownPopup")
        mouseClick(drop)
        tryCompare(popup, "height", 4 * 24 + 2)
        mouseClick(popup, 20, 1 + 12)
        tryCompare(popup, "visible", false)
        compare([ui_View.getData("mouse/reportRate", false), reports("01").pop()], [0, [8, 0, 0, 0, 0, 0]])
    }

    function test_save() {
        var r = started(), dpi = child("dpiSetting")
        lockSpy.target = r
        // Nothing unsaved: nothing locks, nothing goes out.
        mouseClick(child("saveButton"))
        compare([lockSpy.count, r.isLock, sentCommands()], [0, false, []])
        dpi.isSave = true
        r.save()
        compare([lockSpy.count, dpi.isSave, r.isLock, reports("11").length, text("noticeText")], [1, false, false, 1, "Saved and sent to the mouse."])
        // Without a mouse Save stores, says so, and the mouse that comes gets it.
        rig.setConnected(false)
        var values = editDpi()
        r.save()
        compare([Number(ui_View.getDataList("mouse/dpiValueArray", false)[0]), text("connectionText"), text("noticeText"), dpi.isSave],
                [Number(values[1]), "No mouse connected", "Saved on this computer; sent when the mouse is connected.", false])
        rig.clearTrace()
        rig.setConnected(true)
        r.initUI()
        r.setProtectUI(0)
        compare([text("connectionText"), reports("11").length, r.sendOnConnect], ["SKELD R772", 1, false])
    }

    // Re-picking the profile with unsaved edits asks once: Cancel keeps
    // everything, Discard drops the edit (the profile is sent as stored),
    // Save sends the edit first. Closing asks the same question (the
    // whole-program test answers it).
    function test_unsavedQuestion_data() {
        return [["cancelButton", true, 0], ["discardButton", false, 1], ["Enter", true, 2]].map(function (r) {
            return { tag: r[0], answer: r[0], kept: r[1], sent: r[2] } })
    }
    function test_unsavedQuestion(d) {
        started()
        activate()
        var values = editDpi(), dpi = child("dpiSetting"), box = child("unsavedBox")
        child("profileDropDown").choose(child("profileDropDown").currentIndex)
        tryCompare(box, "visible", true)
        if (d.answer === "Enter")
            keyClick(Qt.Key_Return)
        else
            mouseClick(findChild(box, d.answer))
        compare([box.visible, dpi.stageValues[0], dpi.isSave, reports("11").length],
                [false, values[d.kept ? 1 : 0], d.kept && d.sent === 0, d.sent])
    }

    function test_popups() {
        var r = started(), mask = child("mask")
        activate()
        r.forceActiveFocus()
        // Each button opens its pop-up over the mask; Esc closes it.
        ;[["configButton", "profilePage"], ["systemSettingButton", "systemSetting"], ["helpButton", "infoBox"],
          ["resetButton", "resetBox"]].forEach(function (p) {
            mouseClick(child(p[0]))
            var opened = [child(p[1]).visible, mask.visible]
            keyClick(Qt.Key_Escape)
            compare(opened.concat([child(p[1]).visible, mask.visible]), [true, true, false, false], p[1])
        })
        // The device's stage 1..8 is shown; others are ignored.
        ;[[3, 2], [9, 2], [8, 7]].forEach(function (s) {
            r.setCurrentDPI(s[0])
            compare(child("dpiSetting").currentDPI, s[1], "stage " + s[0])
        })
    }

    function test_reset() {
        var r = started()
        ui_View.setDataList("mouse/dpiValueArray", [1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000])
        ui_View.setData("mouse/reportRate", 0)
        mouseClick(child("resetButton"))
        var box = child("resetBox")
        child("dpiSetting").isSave = true
        rig.clearTrace()
        rig.pointerCalls()
        mouseClick(findChild(box, "okButton"))
        // The defaults are back in the profile and on every page.
        var dpi = child("dpiSetting")
        compare([box.visible, child("mask").visible, r.isLock, String(ui_View.getDataList("mouse/dpiValueArray", false)),
                 stored("mouse/reportRate"), dpi.stageValues[0], dpi.currentDPI, dpi.isSave, child("reportRateDropDown").currentText],
                [false, false, false, String(ui_View.getDataList("mouse/dpiValueArray", true)), "3", 400, 1, false, "1000Hz"])
        // Everything re-sent: report rate, stages, lighting, pointer, stage 2.
        verify(sentCommands().indexOf("11") >= 0 && sentCommands().indexOf("0d") >= 0, sentCommands())
        compare([reports("01")[0][0], reports("0b").pop()[0], rig.pointerCalls().length], [1, 2, 3])
    }

    SignalSpy { id: lockSpy; signalName: "uiLocked" }
}
