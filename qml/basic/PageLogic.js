.pragma library

// The computations behind the pages, kept free of items so the tests can
// call them directly. Everything here takes what the settings files hold,
// which may be missing or malformed, and answers with something usable.

// --- numbers ----------------------------------------------------------------

// An integer from a stored value, or the fallback when there is none. Stored
// values come back from the settings files as strings or numbers.
function toInt(value, fallback) {
    if (value === undefined || value === null)
        return fallback
    var text = String(value).trim()
    if (!/^[-+]?\d+$/.test(text))
        return fallback
    var n = parseInt(text, 10)
    return isFinite(n) ? n : fallback
}

function clamp(value, lo, hi) {
    return Math.min(Math.max(value, lo), hi)
}

// A list read through the bridge may come back as a list, a single scalar
// or nothing at all.
function toList(value) {
    if (value === undefined || value === null)
        return []
    if (Array.isArray(value))
        return value
    if (typeof value === "object" && typeof value.length === "number") {
        var out = []
        for (var i = 0; i < value.length; ++i)
            out.push(value[i])
        return out
    }
    return []
}

// A language section merged over the page's built-in texts: a missing file
// or section must not blank the page, and a short one keeps the rest.
function mergeTexts(builtIn, loaded) {
    var list = toList(loaded)
    var out = builtIn.slice()
    for (var i = 0; i < list.length; ++i) {
        if (i < out.length && (list[i] === undefined || list[i] === null || String(list[i]) === ""))
            continue
        out[i] = String(list[i])
    }
    return out
}

// --- report rate -------------------------------------------------------------

var reportRateNames = ["125Hz", "250Hz", "500Hz", "1000Hz"]

// The byte the device takes is the report interval in milliseconds; anything
// but the first three entries means the fastest rate.
function reportRateByte(index) {
    var i = toInt(index, -1)
    if (i === 0)
        return 8
    if (i === 1)
        return 4
    if (i === 2)
        return 2
    return 1
}

// The drop-down row for a stored index; -1 when it names no entry.
function reportRateRow(stored) {
    var i = toInt(stored, -1)
    return (i >= 0 && i < reportRateNames.length) ? i : -1
}

// --- sliders -----------------------------------------------------------------

// Range of a knob's left edge on a track of the given width.
function knobMin(knob) {
    return knob / 4
}

function knobMax(width, knob) {
    return width - knob - knob / 4
}

function sliderPosFromRatio(width, knob, ratio) {
    var r = clamp(Number(ratio), 0, 1)
    if (!isFinite(r))
        r = 0
    return Math.floor((width - 1.5 * knob) * r) + knob / 4 + 1
}

function sliderPosFromIndex(width, knob, index, segment) {
    return index * (width - 1.5 * knob) / segment + knob / 4
}

// Snapping moves the knob to the first segment boundary at or beyond it.
function snapIndex(width, knob, pos, segment) {
    var step = (width - 1.5 * knob) / segment
    if (step <= 0)
        return 0
    var i = Math.ceil((pos - knob / 4) / step - 1e-6)
    return clamp(i, 0, segment)
}

// --- DPI page ------------------------------------------------------------------

var dpiSliderMin = 3
var dpiSliderMax = 161
var dpiDefaults = [500, 1000, 1500, 2000, 3000, 4000, 5000, 6000]

// The range and step as read from the global settings, made usable.
function dpiRange(minDPI, maxDPI, dpiBase) {
    var lo = toInt(minDPI, 200)
    var hi = toInt(maxDPI, 6000)
    var base = toInt(dpiBase, 50)
    if (lo < 1)
        lo = 1
    if (hi <= lo)
        hi = lo + Math.max(base, 1)
    if (base < 1)
        base = 1
    return { min: lo, max: hi, base: base }
}

function sliderToDpi(pos, minDPI, maxDPI, dpiBase) {
    var p = clamp(Number(pos), dpiSliderMin, dpiSliderMax)
    if (!isFinite(p))
        p = dpiSliderMin
    var v = (p - dpiSliderMin) * (maxDPI - minDPI) / (dpiSliderMax - dpiSliderMin) + minDPI
    return Math.floor(v / dpiBase) * dpiBase
}

function dpiRatio(value, minDPI, maxDPI) {
    if (maxDPI <= minDPI)
        return 0
    return clamp((value - minDPI) / (maxDPI - minDPI), 0, 1)
}

// The stored stage values as eight numbers inside the range; entries that
// are missing or not numbers take the page's built-in value.
function dpiValues(stored, minDPI, maxDPI) {
    var list = toList(stored)
    var out = []
    for (var i = 0; i < 8; ++i) {
        var v = toInt(i < list.length ? list[i] : undefined, dpiDefaults[i])
        out.push(clamp(v, minDPI, maxDPI))
    }
    return out
}

