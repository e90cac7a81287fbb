import QtQuick
import QtTest
import "qrc:/modules/qml/basic/PageLogic.js" as Logic

TestCase {
    name: "PageLogic"

    function test_sliderToDpi_data() {
        return [
            { tag: "bottom is the minimum", pos: 3, base: 50, dpi: 200 },
            { tag: "top is the maximum", pos: 161, base: 50, dpi: 6000 },
            { tag: "middle", pos: 82, base: 50, dpi: 3100 },
            { tag: "middle, shipped step", pos: 82, base: 100, dpi: 3100 },
            { tag: "rounded down to the step", pos: 4, base: 50, dpi: 200 },
            { tag: "one step up", pos: 5, base: 50, dpi: 250 },
            { tag: "below the track", pos: -40, base: 50, dpi: 200 },
            { tag: "beyond the track", pos: 400, base: 50, dpi: 6000 },
            { tag: "not a number", pos: "x", base: 50, dpi: 200 }
        ]
    }
    function test_sliderToDpi(data) {
        compare(Logic.sliderToDpi(data.pos, 200, 6000, data.base), data.dpi)
    }

    // A value placed by ratio reads back as itself once rounded to the step.
    function test_dpiRoundTrip_data() {
        return [
            { tag: "400", v: 400 }, { tag: "800", v: 800 }, { tag: "1600", v: 1600 },
            { tag: "3200", v: 3200 }, { tag: "200", v: 200 }, { tag: "6000", v: 6000 }
        ]
    }
    function test_dpiRoundTrip(data) {
        // The slider keeps the knob on its track.
        var pos = Logic.clamp(Logic.sliderPosFromRatio(176, 12, Logic.dpiRatio(data.v, 200, 6000)), 3, 161)
        compare(Logic.sliderToDpi(pos, 200, 6000, 100), data.v)
    }

    function test_dpiRange_data() {
        return [
            { tag: "shipped", args: [200, 6000, 100], min: 200, max: 6000, base: 100 },
            { tag: "as strings", args: ["200", "6000", "50"], min: 200, max: 6000, base: 50 },
            { tag: "missing", args: [undefined, undefined, undefined], min: 200, max: 6000, base: 50 },
            { tag: "zero step", args: [200, 6000, 0], min: 200, max: 6000, base: 1 },
            { tag: "max below min", args: [800, 400, 50], min: 800, max: 850, base: 50 }
        ]
    }
    function test_dpiRange(data) {
        var r = Logic.dpiRange(data.args[0], data.args[1], data.args[2])
        compare(r.min, data.min)
        compare(r.max, data.max)
        compare(r.base, data.base)
    }

    function test_dpiValues_data() {
        return [
            { tag: "in range", stored: [400, 800, 1600, 3200, 4000, 4800, 5400, 6000],
              values: [400, 800, 1600, 3200, 4000, 4800, 5400, 6000] },
            { tag: "clamped", stored: [100, 99999, -5, "3000", 4000, 4800, 5400, 6000],
              values: [200, 6000, 200, 3000, 4000, 4800, 5400, 6000] },
            { tag: "short and garbage", stored: [400, "abc"],
              values: [400, 1000, 1500, 2000, 3000, 4000, 5000, 6000] },
            { tag: "scalar", stored: "400", values: [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000] }
        ]
    }
    function test_dpiValues(data) {
        compare(Logic.dpiValues(data.stored, 200, 6000), data.values)
    }

    function test_dpiLayout_data() {
        return [
            { tag: "1", n: 1, y: 128 }, { tag: "2", n: 2, y: 109, s: 33, l: 10 },
            { tag: "3", n: 3, y: 90, s: 33, l: 12 }, { tag: "4", n: 4, y: 69, s: 33, l: 14 },
            { tag: "5", n: 5, y: 50, s: 33, l: 14 }, { tag: "6", n: 6, y: 46, s: 27, l: 10 },
            { tag: "7", n: 7, y: 38, s: 24, l: 8 }, { tag: "8", n: 8, y: 30, s: 22, l: 4 }
        ]
    }
    function test_dpiLayout(data) {
        var l = Logic.dpiLayout(data.n)
        compare(l.y, data.y)
        if (data.s !== undefined) {
            compare(l.spacing, data.s)
            compare(l.labelSpacing, data.l)
        }
        // The upright column keeps its middle where the panel's middle is.
        var columnHeight = data.n * 6 + (data.n - 1) * l.spacing
        verify(Math.abs(l.y + columnHeight / 2 - 131) <= 1.5, "centre " + (l.y + columnHeight / 2))
    }

    function test_sliderGeometry() {
        compare(Logic.knobMin(12), 3)
        compare(Logic.knobMax(176, 12), 161)
        compare(Logic.knobMax(352, 12), 337)
        compare(Logic.sliderPosFromRatio(352, 12, 0), 4)
        compare(Logic.sliderPosFromRatio(352, 12, 1), 338)
        compare(Logic.sliderPosFromIndex(96, 12, 0, 4), 3)
        compare(Logic.sliderPosFromIndex(96, 12, 4, 4), 81)
        compare(Logic.sliderPosFromIndex(96, 12, 2, 4), 42)
    }

    function test_snapIndex_data() {
        return [
            { tag: "on a boundary", pos: 42, index: 2 },
            { tag: "just past a boundary goes on", pos: 23, index: 2 },
            { tag: "just before a boundary", pos: 41, index: 2 },
            { tag: "start", pos: 3, index: 0 },
            { tag: "end", pos: 81, index: 4 },
            { tag: "beyond", pos: 200, index: 4 }
        ]
    }
    function test_snapIndex(data) {
        compare(Logic.snapIndex(96, 12, data.pos, 4), data.index)
    }

    function test_reportRate_data() {
        return [
            { tag: "125Hz", stored: 0, row: 0, byte: 8 },
            { tag: "250Hz", stored: "1", row: 1, byte: 4 },
            { tag: "500Hz", stored: 2, row: 2, byte: 2 },
            { tag: "1000Hz", stored: 3, row: 3, byte: 1 },
            { tag: "absent", stored: undefined, row: -1, byte: 1 },
            { tag: "out of range", stored: 7, row: -1, byte: 1 },
            { tag: "negative", stored: -1, row: -1, byte: 1 },
            { tag: "garbage", stored: "fast", row: -1, byte: 1 }
        ]
    }
    function test_reportRate(data) {
        compare(Logic.reportRateRow(data.stored), data.row)
        compare(Logic.reportRateByte(data.stored), data.byte)
    }

    function test_speedIndex_data() {
        return [
            { tag: "3", pos: 3, index: 0 }, { tag: "4", pos: 4, index: 1 },
            { tag: "37", pos: 37, index: 2 }, { tag: "36", pos: 36, index: 1 },
            { tag: "170", pos: 170, index: 5 }, { tag: "337", pos: 337, index: 10 },
            { tag: "338 wraps to 0", pos: 338, index: 0 }, { tag: "999", pos: 999, index: 0 }
        ]
    }
    function test_speedIndex(data) {
        compare(Logic.speedIndex(data.pos), data.index)
    }

    function test_scrollSetting_data() {
        return [
            { tag: "one screen", stored: 1000, screen: true },
            { tag: "100 rows", stored: 100, screen: false, lines: 100 },
            { tag: "3 rows", stored: "3", screen: false, lines: 3 },
            { tag: "zero", stored: 0, screen: false, lines: 1 },
            { tag: "huge", stored: 5000, screen: true },
            { tag: "missing", stored: undefined, screen: false, lines: 3 }
        ]
    }
    function test_scrollSetting(data) {
        var s = Logic.scrollSetting(data.stored)
        compare(s.screen, data.screen)
        if (!data.screen)
            compare(s.lines, data.lines)
    }

    function test_speedSliderPos_data() {
        return [
            { tag: "kept", stored: 170, pos: 170 },
            { tag: "below", stored: 0, pos: 3 },
            { tag: "above", stored: 1000, pos: 337 },
            { tag: "missing", stored: undefined, pos: 170 }
        ]
    }
    function test_speedSliderPos(data) {
        compare(Logic.speedSliderPos(data.stored), data.pos)
    }

    // --- hue bar -----------------------------------------------------------------------
    function test_hueToRgb_data() {
        // Bar 200 wide: segments of 33 pixels.
        return [
            { tag: "left end", p: 0, rgb: [255, 0, 0] },
            { tag: "segment 0", p: 16.5, rgb: [255, 127, 0] },
            { tag: "segment 1 start", p: 33, rgb: [255, 255, 0] },
            { tag: "segment 2", p: 66, rgb: [0, 255, 0] },
            { tag: "segment 3", p: 99, rgb: [0, 255, 255] },
            { tag: "segment 4", p: 132, rgb: [0, 0, 255] },
            { tag: "segment 5", p: 165, rgb: [255, 0, 255] },
            { tag: "segment 5 end", p: 197, rgb: [255, 0, 8] },
            { tag: "white tail", p: 198, rgb: [255, 255, 255] },
            { tag: "right end", p: 199, rgb: [255, 255, 255] }
        ]
    }
    function test_hueToRgb(data) {
        compare(Logic.hueToRgb(data.p, 200), data.rgb)
    }

    function test_rgbToHuePos_data() {
        return [
            { tag: "red", rgb: [255, 0, 0], segment: 0 },
            { tag: "orange", rgb: [255, 128, 0], segment: 0 },
            { tag: "yellow-green", rgb: [128, 255, 0], segment: 1 },
            { tag: "green-cyan", rgb: [0, 255, 128], segment: 2 },
            { tag: "typed 0,128,255", rgb: [0, 128, 255], segment: 3 },
            { tag: "violet", rgb: [128, 0, 255], segment: 4 },
            { tag: "pink", rgb: [255, 0, 128], segment: 5 }
        ]
    }
    function test_rgbToHuePos(data) {
        var p = Logic.rgbToHuePos(data.rgb[0], data.rgb[1], data.rgb[2], 200)
        compare(Logic.hueSegment(p, 200), data.segment)
        // Back to a colour: the pure hues come back within a step.
        var back = Logic.hueToRgb(p, 200)
        for (var i = 0; i < 3; ++i)
            verify(Math.abs(back[i] - data.rgb[i]) <= 8, "component " + i + ": " + back + " vs " + data.rgb)
    }

    function test_rgbToHuePosEnds() {
        compare(Logic.rgbToHuePos(255, 255, 255, 200), 199)
        compare(Logic.rgbToHuePos(12, 34, 56, 200), 0)
        compare(Logic.rgbToHuePos(0, 0, 0, 200), 0)
    }

    function test_colors_data() {
        return [
            { tag: "plain", stored: [255, 0, 0, 0, 128, 255], first: ["#ff0000", "#0080ff", "#0000ff"] },
            { tag: "clamped", stored: [300, -4, 16], first: ["#ff0010", "#00ff00", "#0000ff"] },
            { tag: "garbage keeps built-in", stored: ["a", 1, 2], first: ["#ff0000", "#00ff00", "#0000ff"] },
            { tag: "missing", stored: undefined, first: ["#ff0000", "#00ff00", "#0000ff"] }
        ]
    }
    function test_colors(data) {
        var c = Logic.colorsFromList(data.stored)
        compare(c.length, 8)
        compare(c.slice(0, 3), data.first)
    }

    function test_colorValues_data() {
        var colors = ["#ff0000", "#00ff00", "#0000ff", "#ff00ff", "#00ffff", "#ff7f00", "#6000ff", "#ffffff"]
        return [
            { tag: "plain model", colors: colors, effect: 0, is55328: false, tail: [255, 255, 255] },
            { tag: "55328 static clears colour 8", colors: colors, effect: 0, is55328: true, tail: [0, 0, 0] },
            { tag: "55328 breath loop keeps it", colors: colors, effect: 4, is55328: true, tail: [255, 255, 255] }
        ]
    }
    function test_colorValues(data) {
        var v = Logic.colorValues(data.colors, data.effect, data.is55328)
        compare(v.length, 24)
        compare(v.slice(0, 6), [255, 0, 0, 0, 255, 0])
        compare(v.slice(21, 24), data.tail)
    }

    function test_effectNames() {
        var t = ["Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color", "Brightness", "Twinkling", "Wave",
                 "Gliding", "Finger Moving", "Vertical Flipping", "YO-YO", "Spotlight", "Breath Loop"]
        compare(Logic.effectNames(t, false, false), ["Static", "Breath", "Neon", "OFF"])
        compare(Logic.effectNames(t, true, false).length, 11)
        compare(Logic.effectNames(t, true, false)[10], "Spotlight")
        compare(Logic.effectNames(t, false, true), ["Static", "Breath", "Neon", "OFF", "Breath Loop"])
    }

    function test_lightRows_data() {
        return [
            { tag: "0", effect: 0, speed: false, bright: false, h: 176 },
            { tag: "1", effect: 1, speed: true, bright: true, h: 264 },
            { tag: "2", effect: 2, speed: true, bright: true, h: 264 },
            { tag: "3", effect: 3, speed: true, bright: false, h: 224 },
            { tag: "4 on 55328", effect: 4, is55328: true, speed: true, bright: false, step: 0, h: 224 },
            { tag: "4 elsewhere", effect: 4, speed: false, bright: true, h: 224 },
            { tag: "5", effect: 5, speed: false, bright: true, h: 224 },
            { tag: "7 picked", effect: 7, speed: true, bright: true, h: 264 },
            { tag: "7 loaded", effect: 7, loading: true, speed: false, bright: true, h: 224 },
            { tag: "10", effect: 10, speed: true, bright: true, h: 264 }
        ]
    }
    function test_lightRows(data) {
        var r = Logic.lightRows(data.effect, data.is55328 === true, data.loading === true)
        compare(r.speed, data.speed)
        compare(r.bright, data.bright)
        compare(r.speedStep, data.step === undefined ? 4 : data.step)
        compare(Logic.lightPanelHeight(r.speed, r.bright), data.h)
    }

    function test_colorBlocks_data() {
        return [
            { tag: "simple, 3 stages", dpiCount: 3, colorful: false, is55328: false, effect: 3,
              shown: [true, true, true, false, false, false, false, false] },
            { tag: "colourful", dpiCount: 1, colorful: true, is55328: false, effect: 5,
              shown: [true, true, true, true, true, true, false, false] },
            { tag: "55328 breath loop", dpiCount: 1, colorful: false, is55328: true, effect: 4,
              shown: [true, true, true, true, true, true, false, false] },
            { tag: "55328 static", dpiCount: 8, colorful: false, is55328: true, effect: 0,
              shown: [true, false, false, false, false, false, false, false] },
            { tag: "no stages", dpiCount: 0, colorful: false, is55328: false, effect: 3,
              shown: [false, false, false, false, false, false, false, false] }
        ]
    }
    function test_colorBlocks(data) {
        var shown = []
        for (var i = 0; i < 8; ++i)
            shown.push(Logic.colorBlockVisible(i, data.effect, data.dpiCount, data.colorful, data.is55328))
        compare(shown, data.shown)
    }

    function test_percentText() {
        compare(Logic.percentText(0), "0%")
        compare(Logic.percentText(2), "50%")
        compare(Logic.percentText(4), "100%")
        compare(Logic.percentText(9), "100%")
    }

    // --- texts --------------------------------------------------------------------------
    function test_mergeTexts_data() {
        return [
            { tag: "full", loaded: ["A", "B", "C"], out: ["A", "B", "C"] },
            { tag: "missing section keeps built-in", loaded: [], out: ["a", "b", "c"] },
            { tag: "short keeps the rest", loaded: ["A"], out: ["A", "b", "c"] },
            { tag: "empty entry keeps built-in", loaded: ["A", "", "C"], out: ["A", "b", "C"] },
            { tag: "longer is kept", loaded: ["A", "B", "C", "D"], out: ["A", "B", "C", "D"] },
            { tag: "undefined", loaded: undefined, out: ["a", "b", "c"] }
        ]
    }
    function test_mergeTexts(data) {
        compare(Logic.mergeTexts(["a", "b", "c"], data.loaded), data.out)
    }

    // --- profiles -------------------------------------------------------------------------
    function test_parseProfiles_data() {
        return [
            { tag: "padded single", stored: ["Standard0", "loaderkestle"], names: ["Standard"], numbers: [0] },
            { tag: "two digits at the end", stored: ["Standard0", "profile_14"], names: ["Standard", "profile_1"],
              numbers: [0, 4] },
            { tag: "duplicate number dropped", stored: ["Standard0", "a1", "b1"], names: ["Standard", "a"],
              numbers: [0, 1] },
            { tag: "non-digit ending dropped", stored: ["Standard0", "abc", "x2"], names: ["Standard", "x"],
              numbers: [0, 2] },
            { tag: "digit beyond 5 dropped", stored: ["Standard0", "x9"], names: ["Standard"], numbers: [0] },
            { tag: "empty", stored: [], names: [], numbers: [] },
            { tag: "not a list", stored: undefined, names: [], numbers: [] },
            { tag: "at most six", stored: ["a0", "b1", "c2", "d3", "e4", "f5", "g0"], names: ["a", "b", "c", "d", "e", "f"],
              numbers: [0, 1, 2, 3, 4, 5] }
        ]
    }
    function test_parseProfiles(data) {
        if (data.tag.indexOf("dropped") >= 0)
            ignoreWarning(/config: profile list entry/)
        var e = Logic.parseProfiles(data.stored)
        compare(e.map(function (x) { return x.name }), data.names)
        compare(e.map(function (x) { return x.number }), data.numbers)
    }

    function entries(list) {
        return list.map(function (p) { return { name: p[0], number: p[1] } })
    }

    function test_newProfile_data() {
        return [
            { tag: "gap at 2", list: [["Standard", 0], ["profile_0", 1], ["profile_1", 3]], name: "profile_2", number: 2 },
            { tag: "first", list: [["Standard", 0]], name: "profile_0", number: 1 },
            { tag: "full", list: [["a", 0], ["b", 1], ["c", 2], ["d", 3], ["e", 4], ["f", 5]], name: "profile_0", number: 6 },
            { tag: "names taken", list: [["profile_0", 0], ["profile_1", 1]], name: "profile_2", number: 2 }
        ]
    }
    function test_newProfile(data) {
        var e = entries(data.list)
        compare(Logic.newProfileName(e), data.name)
        compare(Logic.newProfileNumber(e), data.number)
    }

    function test_newProfileNameAllTaken() {
        var e = []
        for (var i = 0; i < 12; ++i)
            e.push({ name: "profile_" + i, number: 0 })
        compare(Logic.newProfileName(e), "profile_12")
    }

    function test_profileStrings() {
        compare(Logic.profileStrings(entries([["Standard", 0], ["profile_1", 4]])), ["Standard0", "profile_14"])
    }

    function test_canDeleteProfile_data() {
        var list = [["Standard", 0], ["a", 1], ["b", 3]]
        return [
            { tag: "row 0", list: list, row: 0, active: 3, ok: false },
            { tag: "active row", list: list, row: 2, active: 3, ok: false },
            { tag: "another row", list: list, row: 1, active: 3, ok: true },
            { tag: "beyond", list: list, row: 3, active: 0, ok: false },
            { tag: "negative", list: list, row: -1, active: 0, ok: false }
        ]
    }
    function test_canDeleteProfile(data) {
        compare(Logic.canDeleteProfile(entries(data.list), data.row, data.active), data.ok)
    }

    // --- macro bookkeeping, routing, left click ---------------------------------------------
    function test_macroButtons() {
        var keys = [[0, 0, 240, 0], [4, 0, 1, 0], [4, 2, 2, 0], [4, 0, 3, 0], [5, 0, 1, 0]]
        var names = { 1: "M1", 2: "M2", 3: "M1" }
        var bound = Logic.macroButtons(keys, function (n) { return names[n] }, "M1")
        compare(bound.map(function (b) { return b.button }), [1, 3])
        compare(bound.map(function (b) { return b.number }), [1, 3])
        compare(Logic.macroButtons(keys, function (n) { return names[n] }, "none"), [])
    }

    function test_keyRoute_data() {
        return [
            { tag: "recording", macro: { selected: true, recording: true }, assign: null, route: "record" },
            { tag: "recording, nothing selected", macro: { selected: false, recording: true }, assign: null, route: "" },
            { tag: "insert box", macro: { selected: true, inserting: true }, assign: null, route: "insert" },
            { tag: "fire key", macro: null, assign: { mode: 0 }, route: "assign" },
            { tag: "combination", macro: null, assign: { mode: 1 }, route: "assign" },
            { tag: "dialog idle", macro: null, assign: { mode: -1 }, route: "" },
            { tag: "nobody", macro: null, assign: null, route: "" }
        ]
    }
    function test_keyRoute(data) {
        compare(Logic.keyRoute(data.macro, data.assign), data.route)
    }

    function test_onlyLeftClick_data() {
        return [
            { tag: "only holder", keys: [[0, 0, 0xF0, 0], [0, 0, 0xF1, 0]], k: 0, only: true },
            { tag: "another button", keys: [[0, 0, 0xF0, 0], [0, 0, 0xF1, 0]], k: 1, only: false },
            { tag: "two holders", keys: [[0, 0, 0xF0, 0], [0, 0, 0xF0, 0]], k: 0, only: false },
            { tag: "fire on left is not a left click", keys: [[1, 0xF0, 10, 0], [0, 0, 0xF0, 0]], k: 1, only: true }
        ]
    }
    function test_onlyLeftClick(data) {
        compare(Logic.isOnlyLeftClick(data.keys, data.k), data.only)
    }

    function test_toInt_data() {
        return [
            { tag: "number", v: 5, out: 5 }, { tag: "string", v: " 12 ", out: 12 },
            { tag: "negative", v: "-3", out: -3 }, { tag: "float text", v: "1.5", out: -1 },
            { tag: "word", v: "abc", out: -1 }, { tag: "undefined", v: undefined, out: -1 },
            { tag: "null", v: null, out: -1 }, { tag: "empty", v: "", out: -1 }
        ]
    }
    function test_toInt(data) {
        compare(Logic.toInt(data.v, -1), data.out)
    }
}
