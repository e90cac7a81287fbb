.pragma library

// Button-assignment computations shared by KeyMatrix, KeyAssigment and Mouse.
// A binding is an array of four bytes [kind, code1, code2, code3]; texts are
// the "keyAssigment" language array; names is the key-name table document
// (keycodeTostr / strTokeycode).

var KIND_MOUSE = 0x00
var KIND_FIRE = 0x01
var KIND_GROUP = 0x02
var KIND_MEDIA = 0x03
var KIND_MACRO = 0x04
var KIND_DPI = 0x05
var KIND_WINDOWS = 0x06
var KIND_SHORTCUT = 0x07
var KIND_GUNSLOT = 0x08
var KIND_GUN = 0x0B

var LEFT_CLICK = 0xF0
var BUTTON_COUNT = 16

// The radio list of mouse functions, in the order the pop-up shows them.
var mouseChoices = [
    { text: 2, codes: [0x00, 0, 0xF0, 0] },
    { text: 3, codes: [0x00, 0, 0xF2, 0] },
    { text: 4, codes: [0x00, 0, 0xF1, 0] },
    { text: 5, codes: [0x00, 0, 0xF4, 0] },
    { text: 6, codes: [0x00, 0, 0xF3, 0] },
    { text: 7, codes: [0x00, 0xF0, 0x1E, 0x02] },
    { text: 57, codes: [0x00, 0, 0, 0] }
]

var mediaChoices = [
    { text: 27, lo: 0x83, hi: 0x01 },
    { text: 28, lo: 0xB5, hi: 0x00 },
    { text: 29, lo: 0xB6, hi: 0x00 },
    { text: 30, lo: 0xB7, hi: 0x00 },
    { text: 31, lo: 0xE2, hi: 0x00 },
    { text: 32, lo: 0xCD, hi: 0x00 },
    { text: 33, lo: 0xE9, hi: 0x00 },
    { text: 34, lo: 0xEA, hi: 0x00 }
]

var windowsChoices = [
    { text: 35, a: 0x94, b: 0x01 },
    { text: 36, a: 0x23, b: 0x02 },
    { text: 37, a: 0x21, b: 0x02 },
    { text: 40, a: 0xE3, b: 0x07 },
    { text: 41, a: 0xE3, b: 0x15 }
]

var shortcutChoices = [
    { text: 42, key: 0x11 },
    { text: 43, key: 0x1B },
    { text: 44, key: 0x06 },
    { text: 45, key: 0x19 },
    { text: 46, key: 0x16 },
    { text: 47, key: 0x13 },
    { text: 48, key: 0x09 },
    { text: 49, key: 0x1C },
    { text: 50, key: 0x1D },
    { text: 51, key: 0x04 }
]

var dpiChoices = [
    { text: 22, code: 1 },
    { text: 23, code: 2 },
    { text: 24, code: 3 },
    { text: 56, code: 4 }
]

var gunSlotTexts = [53, 54, 55]

// What the list shows before anything was read from the profile.
function builtInBindings() {
    var list = [
        [0x00, 0, 0xF0, 0], [0x00, 0, 0xF1, 0], [0x00, 0, 0xF2, 0], [0x00, 0, 0xF4, 0],
        [0x00, 0, 0xF3, 0], [0x05, 0, 1, 0], [0x05, 0, 2, 0], [0x00, 0xF0, 0x1E, 0x02]
    ]
    for (var i = 8; i < 14; ++i)
        list.push([0, 0, 0, 0])
    list.push([0xFF, 0, 1, 0])
    list.push([0xFF, 0, 2, 0])
    return list
}

function toByte(value) {
    var n = Number(value)
    if (!isFinite(n) || n < 0 || n > 255 || Math.floor(n) !== n)
        return -1
    return n
}

// A stored binding as four bytes, or null when it is absent or not four
// sane byte values: a damaged profile must not turn into device codes.
function normalizeBinding(stored) {
    if (stored === undefined || stored === null || typeof stored === "string")
        return null
    var len = stored.length
    if (!(len >= 1))
        return null
    var out = []
    for (var i = 0; i < 4; ++i) {
        // A short list stands for trailing zeroes, as the store reads it.
        var b = i < len ? toByte(stored[i]) : 0
        if (b < 0)
            return null
        out.push(b)
    }
    return out
}

