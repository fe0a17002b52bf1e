#!/usr/bin/env bash
# The show's content as built into BUILD/show: the archive verifies and holds
# the tracks on the score's grid and a timetable that runs every scene long
# enough, without gaps, to "ende"; every picture decodes with the variant it
# was made in; the tube's script runs. It runs after every test that reads
# BUILD/show, so a test that damaged the folder fails the suite here.
set -u
BUILD=$1
SHOW=$BUILD/show
Z=$BUILD/tools/zelkor/zelkor
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- nothing but regular files: a FIFO here would hang every reader ---
odd=$(find "$SHOW" -mindepth 1 ! -type f)
[ -z "$odd" ] || fail "not regular files in $SHOW: $odd"

# --- the archive and its timetable ---
"$Z" vkz verify "$SHOW/data.vkz" >/dev/null || fail "data.vkz does not verify"
"$Z" vkz extract "$SHOW/data.vkz" default.tmg -o "$work/default.tmg" || fail "no default.tmg in data.vkz"
"$Z" tmg dump "$work/default.tmg" > "$work/timetable.txt" || fail "default.tmg does not dump"
"$Z" vkz extract "$SHOW/data.vkz" default.trk -o "$work/default.trk" || fail "no default.trk in data.vkz"
"$Z" trk dump "$work/default.trk" | grep -qx "bpm 128 rows 4" || fail "default.trk is not on the score's grid"
problems=$(awk '
    { start[NR] = $1; len[NR] = $2; name[NR] = $3; n = NR
      end = $1 + $2; if (end > last) last = end
      seen[$3] += $2; if ($3 != "ende" && $1 > latest) { latest = $1; latestName = $3 } }
    END {
        if (name[n] != "ende") print "the last entry is " name[n] ", not ende"
        if (start[n] + len[n] != last) print "ende does not end the programme"
        for (i = 1; i < n; i++) if (start[i] >= start[n]) print name[i] " starts after ende"
        if (latestName != "creditsend") print "the last scene is " latestName ", not creditsend"
        # Coverage: walk the entries in start order; each must begin by the
        # time the ones before it have ended (the clock counts whole ms).
        for (i = 1; i <= n; i++) order[i] = i
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
            if (start[order[j]] < start[order[i]]) { t = order[i]; order[i] = order[j]; order[j] = t }
        covered = -1
        for (k = 1; k <= n; k++) {
            i = order[k]
            if (start[i] > covered + 1) print "gap before " start[i] " ms"
            if (start[i] + len[i] > covered) covered = start[i] + len[i]
        }
        if (start[order[1]] != 0) print "nothing runs at 0 ms"
        if (!(name[1] == "preload" || seen["preload"] > 0)) print "no preload"
        for (i = 1; i <= n; i++) if (name[i] == "preload" && start[i] != 0) print "preload does not open the show"
        split("scene1 scene2 scene3 scene4 scene5 scene6 scene7 scene8 scene9 creditsend", all, " ")
        for (k in all) if (!(all[k] in seen)) print all[k] " never runs"
        if (seen["scene3"] < 15000) print "scene3 runs under 15 s"
        if (seen["scene5"] < 20000) print "scene5 runs under 20 s"
        if (seen["scene2"] <= 10000) print "scene2 runs 10 s or less"
        if (seen["scene7"] <= 10000) print "scene7 runs 10 s or less"
        # The tube fades away after 10 s; a longer scene6 would leave the screen dark.
        if (seen["scene6"] < 9000) print "scene6 runs under 9 s"
        if (last < 150000 || last > 210000) print "the programme lasts " last " ms"
    }' "$work/timetable.txt")
[ -z "$problems" ] || fail "timetable: $problems"

# --- the pictures: size, pixel format, and the TGA variant of each file ---
# name width height format image-type depth
while read -r file w h fmt type depth; do
    [ -f "$SHOW/$file" ] || fail "$file is missing"
    got=$("$Z" tex decode "$SHOW/$file") || fail "$file does not decode"
    [ "$got" = "$w $h $fmt" ] || fail "$file decodes as '$got', expected '$w $h $fmt'"
    t=$(od -An -tu1 -j2 -N1 "$SHOW/$file" | tr -d ' ')
    d=$(od -An -tu1 -j16 -N1 "$SHOW/$file" | tr -d ' ')
    [ "$t $d" = "$type $depth" ] || fail "$file is type $t depth $d, expected $type $depth"
done <<'TABLE'
tarnis_logo.tga 1024 512 rgb 10 24
tarnis_credits.tga 1024 512 rgba 10 32
particletex.tga 64 64 rgba 2 32
tarnis_particle2.tga 64 64 rgb 2 16
tarnis_cloud.tga 256 256 rgb 2 24
p1_kopf.tga 128 128 rgba 10 32
p1_koerper.tga 128 256 rgb 10 24
tarnis_1.tga 512 512 rgb 2 24
tarnis_2.tga 512 512 rgb 2 16
tarnis_3.tga 512 512 rgba 2 32
tarnis_4.tga 512 512 rgb 10 24
tarnis_5.tga 512 512 rgb 2 24
tarnis_6.tga 512 512 rgb 2 16
tarnis_7.tga 512 512 rgba 2 32
TABLE

# Additive textures need black where nothing should show: the glow's corner
# pixel and the figure's edges.
"$Z" tex decode "$SHOW/particletex.tga" --raw "$work/p.raw" >/dev/null
[ "$(od -An -tu1 -N4 "$work/p.raw" | tr -s ' ')" = " 0 0 0 0" ] || fail "particletex.tga has a lit corner"
"$Z" tex decode "$SHOW/p1_koerper.tga" --raw "$work/b.raw" >/dev/null
[ "$(od -An -tu1 -N3 "$work/b.raw" | tr -s ' ')" = " 0 0 0" ] || fail "p1_koerper.tga has a lit corner"

# --- the tube's texture script runs in the show's own interpreter ---
[ "$("$Z" tex decode "$SHOW/wobble.rgs")" = "256 256 rgb" ] || fail "wobble.rgs does not decode"
"$Z" rgs run "$SHOW/wobble.rgs" >/dev/null || fail "wobble.rgs is rejected"
echo "content_check: ok"
