.pragma library

// The skin's fixed colours and font sizes. The main page publishes them as
// its own properties too; pages use these directly so they need no parent.

var fontFamily = "微软雅黑"
var fontNormal = 12
var fontMiddle = 14
var fontMax = 16
var fontMin = 10

var text = "#ffffff"
var gray0 = "#1a1a1a"
var gray1 = "#3c3c3c"
var gray2 = "#969696"
var gray3 = "#d1d1d1"
var button = "#565656"
var highlight = "#ff0000"
var black = "#000000"
var accent = "#009cde"

// Our own additions, picked to sit between the fixed greys.
var unsaved = "#ff3030"
var stageIdle = "#ff8c1a"
var panelBorder = "#2a2a2a"
var infoText = "#c0c0c0"
var mask = "#90000000"

function img(name) {
    return "qrc:/modules/qml/img/" + name + ".svg"
}
// The hovered or selected button marker on the mouse picture.
var marker = "#ff8c00"
