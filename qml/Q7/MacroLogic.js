.pragma library

// Macro editor computations. An event is { type, info }: type 0 delay (info =
// milliseconds), 1/2 key press/release, 3/4 mouse-button press/release (info =
// the key's name from the key-name table).

var DELAY = 0
var KEY_DOWN = 1
var KEY_UP = 2
var MOUSE_DOWN = 3
var MOUSE_UP = 4

var MAX_MACROS = 100
// Recording and inserting stop once the encoded macro reaches this size.
var SIZE_LIMIT = 126
// The device image holds 128 bytes; a macro must never encode longer, or its
// end marker would be cut off on the way to the device.
var IMAGE_SIZE = 128
var MAX_DELAY = 65535
var INSERTED_DELAY = 50

function isAction(e) {
    return e.type !== DELAY
}

function delayMs(e) {
    var ms = Math.floor(Number(e.info))
    return isFinite(ms) && ms > 0 ? ms : 0
}

// Bytes the device encoding of these events needs (the shared encoder's
// count): two for the repeat count; once there is an action, four for the
// last action and the end pair, and per earlier action two, or six when the
// delay after it needs the extended form (127 ticks of 10 ms or more).
// Delays before the first action mean nothing to the device.
function encodedSize(events) {
    var size = 2
    var seen = false
    var ms = 0
    for (var i = 0; i < events.length; ++i) {
        var e = events[i]
        if (!isAction(e)) {
            if (seen)
                ms += delayMs(e)
            continue
        }
        if (!seen)
            size += 4
        else
            size += Math.floor(ms / 10) < 127 ? 2 : 6
        seen = true
        ms = 0
    }
    return size
}

function sizeOf(events, measure) {
    return measure ? measure(events) : encodedSize(events)
}

// May the user record or insert anything more?
function canGrow(events, measure) {
    return sizeOf(events, measure) < SIZE_LIMIT
}

function fitsImage(events, measure) {
    return sizeOf(events, measure) <= IMAGE_SIZE
}

function copyEvents(events) {
    var out = []
    for (var i = 0; i < events.length; ++i)
        out.push({ type: events[i].type, info: events[i].info })
    return out
}

// The macro file's entries: "<type>,<info>".
function toEntries(events) {
    var out = []
    for (var i = 0; i < events.length; ++i)
        out.push(String(events[i].type) + "," + String(events[i].info))
    return out
}

// What loadMacroIni returned: every element but the last is an event, the
// last one is the repeat count. Entries of an unknown type are dropped.
function parseLoaded(list) {
    var result = { events: [], repeat: null, dropped: 0 }
    if (!list || !(list.length > 0))
        return result
    for (var i = 0; i < list.length - 1; ++i) {
        var s = String(list[i])
        var t = s.length >= 2 && s.charAt(1) === "," ? "01234".indexOf(s.charAt(0)) : -1
        if (t < 0) {
            ++result.dropped
            continue
        }
        result.events.push({ type: t, info: s.substring(2) })
    }
    result.repeat = String(list[list.length - 1])
    return result
}

// Repeat field: empty or below 1 becomes 0, at most 65535.
function repeatValue(text) {
    var n = parseInt(text, 10)
    if (!isFinite(n) || n < 1)
        return 0
    return Math.min(MAX_DELAY, n)
}

function delayText(ms) {
    return String(ms) + " ms"
}

// A typed delay: an integer 0..65535, or null for anything else.
function parseDelay(text) {
    var s = String(text).trim()
    if (!/^[0-9]+$/.test(s))
        return null
    var n = parseInt(s, 10)
    return n <= MAX_DELAY ? n : null
}

function pressType(code) {
    return code >= 0xF0 ? MOUSE_DOWN : KEY_DOWN
}

function releaseType(code) {
    return code >= 0xF0 ? MOUSE_UP : KEY_UP
}

// One routed key event while recording. Returns the new list, or null when it
// is refused (no room left, or the key has no name to store it under).
// elapsedTicks is the 10 ms counter since the previous event.
function recordEvent(events, isDown, code, name, elapsedTicks, withDelay, measure) {
    if (!canGrow(events, measure) || !name)
        return null
    var out = copyEvents(events)
    if (out.length > 0 && withDelay)
        out.push({ type: DELAY, info: String(Math.max(0, Math.floor(elapsedTicks)) * 10) })
    out.push({ type: isDown ? pressType(code) : releaseType(code), info: name })
    return fitsImage(out, measure) ? out : null
}

