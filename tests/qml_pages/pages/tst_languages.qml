import QtQuick
import QtTest

// Every page and pop-up in every shipped language: each text comes from
// that language and fits its box; the language switch reaches every text.
PageTest {
    name: "Languages"

    readonly property var sections: ["main", "profile", "systemSetting", "dpiSetting", "lightControl", "keyMatrix",
        "keyAssigment", "keyCode", "desktop", "macroEditor"]
    // Texts that are the same in every language, and titles made of a button's name and its binding.
    readonly property var neutral: /^(\d+|\d+Hz|\d+%|[RGB]|LOADING.*|Infomation|Driver Version.*|Product Name.*|Hardware Code.*|SKELD R772|English|Français|简体中文|.|\d+ms|Macro_\d+|.+ : .+)$/


    // Visible, non-empty Text items under item.
    function shownTexts(item, out) {
        if (!item || !item.visible)
            return out
        if (("elide" in item) && ("truncated" in item) && String(item.text) !== "")
            out.push(item)
        for (var i = 0; i < item.children.length; ++i)
            shownTexts(item.children[i], out)
        return out
    }
    // The main page, each pop-up over it, the assignment pop-up (all of
    // it, also below the fold) and the unsaved-edits question.
    function screens(r) {
        var out = shownTexts(r, [])
        ;["openProfilePage", "openSystemPage", "openResetBox", "openInfoBox", "openMacroEditor", "openAssignment"].forEach(function (open) {
            r[open](1)
            out = shownTexts(r, out)
            r.closePopups()
        })
        child("dpiSetting").isSave = true
        r.requestClose()
        out = shownTexts(r, out)
        r.answerUnsaved("cancel")
        child("dpiSetting").isSave = false
        return out
    }

    function test_everyTextFits_data() {
        return [{ tag: "English" }, { tag: "French" }, { tag: "ChineseSimplified" }]
    }
    function test_everyTextFits(d) {
        rig.restart({ "common/language": d.tag })
        var r = started()
        var mine = {}, all = screens(r), faults = []
        sections.forEach(function (section) {
            ui_View.getLangStrings(section, d.tag).forEach(function (t) { mine[String(t)] = true })
        })
        for (var i = 0; i < all.length; ++i) {
            var item = all[i], t = String(item.text)
            if (item.truncated)
                faults.push("cut: \"" + t + "\"")
            // A text wider than its box runs into its neighbours (a centred
            // number may lean 2 px into the gap each side).
            if (item.wrapMode === Text.NoWrap && item.elide === Text.ElideNone && item.width > 0
                    && item.contentWidth > item.width + (item.horizontalAlignment === Text.AlignHCenter ? 4 : 1))
                faults.push("overflows: \"" + t + "\" " + Math.round(item.contentWidth) + " > " + item.width)
            if (!neutral.test(t) && mine[t] !== true)
                faults.push("\"" + t + "\" is not a " + d.tag + " text")
        }
        compare([faults, all.length > 40], [[], true])
        // Key names and the DPI button's tray texts come along.
        var keyNames = ui_View.getLangStrings("keyCode", d.tag)
        compare([r.keyCodeString.keyCodeStr, r.keyCodeString.keycodeTostr(0xE0)], [keyNames, keyNames[120]])
        compare(rig.dpiNotification(2), d.tag === "French" ? "DPI switch to the 3st segment"
                                                             : ui_View.getLangStrings("other", d.tag)[2])
    }

    // The drop-down lists the files; a choice is stored and every text
    // follows at once.
    function test_switch() {
        rig.restart({ "common/language": "English" })
        var r = started()
        r.openSystemPage()
        var page = findChild(r, "systemSetting"), drop = findChild(page, "languageDropDown")
        compare([page.languages, drop.currentText], [["ChineseSimplified", "English", "French"], "English"])
        drop.choose(2)
        tryCompare(r, "language", "French")
        compare([String(ui_View.getGlobalData("common/language")), String(ui_View.getGlobalData("common/languageChosen")),
                 findChild(r, "configButton").text, page.title], ["French", "true", "Configuration", "Paramètres système"])
        ui_View.setGlobalData("common/languageChosen", false)
    }
}
