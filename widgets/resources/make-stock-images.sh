#!/bin/sh
# Draws the widgets' stock images: the bevelled silver thumbs, the jog meter's pin and the hand
# cursor. Run from this folder with ImageMagick's convert; the PNGs are kept in the tree.
set -eu
IM=/usr/bin/convert

# knob WIDTH HEIGHT GROOVE(h|v) OUT: a silver knob lit from the top left, a dark outline with
# pure-black corners (left out when the thumb is drawn see-through) and an engraved groove.
knob() {
    w=$1; h=$2; groove=$3; out=$4
    r=$((w - 1)); b=$((h - 1)); r1=$((w - 2)); b1=$((h - 2))
    if [ "$groove" = h ]; then
        size="${w}x${h}"; turn=0
        g1="line 3,$((h / 2 - 1)) $((w - 4)),$((h / 2 - 1))"
        g2="line 3,$((h / 2)) $((w - 4)),$((h / 2))"
    else
        size="${h}x${w}"; turn=-90
        g1="line $((w / 2 - 1)),3 $((w / 2 - 1)),$((h - 4))"
        g2="line $((w / 2)),3 $((w / 2)),$((h - 4))"
    fi
    $IM -size "$size" gradient:'#f0f0f0-#8e8e8e' -rotate "$turn" +antialias \
        -fill none \
        -stroke '#ffffff' -draw "line 1,1 $r1,1" -draw "line 1,1 1,$b1" \
        -stroke '#c8c8c8' -draw "line 2,2 $((r1 - 1)),2" -draw "line 2,2 2,$((b1 - 1))" \
        -stroke '#5a5a5a' -draw "line $r1,1 $r1,$b1" -draw "line 1,$b1 $r1,$b1" \
        -stroke '#1c1c1c' -draw "rectangle 0,0 $r,$b" \
        -stroke '#3c3c3c' -draw "$g1" -stroke '#fafafa' -draw "$g2" \
        -stroke none -fill black \
        -draw "point 0,0" -draw "point $r,0" -draw "point 0,$b" -draw "point $r,$b" \
        -type TrueColor "PNG24:$out"
}

knob 30 13 h VRSLIDERTHUMB_HORI.png
knob 13 30 v VRSLIDERTHUMB_VERT.png
knob 17 9 h VRTB_VERT.png
knob 9 17 v VRTB_HORI.png

# The jog meter's pin: a red marker pointing down, on a fuchsia key colour.
$IM xpm:- -type TrueColor PNG24:TIWPIN.png <<'XPM'
/* XPM */
static char *pin[] = {
"6 9 4 1",
"  c #FF00FF",
". c #400000",
"+ c #FF2020",
"o c #FF9090",
"......",
".oo++.",
".o+++.",
".++++.",
".++++.",
" .++. ",
" .++. ",
"  ..  ",
"  ..  "
};
XPM

# The hand cursor: a white gloved hand pointing up, black outline, the rest see-through.
$IM xpm:- PNG32:VRCURSORHANDPOINT.png <<'XPM'
/* XPM */
static char *hand[] = {
"32 32 3 1",
"  c None",
". c #000000",
"+ c #FFFFFF",
"         ..                     ",
"        .++.                    ",
"        .++.                    ",
"        .++.                    ",
"        .++.                    ",
"        .++...                  ",
"        .++.++...               ",
"        .++.++.++..             ",
"     .. .++.++.++.+.            ",
"    .++..++++++++.++.           ",
"    .+++.+++++++++++.           ",
"     .++++++++++++++.           ",
"     .++++++++++++++.           ",
"      .+++++++++++++.           ",
"      .++++++++++++.            ",
"       .+++++++++++.            ",
"       .++++++++++.             ",
"        .+++++++++.             ",
"        .+++++++++.             ",
"        ...........             ",
"                                ",
"                                ",
"                                ",
"                                ",
"                                ",
"                                ",
"                                ",
"                                ",
"                                ",
"                                ",
"                                ",
"                                "
};
XPM
