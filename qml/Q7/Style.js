.pragma library

// The colours and sizes of the main page, for the documents of this folder.
var text = "#ffffff"
var gray0 = "#1a1a1a"
var gray1 = "#3c3c3c"
var gray2 = "#969696"
var gray3 = "#d1d1d1"
var button = "#565656"
var highlight = "#ff0000"
var black = "#000000"
var accent = "#009cde"
var marker = "#ff8c00"
var fontFamily = "微软雅黑"
var fontNormal = 12
var fontMiddle = 14
var fontMax = 16
var fontMin = 10