// Context menu "Insert Delay": 50 ms before the current event.
function insertDelay(events, current, measure) {
    if (!canGrow(events, measure))
        return null
    var out = copyEvents(events)
    var at = Math.max(0, Math.min(current, out.length))
    out.splice(at, 0, { type: DELAY, info: String(INSERTED_DELAY) })
    return fitsImage(out, measure) ? { events: out, current: at } : null
}

function isLast(events, current) {
    return current < 0 || current >= events.length - 1
}

// Context menu rows for the mouse buttons: press and release after the
// current event (appended when it is the last one).
function insertMouseButton(events, current, name, measure) {
    if (!canGrow(events, measure) || !name)
        return null
    var out = copyEvents(events)
    var pair = [{ type: MOUSE_DOWN, info: name }, { type: MOUSE_UP, info: name }]
    if (isLast(out, current))
        out.push(pair[0], pair[1])
    else
        out.splice(current + 1, 0, pair[0], pair[1])
    return fitsImage(out, measure) ? out : null
}

// The key-insert box's "OK": press and release before the current event
// (appended when it is the last one).
function insertKey(events, current, name, measure) {
    if (!canGrow(events, measure) || !name)
        return null
    var out = copyEvents(events)
    var pair = [{ type: KEY_DOWN, info: name }, { type: KEY_UP, info: name }]
    if (isLast(out, current))
        out.push(pair[0], pair[1])
    else
        out.splice(Math.max(0, current), 0, pair[0], pair[1])
    return fitsImage(out, measure) ? out : null
}

function removeEvent(events, current) {
    if (current < 0 || current >= events.length)
        return null
    var out = copyEvents(events)
    out.splice(current, 1)
    return out
}

// A delay edited in place; null keeps the old value (not a number, out of
// range, or a delay so long that the macro would no longer fit the device).
function setDelay(events, index, text, measure) {
    if (index < 0 || index >= events.length || events[index].type !== DELAY)
        return null
    var ms = parseDelay(text)
    if (ms === null)
        return null
    var out = copyEvents(events)
    out[index].info = String(ms)
    return fitsImage(out, measure) ? out : null
}

// Macro list -----------------------------------------------------------------

function indexOfName(names, name) {
    for (var i = 0; i < names.length; ++i) {
        if (String(names[i]) === name)
            return i
    }
    return -1
}

// "Macro_" and the first number 0..99 no entry bears.
function freeMacroName(names) {
    for (var i = 0; i < MAX_MACROS; ++i) {
        if (indexOfName(names, "Macro_" + i) < 0)
            return "Macro_" + i
    }
    return "Macro_" + MAX_MACROS
}

// The name list as read from the store, without the one-entry padding.
function namesFromStore(list) {
    var out = []
    if (!list)
        return out
    for (var i = 0; i < list.length; ++i)
        out.push(String(list[i]))
    if (out.length === 2 && out[1] === "loaderkestle")
        out.pop()
    return out
}

// A macro name becomes a file name under ./modules/macro/: anything that could
// leave that folder or is not a plain file name is refused. The store keeps
// the same rule, so a name the page takes is one the store takes: 1 to 64
// characters, not only blanks, no leading dot, no control character, none of
// / \ : * ? " < > |, and not the name list's padding word.
function isUsableName(name) {
    var s = String(name)
    if (s.trim().length === 0 || s.length > 64)
        return false
    if (s.charAt(0) === "." || s === "loaderkestle")
        return false
    return !/[\/\\:*?"<>|\x00-\x1f\x7f-\x9f]/.test(s)
}

// Rename is allowed when the text is a usable name that no entry, the
// renamed one included, bears already.
function canRename(names, newName) {
    return isUsableName(newName) && indexOfName(names, String(newName)) < 0
}

// The selection after deleting entry index of a list that had count entries.
function selectionAfterDelete(index, count) {
    if (count <= 1)
        return -1
    return Math.min(index, count - 2)
}
