import QtQuick
import QtTest

MainUnderTest {
    id: host

    TestCase {
        id: test
        name: "Languages"
        when: windowShown

        readonly property var sections: ["main", "profile", "systemSetting", "dpiSetting", "lightControl", "keyMatrix",
            "keyAssigment", "keyCode", "desktop", "macroEditor"]
        // Texts that are the same in every language.
        readonly property var neutral: [/^\d+$/, /^\d+Hz$/, /^\d+%$/, /^[RGB]$/, /^LOADING/, /^Infomation$/,
            /^Driver Version/, /^Product Name/, /^Hardware Code/, /^SKELD R772$/,
            /^(English|Français|简体中文)$/, /^.$/, /^\d+ms$/, /^Macro_\d+$/]

        function cleanupTestCase() {
            rig.restart({ "common/language": "English" })
        }

        function languageTexts(language) {
            var all = {}
            for (var i = 0; i < sections.length; ++i) {
                var list = ui_View.getLangStrings(sections[i], language)
                verify(list.length > 0, language + " has no section " + sections[i])
                for (var j = 0; j < list.length; ++j)
                    if (String(list[j]) !== "")
                        all[String(list[j])] = true
            }
            return all
        }

        function isNeutral(text) {
            for (var i = 0; i < neutral.length; ++i)
                if (neutral[i].test(text))
                    return true
            return false
        }

        function isText(item) {
            return ("elide" in item) && ("lineCount" in item) && ("truncated" in item)
        }

        // Visible, non-empty Text items under item.
        function shownTexts(item, out) {
            if (!item || !item.visible)
                return out
            if (isText(item) && String(item.text) !== "")
                out.push(item)
            var kids = item.children
            for (var i = 0; i < kids.length; ++i)
                shownTexts(kids[i], out)
            return out
        }

        // Every screen: the main page and each pop-up over it.
        function screens(r) {
            var out = [shownTexts(r, [])]
            var openers = ["openProfilePage", "openSystemPage", "openResetBox", "openInfoBox", "openMacroEditor"]
            for (var i = 0; i < openers.length; ++i) {
                r[openers[i]]()
                out.push(shownTexts(r, []))
                r.closePopups()
            }
            // The assignment pop-up (every section, also those below the
            // fold) and the unsaved-changes question.
            r.openAssignment(1)
            out.push(shownTexts(r, []))
            r.closePopups()
            findChild(r, "dpiSetting").isSave = true
            r.requestClose()
            out.push(shownTexts(r, []))
            r.answerUnsaved("cancel")
            findChild(r, "dpiSetting").isSave = false
            return out
        }

        function test_everyTextFollowsTheLanguage_data() {
            return [
                { tag: "English", language: "English" },
                { tag: "French", language: "French" },
                { tag: "ChineseSimplified", language: "ChineseSimplified" }
            ]
        }
        function test_everyTextFollowsTheLanguage(data) {
            rig.restart({ "common/language": data.language })
            var r = host.started(test)
            compare(r.language, data.language)
            var mine = languageTexts(data.language)
            var english = languageTexts("English")
            var all = screens(r)
            var count = 0
            var faults = []
            for (var s = 0; s < all.length; ++s) {
                for (var i = 0; i < all[s].length; ++i) {
                    var item = all[s][i]
                    var t = String(item.text)
                    ++count
                    if (item.truncated)
                        faults.push("cut: \"" + t + "\"")
                    // A text wider than its box runs into its neighbours
                    // (a centred number may lean 2 px into the gap each side).
                    if (item.wrapMode === Text.NoWrap && item.elide === Text.ElideNone && item.width > 0
                            && item.contentWidth > item.width + (item.horizontalAlignment === Text.AlignHCenter ? 4 : 1))
                        faults.push("overflows: \"" + t + "\" " + Math.round(item.contentWidth) + " > " + item.width)
                    // Titles made of a button's name and its binding.
                    if (isNeutral(t) || t.indexOf(" : ") > 0)
                        continue
                    if (mine[t] !== true)
                        faults.push("\"" + t + "\" is not a " + data.language + " text")
                    else if (data.language !== "English" && english[t] === true && mine[t] !== true)
                        faults.push("\"" + t + "\" stayed English")
                }
            }
            compare(faults, [])
            verify(count > 40, "only " + count + " texts seen")
            // Key names and the DPI button's tray texts come along.
            var keyNames = ui_View.getLangStrings("keyCode", data.language)
            compare(r.keyCodeString.keyCodeStr, keyNames)
            compare(r.keyCodeString.keycodeTostr(0xE0), keyNames[120])
            var other = ui_View.getLangStrings("other", data.language)
            if (data.language !== "French")
                compare(rig.dpiNotification(2), other[2])
            else
                compare(rig.dpiNotification(2), "DPI switch to the 3st segment")
        }

        // A language without a file keeps the built-in texts (rather than
        // blank labels).
        function test_missingLanguageFile() {
            rig.restart({ "common/language": "Klingon" })
            var r = host.started(test)
            compare(r.mainLang[4], "Config")
            compare(findChild(r, "dpiSetting").dpiSettingLang[0], "DPI")
            compare(findChild(r, "lightControl").lightControlLang[1], "Static")
        }
    }
}
