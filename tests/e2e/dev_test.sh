#!/usr/bin/env bash
# The maker's loop as a maker lives it, on the engine installed into a
# prefix: `zelkor new`, then `zelkor dev --no-sound`, which builds the
# project and plays it. The scene's colour edited shows on the picture with
# no build run by hand; the code broken, the compiler's error shows over the
# picture and on stderr while the last good build plays on; mended, the new
# picture shows and the error goes. A PNG dropped into textures/ and named
# by the scene is drawn; a key set in the track editor and saved with Ctrl+S
# is in the project's tracks.txt.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$1"
zk_install "$1"

# Step 1: a new project, and dev on it, which configures and builds it first;
# the scene loops, so a slow machine never plays past the end, which holds.
zelkor new mine >/dev/null || zk_fail "zelkor new"
zelkor dev mine --no-sound --window=480x360 --at 3000 --loop 2>dev.log &
pid=$!
zk_wait_for 600 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" ||
    zk_fail "no window: $(cat dev.log)"
win=$(xwininfo -root -tree | awk '/"zelkor play  / { print $1; exit }')
# The picture's centre, where the star's rays meet: one channel over red.
over_red() { import -window "$win" png:- | convert - -gravity center -crop 16x16+0+0 +repage \
    -format "%[fx:mean.$1 / (mean.r + 0.001)]" info:; }
# The share of white pixels (the overlay's text) in the picture's first rows.
text_on_top() { import -window "$win" png:- | convert - -crop 480x10+0+0 +repage \
    -fx 'r > 0.8 && g > 0.8 && b > 0.8' -format '%[fx:mean]' info:; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
has_text() { above "$(text_on_top)" 0.01; }
# drawn N: dev has told N first frames after a save.
drawn() { [ "$(grep -c '^zelkor dev: drawn [0-9]* ms after mine/scenes/glow.cpp was saved' dev.log)" -ge "$1" ]; }
lit() { above "$(import -window "$win" png:- | convert - -format '%[fx:mean]' info:)" 0.05; }
zk_wait_for 60 lit || zk_fail "the picture stays black: $(cat dev.log)"
b0=$(over_red b) g0=$(over_red g)
has_text && zk_fail "text over a picture that built: $(cat dev.log)"

# Step 2: the star's colour edited, blue now.
sed -i 's/{1.0f, 0.55f, 0.2f}/{0.0f, 0.0f, 1.0f}/' mine/scenes/glow.cpp
zk_wait_for 300 drawn 1 || zk_fail "the edit was not drawn: $(cat dev.log)"
b1=$(over_red b)
above "$b1" "$(awk -v b="$b0" 'BEGIN { print b * 1.8 }')" || zk_fail "not blue: $b0 -> $b1"

# Step 3: the code broken. Its error goes to stderr and over the picture;
# the blue star, the last good build, draws on.
sed -i 's/kColour\[0\], kColour\[1\], kColour\[2\], 0.9f/kColour[0] kColour[1], kColour[2], 0.9f/' \
    mine/scenes/glow.cpp
zk_wait_for 300 grep -q "^zelkor dev: the build failed" dev.log || zk_fail "no failure told: $(cat dev.log)"
grep -q "^  mine/scenes/glow.cpp:[0-9]*:[0-9]*: error: " dev.log || zk_fail "no error line: $(cat dev.log)"
zk_wait_for 5 has_text || zk_fail "no error over the picture"
above "$(over_red b)" "$(awk -v b="$b0" 'BEGIN { print b * 1.8 }')" || zk_fail "the last good build stopped"
kill -0 $pid || zk_fail "dev ended: $(cat dev.log)"

# Step 4: mended, and green: the new picture, the error gone.
sed -i 's/kColour\[0\] kColour\[1\]/kColour[0], kColour[1]/; s/{0.0f, 0.0f, 1.0f}/{0.0f, 1.0f, 0.0f}/' \
    mine/scenes/glow.cpp
zk_wait_for 300 drawn 2 || zk_fail "the mended code was not drawn: $(cat dev.log)"
b2=$(over_red b) g2=$(over_red g)
above "$(awk -v b="$b1" 'BEGIN { print b / 1.8 }')" "$b2" && above "$g2" "$g0" ||
    zk_fail "not green: blue $b0 -> $b1 -> $b2, green $g0 -> $g2"
has_text && zk_fail "the error stayed over the picture"

# Step 5: a PNG dropped into textures/ (a green one) is in the show after
# the build that follows, with no CMake edit; named by the scene, the
# backdrop around the star turns green. (Named only once it is in the show,
# so that the scene's build is told apart from the picture's.)
corner_green() { import -window "$win" png:- | convert - -crop 60x60+0+60 +repage \
    -format '%[fx:mean.g / (mean.r + mean.b + 0.001)]' info:; }
c0=$(corner_green)
convert -size 64x64 xc:'#20ff20' green.png && mv green.png mine/textures/green.png
zk_wait_for 300 test -s mine/build/show/green.png || zk_fail "the PNG is not in the show: $(cat dev.log)"
sed -i 's/SceneTexture("backdrop.tga")/SceneTexture("green.png")/' mine/scenes/glow.cpp
zk_wait_for 300 drawn 3 || zk_fail "the scene with the PNG was not drawn: $(cat dev.log)"
green_corner() { above "$(corner_green)" 2; }
zk_wait_for 10 green_corner || zk_fail "the PNG is not drawn: $c0 -> $(corner_green); $(cat dev.log)"

# Step 6, the last as global.fade (the first column) blacks the picture out:
# a key set in the track editor (Tab, a number, Enter) and saved with Ctrl+S
# lands in the project's own tracks.txt, not the built show's.
zk_press "$win" Tab
for k in 7 Return ctrl+s; do zk_press "$win" $k; done
zk_wait_for 5 grep -q "^zelkor play: saved .*mine/tracks.txt" dev.log || zk_fail "no save: $(cat dev.log)"
grep -A1 '^track global.fade$' mine/tracks.txt | grep -Eq '^[0-9]+ +7$' &&
    [ ! -e mine/build/show/tracks.txt ] || zk_fail "the key is not in mine/tracks.txt: $(cat mine/tracks.txt)"
zk_press "$win" Tab
kill $pid
wait $pid
pid=
grep "^zelkor dev: \(drawn\|built\|the build\)" dev.log
