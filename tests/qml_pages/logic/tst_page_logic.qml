import QtQuick
import QtTest
import "qrc:/modules/qml/basic/PageLogic.js" as Logic

// The page computations: per function, rows of arguments and result.
TestCase {
    name: "PageLogic"

    function e(list) { return list.map(function (p) { return { name: p[0], number: p[1] } }) }
    function rows(table) {
        var out = []
        for (var fn in table)
            table[fn].forEach(function (r) { out.push({ tag: fn + JSON.stringify(r[0]), fn: fn, args: r[0], out: r[1] }) })
        return out
    }

    function test_calls_data() {
        var t = ["Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color", "Brightness", "Twinkling", "Wave",
                 "Gliding", "Finger Moving", "Vertical Flipping", "YO-YO", "Spotlight", "Breath Loop"]
        var c8 = ["#ff0000", "#00ff00", "#0000ff", "#ff00ff", "#00ffff", "#ff7f00", "#6000ff", "#ffffff"]
        var v8 = [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255, 255, 127, 0, 96, 0, 255]
        var three = e([["Standard", 0], ["a", 1], ["b", 3]]), gap = e([["Standard", 0], ["profile_0", 1], ["profile_1", 3]])
        var taken = Array.from({ length: 12 }, function (v, n) { return { name: "profile_" + n, number: 0 } })
        var six = e([["a", 0], ["b", 1], ["c", 2], ["d", 3], ["e", 4], ["f", 5]])
        function R(speed, bright, step) { return { speed: speed, bright: bright, speedStep: step } }
        return rows({
            // DPI slider (track 3..161 of 176), stored stages.
            // A step is reached only once the knob is past it.
            sliderToDpi: [[[161, 200, 6000, 50], 6000], [[82, 200, 6000, 100], 3100], [[4, 200, 6000, 50], 200],
                          [[5, 200, 6000, 50], 250], [[-40, 200, 6000, 50], 200], [["x", 200, 6000, 50], 200]],
            dpiRange: [[["200", "6000", "50"], { min: 200, max: 6000, base: 50 }], [[undefined, undefined, undefined], { min: 200, max: 6000, base: 50 }],
                       [[200, 6000, 0], { min: 200, max: 6000, base: 1 }], [[800, 400, 50], { min: 800, max: 850, base: 50 }]],
            dpiValues: [[[[100, 99999, -5, "3000", 4000, 4800, 5400, 6000], 200, 6000], [200, 6000, 200, 3000, 4000, 4800, 5400, 6000]],
                        [[[400, "abc"], 200, 6000], [400, 1000, 1500, 2000, 3000, 4000, 5000, 6000]]],
            // Slider snapping (96 wide, 4 segments).
            sliderPosFromRatio: [[[352, 12, 1], 338]], snapIndex: [[[96, 12, 23, 4], 2], [[96, 12, 200, 4], 4]],
            // Report rate: stored index to the row shown and the wire byte.
            reportRateRow: [[["1"], 1], [[7], -1], [["fast"], -1]],
            reportRateByte: [[[0], 8], [["1"], 4], [[2], 2], [[7], 1]],
            // System settings: pointer-speed slider and scroll lines.
            speedIndex: [[[3], 0], [[37], 2], [[36], 1], [[338], 0]],
            speedSliderPos: [[[0], 3], [[1000], 337], [[undefined], 170]],
            scrollSetting: [[[1000], { screen: true, lines: 1 }], [[100], { screen: false, lines: 100 }], [["3"], { screen: false, lines: 3 }],
                            [[0], { screen: false, lines: 1 }], [[undefined], { screen: false, lines: 3 }]],
            // Lighting: hue bar 200 wide (segments of 33), colours, rows.
            hueToRgb: [[[0, 200], [255, 0, 0]], [[16.5, 200], [255, 127, 0]], [[197, 200], [255, 0, 8]], [[198, 200], [255, 255, 255]]],
            rgbToHuePos: [[[255, 255, 255, 200], 199], [[12, 34, 56, 200], 0]],
            // Typed colours find their hue segment.
            hueSegment: [[255, 128, 0, 0], [128, 255, 0, 1], [0, 128, 255, 3], [255, 0, 128, 5]].map(function (c) {
                return [[Logic.rgbToHuePos(c[0], c[1], c[2], 200), 200], c[3]] }),
            colorValues: [[[c8, 0, false], v8.concat([255, 255, 255])], [[c8, 0, true], v8.concat([0, 0, 0])],
                          [[c8, 4, true], v8.concat([255, 255, 255])]],
            effectNames: [[[t, false, false], t.slice(1, 5)], [[t, true, false], t.slice(1, 5).concat(t.slice(8, 15))],
                          [[t, false, true], t.slice(1, 5).concat(["Breath Loop"])]],
            lightRows: [[[0, false, false], R(false, false, 4)], [[3, false, false], R(true, false, 4)], [[4, true, false], R(true, false, 0)],
                        [[4, false, false], R(false, true, 4)], [[7, false, true], R(false, true, 4)]],
            colorsFromList: [[[[300, -4, 16, 0, 128, 255]], ["#ff0010", "#0080ff"].concat(c8.slice(2))], [[["a", 1, 2]], c8], [[undefined], c8]],
            // Texts: a missing or short section keeps the built-in ones.
            mergeTexts: [[[["a", "b", "c"], ["A"]], ["A", "b", "c"]], [[["a", "b", "c"], ["A", "", "C"]], ["A", "b", "C"]],
                         [[["a", "b", "c"], undefined], ["a", "b", "c"]]],
            // Profiles.
            parseProfiles: [[[["Standard0", "loaderkestle"]], e([["Standard", 0]])], [[undefined], []],
                            [[["Standard0", "profile_14"]], e([["Standard", 0], ["profile_1", 4]])], [[["a0", "b1", "c2", "d3", "e4", "f5", "g0"]], six]],
            newProfileName: [[[gap], "profile_2"], [[taken], "profile_12"]],
            newProfileNumber: [[[gap], 2], [[six], 6]],
            canDeleteProfile: [[[three, 0, 3], false], [[three, 2, 3], false], [[three, 1, 3], true], [[three, 3, 0], false]],
            // Key routing.
            keyRoute: [[[{ selected: true, recording: true }, null], "record"], [[{ selected: false, recording: true }, null], ""],
                       [[{ selected: true, inserting: true }, null], "insert"], [[null, { mode: 0 }], "assign"], [[null, { mode: -1 }], ""]],
            toInt: [[[" 12 ", -1], 12], [["1.5", -1], -1], [["abc", -1], -1], [[null, -1], -1]]
        })
    }
    function test_calls(d) {
        compare(Logic[d.fn].apply(null, d.args), d.out)
    }

    function test_composed() {
        // A stage placed by ratio reads back as itself once rounded to the step.
        [200, 400, 1600, 6000].forEach(function (v) {
            var pos = Logic.clamp(Logic.sliderPosFromRatio(176, 12, Logic.dpiRatio(v, 200, 6000)), 3, 161)
            compare(Logic.sliderToDpi(pos, 200, 6000, 100), v)
        })
        // Colour blocks shown per stage count, model and effect.
        ;[[3, false, false, 3, "11100000"], [1, true, false, 5, "11111100"], [1, false, true, 4, "11111100"],
         [8, false, true, 0, "10000000"]].forEach(function (b) {
            var shown = ""
            for (var i = 0; i < 8; ++i)
                shown += Logic.colorBlockVisible(i, b[3], b[0], b[1], b[2]) ? "1" : "0"
            compare(shown, b[4], String(b))
        })
        // Unusable profile entries are dropped with a warning.
        ignoreWarning(/config: profile list entry/)
        compare(Logic.parseProfiles(["Standard0", "abc", "x2"]), e([["Standard", 0], ["x", 2]]))
    }
}
