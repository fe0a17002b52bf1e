#!/usr/bin/env bash
# zelkor new's templates as a maker takes them, on the engine installed into
# a prefix: each project built, captured and (one of them) packaged by the
# commands of its own README, run as they are written there. Each capture
# at two times is a picture, and a changing one; each show's program plays.
# The package says what the project's settings say, holds the command, the
# menu entry and the icon, and lintian finds no error in it; a picture taken
# out of textures/ is out of the show.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$1"
zk_install "$1"

# The README's commands under a heading: its indented lines, comments cut.
readme() { sed -n "/^## $2\$/,/^## /p" "$1/README.md" | sed -n 's/^    \([^ ].*\)/\1/p' | sed 's/ *#.*//'; }
# run PROJECT HEADING [PATTERN [MORE OPTIONS]]: those commands (the ones
# matching PATTERN, with options added) run in the project, stopping at one
# that fails.
run() { (cd "$1" && set -e && eval "$(readme . "$2" | grep -e "${3:-.}" | sed "s/\$/ ${4:-}/")"); }
lit() { awk -v m="$(convert "$1" -format '%[fx:mean]' info:)" 'BEGIN { exit !(m > 0.05) }'; }

list=$(zelkor new --list) || zk_fail "zelkor new --list"
[ "$(echo "$list" | cut -d' ' -f1 | tr '\n' ' ')" = "basic particles shader " ] || zk_fail "the list: $list"
for t in basic shader particles; do
    zelkor new "$t" --template "$t" >/dev/null || zk_fail "zelkor new --template $t"
    [ -f "$t/.gitignore" ] || zk_fail "$t: no .gitignore"
    # Built with any prefix: the README names the one the engine is in.
    readme "$t" Build | grep -q -- "-DCMAKE_PREFIX_PATH=$P\$" || zk_fail "$t: $(readme "$t" Build)"
    run "$t" Build >"$t.log" 2>&1 || { cat "$t.log"; zk_fail "$t: the README's build"; }
    # The README's stills (at a small size).
    run "$t" Capture --at "--size 160x120 --quiet" >>"$t.log" 2>&1 ||
        { cat "$t.log"; zk_fail "$t: the README's capture"; }
    [ -s "$t/stills/frame_001000.png" ] && ! grep -q "//frame" "$t.log" || zk_fail "$t: $(cat "$t.log")"
    a=$t/stills/frame_001000.png b=$t/stills/frame_005000.png
    lit "$a" && lit "$b" || zk_fail "$t: a black still"
    diff=$(compare -metric AE "$a" "$b" null: 2>&1)
    [ "${diff%% *}" -gt 500 ] 2>/dev/null || zk_fail "$t: the picture does not change ($diff)"
    # Its own program plays it.
    "$t/build/show/$t" --window=160x120 --no-sound >/dev/null 2>&1 &
    pid=$!
    zk_wait_for 60 grep -q "Timer set begindemo" "$t/build/show/zelkor.log" ||
        zk_fail "$t: its program did not play"
    kill $pid
    wait $pid 2>/dev/null
    pid=
done

# The whole show as a video, as the README says (smaller and slower here).
run basic Capture --to "--size 160x120 --fps 5 --quiet" >>basic.log 2>&1 && [ -s basic/basic.mp4 ] ||
    { cat basic.log; zk_fail "the README's video"; }

# A picture dropped into textures/ and taken out again leaves the show.
convert -size 8x8 xc:red particles/textures/gone.png && cmake --build particles/build >package.log 2>&1 &&
    [ -s particles/build/show/gone.png ] && rm particles/textures/gone.png &&
    cmake --build particles/build >>package.log 2>&1 && [ ! -e particles/build/show/gone.png ] ||
    { cat package.log; zk_fail "a picture taken out stays in the show"; }
# The package of the particles, made as its README says.
run particles Package >>package.log 2>&1 || { cat package.log; zk_fail "cpack"; }
deb=$(ls particles/build/particles_0.1_*.deb) || zk_fail "no package"
dpkg-deb -I "$deb" >info.txt
cat info.txt
grep -q "^ Description: sparks bursting on the beat" info.txt &&
    grep -q "^  A real-time show made on the ZELKOR engine" info.txt &&
    grep -q "^ Section: games" info.txt && grep -q "^ Maintainer: The maker of particles" info.txt ||
    zk_fail "the package does not say what the settings do"
dpkg-deb -c "$deb" >contents.txt
for f in ./usr/bin/particles ./usr/share/applications/particles.desktop \
    ./usr/share/icons/hicolor/512x512/apps/particles.png ./usr/lib/particles/shaders/trail.frag; do
    grep -q -- " $f\( ->\|\$\)" contents.txt || zk_fail "the package lacks $f"
done
lintian "$deb" >lintian.txt 2>&1
! grep "^E:" lintian.txt || zk_fail "lintian finds errors"