function sameCodes(a, b) {
    if (!a || !b)
        return false
    for (var i = 0; i < 4; ++i) {
        if (Number(a[i]) !== Number(b[i]))
            return false
    }
    return true
}

function textAt(texts, index) {
    if (!texts || index < 0 || index >= texts.length || texts[index] === undefined)
        return ""
    return String(texts[index])
}

function keyName(names, code) {
    if (!names || !code)
        return ""
    var s = names.keycodeTostr(code)
    return s === undefined || s === null ? "" : String(s)
}

// "Select All" is Ctrl+A; on the French layout A sits where Q is.
function selectAllKey(language) {
    return language === "French" ? 0x14 : 0x04
}

function shortcutKey(choice, language) {
    return choice.text === 51 ? selectAllKey(language) : choice.key
}

function shortcutCodes(index, language) {
    var c = shortcutChoices[index]
    return [KIND_SHORTCUT, 0, 0xE0, shortcutKey(c, language)]
}

function mediaCodes(index) {
    var c = mediaChoices[index]
    return [KIND_MEDIA, 0, c.lo, c.hi]
}

function windowsCodes(index) {
    var c = windowsChoices[index]
    return [KIND_WINDOWS, 0, c.a, c.b]
}

function dpiCodes(index) {
    return [KIND_DPI, 0, dpiChoices[index].code, 0]
}

function mouseCodes(index) {
    return mouseChoices[index].codes.slice()
}

// Index of the mouse choice a kind-0 binding stands for, or -1.
function mouseChoiceIndex(codes) {
    if (codes[0] !== KIND_MOUSE)
        return -1
    if (codes[2] === 0x1E && codes[3] === 0x02)
        return 5
    for (var i = 0; i < mouseChoices.length; ++i) {
        if (i !== 5 && sameCodes(mouseChoices[i].codes, codes))
            return i
    }
    return -1
}

function mediaChoiceIndex(codes) {
    if (codes[0] !== KIND_MEDIA)
        return -1
    for (var i = 0; i < mediaChoices.length; ++i) {
        if (mediaChoices[i].lo === codes[2] && mediaChoices[i].hi === codes[3])
            return i
    }
    return -1
}

function windowsChoiceIndex(codes) {
    if (codes[0] !== KIND_WINDOWS)
        return -1
    for (var i = 0; i < windowsChoices.length; ++i) {
        if (windowsChoices[i].a === codes[2] && windowsChoices[i].b === codes[3])
            return i
    }
    return -1
}

function shortcutChoiceIndex(codes, language) {
    if (codes[0] !== KIND_SHORTCUT)
        return -1
    for (var i = 0; i < shortcutChoices.length; ++i) {
        if (shortcutKey(shortcutChoices[i], language) === codes[3])
            return i
    }
    // A profile made under the other layout still reads as "Select All".
    if (codes[3] === 0x04 || codes[3] === 0x14)
        return 9
    return -1
}

function dpiChoiceIndex(codes) {
    if (codes[0] !== KIND_DPI)
        return -1
    for (var i = 0; i < dpiChoices.length; ++i) {
        if (dpiChoices[i].code === codes[2])
            return i
    }
    return -1
}

// Names of a combination: the set modifiers in bit order, then the keys.
function groupNames(mod, key1, key2, names) {
    var parts = []
    for (var bit = 0; bit < 8; ++bit) {
        if (mod & (1 << bit))
            parts.push(keyName(names, 0xE0 + bit))
    }
    if (key1)
        parts.push(keyName(names, key1))
    if (key2)
        parts.push(keyName(names, key2))
    return parts
}