// Where the stage column sits for a number of active stages (it is rotated,
// so y and the spacings keep the sliders centred in the panel).
function dpiLayout(count) {
    var table = {
        2: [109, 33, 10], 3: [90, 33, 12], 4: [69, 33, 14], 5: [50, 33, 14],
        6: [46, 27, 10], 7: [38, 24, 8], 8: [30, 22, 4]
    }
    // With one stage the spacings do not matter.
    if (count <= 1)
        return { y: 128, spacing: 33, labelSpacing: 10 }
    var row = table[Math.min(count, 8)]
    return { y: row[0], spacing: row[1], labelSpacing: row[2] }
}

// --- lighting page ---------------------------------------------------------------

var builtInColors = ["#ff0000", "#00ff00", "#0000ff", "#ff00ff", "#00ffff", "#ff7f00", "#6000ff", "#ffffff"]

function hex2(v) {
    var n = clamp(toInt(v, 0), 0, 255)
    return (n < 16 ? "0" : "") + n.toString(16)
}

function colorText(r, g, b) {
    return "#" + hex2(r) + hex2(g) + hex2(b)
}

// [r, g, b] of a "#rrggbb" text; black for anything else.
function colorParts(text) {
    var m = /^#([0-9a-fA-F]{2})([0-9a-fA-F]{2})([0-9a-fA-F]{2})$/.exec(String(text))
    if (!m)
        return [0, 0, 0]
    return [parseInt(m[1], 16), parseInt(m[2], 16), parseInt(m[3], 16)]
}

// Eight colour texts from a stored list of 24 components; components out of
// 0..255 are clamped, a block without all three keeps its built-in colour.
function colorsFromList(stored) {
    var list = toList(stored)
    var out = []
    for (var i = 0; i < 8; ++i) {
        if (3 * i + 2 < list.length) {
            var r = toInt(list[3 * i], NaN), g = toInt(list[3 * i + 1], NaN), b = toInt(list[3 * i + 2], NaN)
            if (isFinite(r) && isFinite(g) && isFinite(b)) {
                out.push(colorText(r, g, b))
                continue
            }
        }
        out.push(builtInColors[i])
    }
    return out
}

// The 24 numbers saved and sent for eight colour texts. The 55328 variant
// uses colour 8 as its switch to the eight-colour command, which only its
// "Breath Loop" effect wants.
function colorValues(colors, effect, is55328) {
    var out = []
    for (var i = 0; i < 8; ++i) {
        var c = colorParts(i < colors.length ? colors[i] : "#000000")
        out.push(c[0], c[1], c[2])
    }
    if (is55328 && effect !== 4) {
        out[21] = 0
        out[22] = 0
        out[23] = 0
    }
    return out
}

function hueSegmentWidth(barWidth) {
    return Math.floor((barWidth - 2) / 6)
}

// Colour under a point of the hue bar, as [r, g, b].
function hueToRgb(p, barWidth) {
    var w = hueSegmentWidth(barWidth)
    if (w <= 0)
        return [255, 0, 0]
    var i = Math.floor(p / w)
    var s = Math.floor((p - i * w) * 255 / w)
    switch (i) {
    case 0: return [255, s, 0]
    case 1: return [255 - s, 255, 0]
    case 2: return [0, 255, s]
    case 3: return [0, 255 - s, 255]
    case 4: return [s, 0, 255]
    case 5: return [255, 0, 255 - s]
    }
    return p > barWidth - 3 ? [255, 255, 255] : [255, 0, 0]
}

// Point of the hue bar for a colour (the inverse, as near as the bar has it).
function rgbToHuePos(r, g, b, barWidth) {
    var d = (barWidth - 2) / 6
    var u = d / 256
    if (r === 255 && b === 0)
        return g * u
    if (r === 0 && b === 255)
        return 3 * d + (255 - g) * u
    if (g === 255 && b === 0)
        return d + (255 - r) * u
    if (g === 0 && b === 255)
        return 4 * d + r * u
    if (r === 0 && g === 255)
        return 2 * d + b * u
    if (r === 255 && g === 0)
        return 5 * d + (255 - b) * u
    if (r === 255 && g === 255 && b === 255)
        return barWidth - 1
    return 0
}

function hueSegment(p, barWidth) {
    var w = hueSegmentWidth(barWidth)
    return w > 0 ? Math.floor(p / w) : 0
}

// Effect names offered by the drop-down for a model.
function effectNames(texts, isColorful, is55328) {
    var out = [texts[1], texts[2], texts[3], texts[4]]
    if (isColorful)
        for (var i = 8; i <= 14; ++i)
            out.push(texts[i])
    if (is55328)
        out.push(texts[15])
    return out
}

// Rows shown for an effect. loading: the stored values are being shown,
// which hides the speed row of effect 7 too.
function lightRows(effect, is55328, loading) {
    var speed = true, bright = true, speedStep = 4
    switch (effect) {
    case 0: speed = false; bright = false; break
    case 3: bright = false; break
    case 4:
        if (is55328) { bright = false; speedStep = 0 }
        else speed = false
        break
    case 5: speed = false; break
    case 7: if (loading) speed = false; break
    }
    return { speed: speed, bright: bright, speedStep: speedStep }
}

