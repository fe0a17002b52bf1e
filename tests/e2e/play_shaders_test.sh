#!/usr/bin/env bash
# A show with a shader of its own, as a maker edits it: play takes the
# modern renderer unasked (and refuses the fixed one); a save with an error
# names its file and line on stderr and over the picture while the last good
# code draws on; the mended file draws at once; capture draws it too.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$1"
LIB=$1/tests/e2e/libshader_scenes.so
mkdir -p show/shaders
echo "0 60000 fill" >tt.txt
"$ZELKOR" tmg compile tt.txt -o default.tmg --scene-names fill >/dev/null &&
    "$ZELKOR" vkz create show/data.vkz default.tmg >/dev/null || zk_fail "archive"
colour() { printf 'void main() {\n    gl_FragColor = vec4(%s, 1.0);\n}\n' "$1"; }
colour "0.0, 1.0, 0.0" >show/shaders/fill.frag

"$ZELKOR" play --dir show --scenes "$LIB" --renderer fixed 2>refused.txt &&
    zk_fail "--renderer fixed was taken"
grep -q "show/shaders: the show's shaders need the modern renderer" refused.txt ||
    zk_fail "no reason: $(cat refused.txt)"

"$ZELKOR" play --dir show --scenes "$LIB" --window=160x120 2>err.txt &
pid=$!
zk_wait_for 30 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" ||
    zk_fail "no window: $(cat err.txt)"
win=$(xwininfo -root -tree | awk '/"zelkor play  / { print $1; exit }')
grep -q "show/shaders: the show has shaders of its own: drawn with the modern renderer" err.txt ||
    zk_fail "the renderer was not said: $(cat err.txt)"
# mean RGB of a strip: "centre" (the picture's middle) or "top" (its first rows)
mean() {
    local crop=8x8+0+0 gravity=center
    [ "$1" = top ] && crop=160x4+0+0 gravity=north
    import -window "$win" png:- | convert - -gravity $gravity -crop $crop +repage \
        -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' info:
}
is() { # STRIP CONDITION (awk, on r g b)
    mean "$1" | awk "{ exit !($2) }"
}
zk_wait_for 5 is centre '$2 > 0.9 && $1 < 0.1' || zk_fail "not green: $(mean centre)"

# An error on line 2: said with its file and line, shown over the picture,
# and the green program draws on beneath.
printf 'void main() {\n    gl_FragColor = vec4(0.0, 0.0, 1.0, 1.0) * nothing;\n}\n' >show/shaders/fill.frag
zk_wait_for 5 grep -q "zelkor play: show/shaders/fill.frag:2: .*; the last good code draws on" err.txt ||
    zk_fail "the error was not told: $(cat err.txt)"
zk_wait_for 5 is top '$1 > $2 && $1 > 0.25' || zk_fail "no problem over the picture: $(mean top)"
is centre '$2 > 0.9 && $3 < 0.1' || zk_fail "the last good program stopped: $(mean centre)"

# Mended: blue at once, the problem gone from the picture.
colour "0.0, 0.0, 1.0" >show/shaders/fill.frag
zk_wait_for 5 grep -q "zelkor play: reloaded show/shaders/fill.frag (" err.txt ||
    zk_fail "no reload: $(cat err.txt)"
zk_wait_for 5 is centre '$3 > 0.9 && $2 < 0.1' || zk_fail "not blue: $(mean centre)"
zk_wait_for 5 is top '$3 > 0.9 && $1 < 0.1' || zk_fail "the problem stayed: $(mean top)"
kill -0 $pid || zk_fail "play ended"
kill $pid; wait $pid 2>/dev/null; pid=
grep "reloaded show/shaders" err.txt
! grep -q "GL error" err.txt || zk_fail "$(grep "GL error" err.txt)"

# Capture takes the modern renderer unasked too.
"$ZELKOR" capture --dir show --scenes "$LIB" --at 1000 --size 64x48 --quiet -o frames 2>cap.txt ||
    zk_fail "capture: $(cat cap.txt)"
convert frames/frame_001000.png -format '%[fx:mean.b] %[fx:mean.g]' info: |
    awk '{ exit !($1 > 0.9 && $2 < 0.1) }' || zk_fail "the capture is not blue"