// The text a binding shows in the list and in the pop-up's title.
// macroName is the name stored for the binding's macro slot (kind 0x04).
function bindingText(codes, texts, names, language, macroName) {
    if (!codes)
        return ""
    switch (codes[0]) {
    case KIND_MOUSE:
        var m = mouseChoiceIndex(codes)
        return m < 0 ? "" : textAt(texts, mouseChoices[m].text)
    case KIND_FIRE:
        return keyName(names, codes[1])
    case KIND_GROUP:
        return groupNames(codes[1], codes[2], codes[3], names).join("+")
    case KIND_MEDIA:
        var md = mediaChoiceIndex(codes)
        return md < 0 ? "" : textAt(texts, mediaChoices[md].text)
    case KIND_MACRO:
        return macroName === undefined || macroName === null ? "" : String(macroName)
    case KIND_DPI:
        var d = dpiChoiceIndex(codes)
        return d < 0 ? "" : textAt(texts, dpiChoices[d].text)
    case KIND_WINDOWS:
        var w = windowsChoiceIndex(codes)
        return w < 0 ? "" : textAt(texts, windowsChoices[w].text)
    case KIND_SHORTCUT:
        var s = shortcutChoiceIndex(codes, language)
        return s < 0 ? "" : textAt(texts, shortcutChoices[s].text)
    case KIND_GUNSLOT:
        return codes[2] >= 1 && codes[2] <= 3 ? textAt(texts, gunSlotTexts[codes[2] - 1]) : ""
    case KIND_GUN:
        return textAt(texts, 52)
    }
    return ""
}

// True when button index holds the only left-click binding of the list: the
// user would lose the primary button, so it cannot be reassigned.
function isOnlyLeftClick(bindings, index) {
    var b = bindings[index]
    if (!b || b[0] !== KIND_MOUSE || b[2] !== LEFT_CLICK)
        return false
    for (var i = 0; i < bindings.length; ++i) {
        var o = bindings[i]
        if (i !== index && o && o[0] === KIND_MOUSE && o[2] === LEFT_CLICK)
            return false
    }
    return true
}

// The 64 numbers mouseSetKeyMatrix takes, button 0's codes first.
function flatten(bindings) {
    var out = []
    for (var i = 0; i < BUTTON_COUNT; ++i) {
        var b = bindings[i] || [0, 0, 0, 0]
        for (var j = 0; j < 4; ++j)
            out.push(Number(b[j]) || 0)
    }
    return out
}

// Key-combination capture -------------------------------------------------

function newCombination() {
    return { mod: 0, key1: 0, key2: 0, order: [] }
}

// Feeds one key press into a running capture. Modifiers set their bit; other
// keys fill the first, then the second key slot; anything beyond, repeats and
// mouse buttons (which would catch the click on the confirm image) are ignored.
function captureCombinationKey(combo, code) {
    code = Number(code)
    if (!(code > 0) || code >= 0xF0)
        return false
    if (code >= 0xE0 && code <= 0xE7) {
        var bit = 1 << (code - 0xE0)
        if (combo.mod & bit)
            return false
        combo.mod |= bit
        combo.order.push(code)
        return true
    }
    if (code === combo.key1 || code === combo.key2)
        return false
    if (!combo.key1)
        combo.key1 = code
    else if (!combo.key2)
        combo.key2 = code
    else
        return false
    combo.order.push(code)
    return true
}

// The capture field's text: the names in the order they were pressed.
function combinationFieldText(combo, names) {
    var parts = []
    for (var i = 0; i < combo.order.length; ++i)
        parts.push(keyName(names, combo.order[i]))
    return parts.join(" + ")
}

function combinationIsEmpty(combo) {
    return combo.order.length === 0
}

function combinationCodes(combo) {
    return [KIND_GROUP, combo.mod, combo.key1, combo.key2]
}

// Fire and gun periods ------------------------------------------------------

// The rate slider's knob position x stands for a period of x + 1 ms; the
// period travels in one byte.
function periodFromPosition(x) {
    var n = Math.floor(Number(x))
    if (!isFinite(n))
        n = 0
    return Math.max(1, Math.min(255, n + 1))
}

function periodText(period) {
    return String(period) + "MS"
}

// Shot count entry: 0..255; 0 is endless.
function clampTimes(value) {
    var n = parseInt(value, 10)
    if (!isFinite(n) || n < 1)
        return 0
    return Math.min(255, n)
}

function fireCodes(code, period, times) {
    return [KIND_FIRE, code, period, times]
}

function gunCodes(period, times) {
    return [KIND_GUN, 0xFF, period, times]
}

function macroCodes(runMode, buttonIndex) {
    return [KIND_MACRO, runMode, buttonIndex, 0]
}

// Panel height for n buttons: heading, rows 24 high 2 apart, margin.
function panelHeight(n) {
    n = Math.max(0, Math.min(8, n))
    return 40 + 24 * n + 2 * Math.max(0, n - 1) + 8
}