function lightPanelHeight(speedShown, brightShown) {
    if (speedShown && brightShown)
        return 264
    if (!speedShown && !brightShown)
        return 176
    return 224
}

function colorRowVisible(effect) {
    return effect === 3 || effect === 5 || effect === 9 || effect === 10
}

function colorMaskVisible(effect) {
    return !(effect === 3 || effect === 4 || effect === 5 || effect === 9 || effect === 10)
}

// Colour blocks follow the DPI stages on simple models; RGB models show six.
function colorBlockVisible(block, effect, dpiCount, isColorful, is55328) {
    if (block === 0)
        return dpiCount > 0 || isColorful
    if (block >= 6)
        return false
    if (is55328)
        return effect === 4
    return dpiCount > block || isColorful
}

var percentTexts = ["0%", "25%", "50%", "75%", "100%"]

function percentText(step) {
    return percentTexts[clamp(toInt(step, 0), 0, 4)]
}

// --- system settings page -----------------------------------------------------------

var speedThresholds = [4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338]

function speedIndex(pos) {
    var p = Number(pos)
    for (var i = 0; i < speedThresholds.length; ++i)
        if (speedThresholds[i] > p)
            return i
    return 0
}

// Slider positions as stored, kept to what the 352-pixel track can show.
function speedSliderPos(stored) {
    return clamp(toInt(stored, 170), 3, 337)
}

// { screen: whole-screen scrolling, lines: what the lines field shows }
function scrollSetting(stored) {
    var v = toInt(stored, 3)
    if (v > 100)
        return { screen: true, lines: 1 }
    return { screen: false, lines: clamp(v, 1, 100) }
}

// --- profiles -------------------------------------------------------------------------

var padEntry = "loaderkestle"
var maxProfiles = 6

function dropPad(list) {
    var l = toList(list)
    if (l.length === 2 && String(l[1]) === padEntry)
        return [l[0]]
    return l
}

// Stored strings to entries { name, number }. An entry whose ending is not
// a profile digit 0..5, or whose number an earlier entry already has, would
// point two names at one file or at none: it is left out (and warned about).
function parseProfiles(stored) {
    var l = dropPad(stored)
    var out = []
    var used = {}
    for (var i = 0; i < l.length && out.length < maxProfiles; ++i) {
        var s = String(l[i])
        var last = s.length > 0 ? s.charAt(s.length - 1) : ""
        var n = /^[0-5]$/.test(last) ? parseInt(last, 10) : -1
        if (n < 0 || used[n]) {
            console.warn("config: profile list entry \"" + s + "\" ignored")
            continue
        }
        used[n] = true
        out.push({ name: s.substring(0, s.length - 1), number: n })
    }
    return out
}

function profileStrings(entries) {
    var out = []
    for (var i = 0; i < entries.length; ++i)
        out.push(entries[i].name + entries[i].number)
    return out
}

function profileNameFree(entries, name) {
    for (var i = 0; i < entries.length; ++i)
        if (entries[i].name === name)
            return false
    return true
}

function newProfileName(entries) {
    for (var i = 0; i < 12; ++i)
        if (profileNameFree(entries, "profile_" + i))
            return "profile_" + i
    return "profile_12"
}

function newProfileNumber(entries) {
    for (var n = 0; n < maxProfiles; ++n) {
        var taken = false
        for (var i = 0; i < entries.length; ++i)
            if (entries[i].number === n)
                taken = true
        if (!taken)
            return n
    }
    return maxProfiles
}

function profileRow(entries, number) {
    for (var i = 0; i < entries.length; ++i)
        if (entries[i].number === number)
            return i
    return -1
}

function canDeleteProfile(entries, row, activeNumber) {
    return row > 0 && row < entries.length && entries[row].number !== activeNumber
}

// --- macro bookkeeping and keyboard routing ---------------------------------------------

// Buttons bound to a macro: binding kind 4 whose macro number (third code)
// names it in the profile. macroNameOf(number) reads "mouseMacroKey/<number>".
function macroButtons(keyCodes, macroNameOf, macroName) {
    var out = []
    for (var i = 0; i < keyCodes.length; ++i) {
        var k = toList(keyCodes[i])
        if (k.length < 3 || toInt(k[0], -1) !== 4)
            continue
        var number = toInt(k[2], -1)
        if (number >= 0 && String(macroNameOf(number)) === String(macroName))
            out.push({ button: i, number: number })
    }
    return out
}

// Who takes a key event from the global hook: "record" (macro editor
// recording), "insert" (its key-insert box), "assign" (the assignment
// dialog waiting for a fire or combination key) or "" (nobody).
function keyRoute(macro, assign) {
    if (macro && macro.selected && macro.recording)
        return "record"
    if (macro && macro.selected && macro.inserting)
        return "insert"
    if (assign && (assign.mode === 0 || assign.mode === 1))
        return "assign"
    return ""
}

