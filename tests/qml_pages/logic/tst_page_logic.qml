import QtQuick
import QtTest
import "qrc:/modules/qml/basic/PageLogic.js" as Logic

// The page computations. One row per case: function, arguments, result.
TestCase {
    name: "PageLogic"

    function rows(list) {
        return list.map(function (r) { return { tag: r[0] + JSON.stringify(r[1]), fn: r[0], args: r[1], out: r[2] } })
    }
    function e(list) { return list.map(function (p) { return { name: p[0], number: p[1] } }) }

    function test_calls_data() {
        var t = ["Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color", "Brightness", "Twinkling", "Wave",
                 "Gliding", "Finger Moving", "Vertical Flipping", "YO-YO", "Spotlight", "Breath Loop"]
        var c8 = ["#ff0000", "#00ff00", "#0000ff", "#ff00ff", "#00ffff", "#ff7f00", "#6000ff", "#ffffff"]
        var three = e([["Standard", 0], ["a", 1], ["b", 3]])
        return rows([
            // DPI slider (track 3..161 on a 176 slider) and the stored stages.
            ["sliderToDpi", [3, 200, 6000, 50], 200], ["sliderToDpi", [161, 200, 6000, 50], 6000],
            ["sliderToDpi", [82, 200, 6000, 50], 3100], ["sliderToDpi", [82, 200, 6000, 100], 3100],
            ["sliderToDpi", [4, 200, 6000, 50], 200], ["sliderToDpi", [5, 200, 6000, 50], 250],
            ["sliderToDpi", [-40, 200, 6000, 50], 200], ["sliderToDpi", [400, 200, 6000, 50], 6000],
            ["sliderToDpi", ["x", 200, 6000, 50], 200],
            ["dpiRange", [200, 6000, 100], { min: 200, max: 6000, base: 100 }],
            ["dpiRange", ["200", "6000", "50"], { min: 200, max: 6000, base: 50 }],
            ["dpiRange", [undefined, undefined, undefined], { min: 200, max: 6000, base: 50 }],
            ["dpiRange", [200, 6000, 0], { min: 200, max: 6000, base: 1 }],
            ["dpiRange", [800, 400, 50], { min: 800, max: 850, base: 50 }],
            ["dpiValues", [[100, 99999, -5, "3000", 4000, 4800, 5400, 6000], 200, 6000],
             [200, 6000, 200, 3000, 4000, 4800, 5400, 6000]],
            ["dpiValues", [[400, "abc"], 200, 6000], [400, 1000, 1500, 2000, 3000, 4000, 5000, 6000]],
            ["dpiValues", ["400", 200, 6000], [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]],
            ["dpiLayout", [1], { y: 128, spacing: 33, labelSpacing: 10 }],
            ["dpiLayout", [2], { y: 109, spacing: 33, labelSpacing: 10 }],
            ["dpiLayout", [3], { y: 90, spacing: 33, labelSpacing: 12 }],
            ["dpiLayout", [4], { y: 69, spacing: 33, labelSpacing: 14 }],
            ["dpiLayout", [5], { y: 50, spacing: 33, labelSpacing: 14 }],
            ["dpiLayout", [6], { y: 46, spacing: 27, labelSpacing: 10 }],
            ["dpiLayout", [7], { y: 38, spacing: 24, labelSpacing: 8 }],
            ["dpiLayout", [8], { y: 30, spacing: 22, labelSpacing: 4 }],
            // Slider geometry and snapping (96 wide, 4 segments).
            ["knobMin", [12], 3], ["knobMax", [176, 12], 161], ["knobMax", [352, 12], 337],
            ["sliderPosFromRatio", [352, 12, 0], 4], ["sliderPosFromRatio", [352, 12, 1], 338],
            ["sliderPosFromIndex", [96, 12, 0, 4], 3], ["sliderPosFromIndex", [96, 12, 4, 4], 81],
            ["sliderPosFromIndex", [96, 12, 2, 4], 42],
            ["snapIndex", [96, 12, 42, 4], 2], ["snapIndex", [96, 12, 23, 4], 2], ["snapIndex", [96, 12, 41, 4], 2],
            ["snapIndex", [96, 12, 3, 4], 0], ["snapIndex", [96, 12, 81, 4], 4], ["snapIndex", [96, 12, 200, 4], 4],
            // Report rate: stored index to row and to the wire byte.
            ["reportRateRow", [0], 0], ["reportRateByte", [0], 8], ["reportRateRow", ["1"], 1],
            ["reportRateByte", ["1"], 4], ["reportRateRow", [2], 2], ["reportRateByte", [2], 2],
            ["reportRateRow", [3], 3], ["reportRateByte", [3], 1], ["reportRateRow", [undefined], -1],
            ["reportRateByte", [undefined], 1], ["reportRateRow", [7], -1], ["reportRateByte", [7], 1],
            ["reportRateRow", [-1], -1], ["reportRateByte", [-1], 1], ["reportRateRow", ["fast"], -1],
            ["reportRateByte", ["fast"], 1],
            // System settings: pointer-speed slider and scroll lines.
            ["speedIndex", [3], 0], ["speedIndex", [4], 1], ["speedIndex", [37], 2], ["speedIndex", [36], 1],
            ["speedIndex", [170], 5], ["speedIndex", [337], 10], ["speedIndex", [338], 0], ["speedIndex", [999], 0],
            ["speedSliderPos", [170], 170], ["speedSliderPos", [0], 3], ["speedSliderPos", [1000], 337],
            ["speedSliderPos", [undefined], 170],
            ["scrollSetting", [1000], { screen: true, lines: 1 }], ["scrollSetting", [5000], { screen: true, lines: 1 }],
            ["scrollSetting", [100], { screen: false, lines: 100 }], ["scrollSetting", ["3"], { screen: false, lines: 3 }],
            ["scrollSetting", [0], { screen: false, lines: 1 }], ["scrollSetting", [undefined], { screen: false, lines: 3 }],
            // Lighting: hue bar 200 wide (segments of 33), colours, rows.
            ["hueToRgb", [0, 200], [255, 0, 0]], ["hueToRgb", [16.5, 200], [255, 127, 0]],
            ["hueToRgb", [33, 200], [255, 255, 0]], ["hueToRgb", [66, 200], [0, 255, 0]],
            ["hueToRgb", [99, 200], [0, 255, 255]], ["hueToRgb", [132, 200], [0, 0, 255]],
            ["hueToRgb", [165, 200], [255, 0, 255]], ["hueToRgb", [197, 200], [255, 0, 8]],
            ["hueToRgb", [198, 200], [255, 255, 255]], ["hueToRgb", [199, 200], [255, 255, 255]],
            ["rgbToHuePos", [255, 255, 255, 200], 199], ["rgbToHuePos", [12, 34, 56, 200], 0],
            ["rgbToHuePos", [0, 0, 0, 200], 0],
            ["colorValues", [c8, 0, false], [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255, 255, 127, 0, 96, 0, 255, 255, 255, 255]],
            ["colorValues", [c8, 0, true], [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255, 255, 127, 0, 96, 0, 255, 0, 0, 0]],
            ["colorValues", [c8, 4, true], [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255, 255, 127, 0, 96, 0, 255, 255, 255, 255]],
            ["effectNames", [t, false, false], ["Static", "Breath", "Neon", "OFF"]],
            ["effectNames", [t, true, false], ["Static", "Breath", "Neon", "OFF", "Twinkling", "Wave", "Gliding",
                                               "Finger Moving", "Vertical Flipping", "YO-YO", "Spotlight"]],
            ["effectNames", [t, false, true], ["Static", "Breath", "Neon", "OFF", "Breath Loop"]],
            ["lightRows", [0, false, false], { speed: false, bright: false, speedStep: 4 }],
            ["lightRows", [1, false, false], { speed: true, bright: true, speedStep: 4 }],
            ["lightRows", [3, false, false], { speed: true, bright: false, speedStep: 4 }],
            ["lightRows", [4, true, false], { speed: true, bright: false, speedStep: 0 }],
            ["lightRows", [4, false, false], { speed: false, bright: true, speedStep: 4 }],
            ["lightRows", [5, false, false], { speed: false, bright: true, speedStep: 4 }],
            ["lightRows", [7, false, false], { speed: true, bright: true, speedStep: 4 }],
            ["lightRows", [7, false, true], { speed: false, bright: true, speedStep: 4 }],
            ["lightRows", [10, false, false], { speed: true, bright: true, speedStep: 4 }],
            ["lightPanelHeight", [false, false], 176], ["lightPanelHeight", [true, true], 264],
            ["lightPanelHeight", [true, false], 224], ["lightPanelHeight", [false, true], 224],
            ["percentText", [0], "0%"], ["percentText", [2], "50%"], ["percentText", [4], "100%"], ["percentText", [9], "100%"],
            // Texts: a missing or short section keeps the built-in ones.
            ["mergeTexts", [["a", "b", "c"], ["A", "B", "C"]], ["A", "B", "C"]],
            ["mergeTexts", [["a", "b", "c"], []], ["a", "b", "c"]],
            ["mergeTexts", [["a", "b", "c"], ["A"]], ["A", "b", "c"]],
            ["mergeTexts", [["a", "b", "c"], ["A", "", "C"]], ["A", "b", "C"]],
            ["mergeTexts", [["a", "b", "c"], ["A", "B", "C", "D"]], ["A", "B", "C", "D"]],
            ["mergeTexts", [["a", "b", "c"], undefined], ["a", "b", "c"]],
            // Profiles.
            ["parseProfiles", [["Standard0", "loaderkestle"]], e([["Standard", 0]])],
            ["parseProfiles", [["Standard0", "profile_14"]], e([["Standard", 0], ["profile_1", 4]])],
            ["parseProfiles", [[]], []], ["parseProfiles", [undefined], []],
            ["parseProfiles", [["a0", "b1", "c2", "d3", "e4", "f5", "g0"]],
             e([["a", 0], ["b", 1], ["c", 2], ["d", 3], ["e", 4], ["f", 5]])],
            ["newProfileName", [e([["Standard", 0], ["profile_0", 1], ["profile_1", 3]])], "profile_2"],
            ["newProfileNumber", [e([["Standard", 0], ["profile_0", 1], ["profile_1", 3]])], 2],
            ["newProfileName", [e([["Standard", 0]])], "profile_0"], ["newProfileNumber", [e([["Standard", 0]])], 1],
            ["newProfileNumber", [e([["a", 0], ["b", 1], ["c", 2], ["d", 3], ["e", 4], ["f", 5]])], 6],
            ["newProfileName", [e([["profile_0", 0], ["profile_1", 1]])], "profile_2"],
            ["profileStrings", [e([["Standard", 0], ["profile_1", 4]])], ["Standard0", "profile_14"]],
            ["canDeleteProfile", [three, 0, 3], false], ["canDeleteProfile", [three, 2, 3], false],
            ["canDeleteProfile", [three, 1, 3], true], ["canDeleteProfile", [three, 3, 0], false],
            ["canDeleteProfile", [three, -1, 0], false],
            // Key routing and the last left click.
            ["keyRoute", [{ selected: true, recording: true }, null], "record"],
            ["keyRoute", [{ selected: false, recording: true }, null], ""],
            ["keyRoute", [{ selected: true, inserting: true }, null], "insert"],
            ["keyRoute", [null, { mode: 0 }], "assign"], ["keyRoute", [null, { mode: 1 }], "assign"],
            ["keyRoute", [null, { mode: -1 }], ""], ["keyRoute", [null, null], ""],
            ["isOnlyLeftClick", [[[0, 0, 0xF0, 0], [0, 0, 0xF1, 0]], 0], true],
            ["isOnlyLeftClick", [[[0, 0, 0xF0, 0], [0, 0, 0xF1, 0]], 1], false],
            ["isOnlyLeftClick", [[[0, 0, 0xF0, 0], [0, 0, 0xF0, 0]], 0], false],
            ["isOnlyLeftClick", [[[1, 0xF0, 10, 0], [0, 0, 0xF0, 0]], 1], true],
            ["toInt", [5, -1], 5], ["toInt", [" 12 ", -1], 12], ["toInt", ["-3", -1], -3], ["toInt", ["1.5", -1], -1],
            ["toInt", ["abc", -1], -1], ["toInt", [undefined, -1], -1], ["toInt", [null, -1], -1], ["toInt", ["", -1], -1]
        ])
    }
    function test_calls(d) {
        compare(Logic[d.fn].apply(null, d.args), d.out)
    }

    // A stage placed by ratio reads back as itself once rounded to the step.
    function test_dpiRoundTrip() {
        [200, 400, 800, 1600, 3200, 6000].forEach(function (v) {
            var pos = Logic.clamp(Logic.sliderPosFromRatio(176, 12, Logic.dpiRatio(v, 200, 6000)), 3, 161)
            compare(Logic.sliderToDpi(pos, 200, 6000, 100), v)
        })
    }

    // Typed colours find their hue segment, and pure hues come back within a step.
    function test_rgbToHuePos_data() {
        return [[255, 0, 0, 0], [255, 128, 0, 0], [128, 255, 0, 1], [0, 255, 128, 2], [0, 128, 255, 3],
                [128, 0, 255, 4], [255, 0, 128, 5]].map(function (r) { return { tag: String(r), rgb: r.slice(0, 3), segment: r[3] } })
    }
    function test_rgbToHuePos(d) {
        var p = Logic.rgbToHuePos(d.rgb[0], d.rgb[1], d.rgb[2], 200)
        compare(Logic.hueSegment(p, 200), d.segment)
        var back = Logic.hueToRgb(p, 200)
        for (var i = 0; i < 3; ++i)
            verify(Math.abs(back[i] - d.rgb[i]) <= 8, back + " vs " + d.rgb)
    }

    function test_lists() {
        compare(Logic.colorsFromList([255, 0, 0, 0, 128, 255]).slice(0, 3), ["#ff0000", "#0080ff", "#0000ff"])
        compare(Logic.colorsFromList([300, -4, 16]).slice(0, 3), ["#ff0010", "#00ff00", "#0000ff"])
        compare(Logic.colorsFromList(["a", 1, 2]).slice(0, 3), ["#ff0000", "#00ff00", "#0000ff"])
        compare(Logic.colorsFromList(undefined).length, 8)
        var blocks = [[3, false, false, 3, "11100000"], [1, true, false, 5, "11111100"], [1, false, true, 4, "11111100"],
                      [8, false, true, 0, "10000000"], [0, false, false, 3, "00000000"]]
        blocks.forEach(function (b) {
            var shown = ""
            for (var i = 0; i < 8; ++i)
                shown += Logic.colorBlockVisible(i, b[3], b[0], b[1], b[2]) ? "1" : "0"
            compare(shown, b[4], String(b))
        })
        var taken = []
        for (var n = 0; n < 12; ++n)
            taken.push({ name: "profile_" + n, number: 0 })
        compare(Logic.newProfileName(taken), "profile_12")
        // Bad profile entries are dropped with a warning.
        ignoreWarning(/config: profile list entry/)
        compare(Logic.parseProfiles(["Standard0", "a1", "b1"]), e([["Standard", 0], ["a", 1]]))
        ignoreWarning(/config: profile list entry/)
        compare(Logic.parseProfiles(["Standard0", "abc", "x2"]), e([["Standard", 0], ["x", 2]]))
        ignoreWarning(/config: profile list entry/)
        compare(Logic.parseProfiles(["Standard0", "x9"]), e([["Standard", 0]]))
        var keys = [[0, 0, 240, 0], [4, 0, 1, 0], [4, 2, 2, 0], [4, 0, 3, 0], [5, 0, 1, 0]]
        var names = { 1: "M1", 2: "M2", 3: "M1" }
        var of = function (n) { return names[n] }
        compare(Logic.macroButtons(keys, of, "M1"), [{ button: 1, number: 1 }, { button: 3, number: 3 }])
        compare(Logic.macroButtons(keys, of, "none"), [])
    }
}
