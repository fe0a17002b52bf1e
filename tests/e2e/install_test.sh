#!/usr/bin/env bash
# From outside the tree, as a maker would: the build installed into a prefix
# of its own; its manual pages render cleanly, the documents are there and
# every --help points at those, not at our tree; the installed marovy finds
# its show and logs to the user's state folder; `zelkor new` there, built
# against the installed package with plain cmake, draws (three frames, not
# black, changing); the Debian package
# holds the program, the data, the manual pages, the documents and the CMake
# package.
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
B=$1
zk_e2e_begin "$B"
zk_install "$B"
export XDG_STATE_HOME="$ZK_WORK/state"
chmod -R a-w "$P/share/marovy"

# The references: every page zelkor(1) names, rendered without a warning, and
# every document. Every --help names only those, never a file of the source tree.
M=$P/share/man
for page in zelkor.1 $(zcat "$M/man1/zelkor.1.gz" | sed -n '/^\.SH SEE ALSO/,/^\.PP/s/^\.BR \([^ ]*\) (\([0-9]\)).*/\1.\2/p' |
    sed 's/\\-/-/g'); do
    f=$M/man${page##*.}/$page.gz
    [ -s "$f" ] || zk_fail "no manual page $f"
    warnings=$(MANWIDTH=80 man --warnings -l "$f" 2>&1 >/dev/null)
    [ -z "$warnings" ] || zk_fail "man $page: $warnings"
done
for doc in "$2"/docs/*.md; do
    cmp -s "$doc" "$P/share/doc/zelkor/${doc##*/}" || zk_fail "share/doc/zelkor lacks ${doc##*/}"
done
{
    for tool in zelkor zksynth texmake marovy; do "$tool" --help; done
    "$2/scripts/zelkor-commands" "$P/bin/zelkor" | while read -r c; do
        # shellcheck disable=SC2086 # "rgs view" is two words
        zelkor $c --help
    done
} >help.txt || zk_fail "a --help failed"
grep -nE '(^|[^[:alnum:]_./-])(assets|docs|tools|src|scripts|tests)/|\.(h|cpp)\b' help.txt &&
    zk_fail "a --help names a file of the source tree"
for ref in $(grep -oE '\b[a-z][a-z0-9-]*\([1-8]\)' help.txt | sort -u); do
    name=${ref%(*} section=${ref#*(}
    [ -s "$M/man${section%)}/$name.${section%)}.gz" ] || zk_fail "a --help names $ref, which is not installed"
done

# The installed show, started from an empty folder without --dir.
mkdir empty && cd empty
marovy --window=160x120 --no-sound &
pid=$!
zk_wait_for 60 grep -q "Entering mainloop" "$XDG_STATE_HOME/zelkor/zelkor.log" ||
    zk_fail "the installed marovy did not start: $(cat "$XDG_STATE_HOME/zelkor/zelkor.log" 2>&1)"
kill $pid; wait $pid 2>/dev/null; pid=
[ -z "$(ls)" ] && [ ! -e "$P/share/marovy/zelkor.log" ] || zk_fail "marovy wrote beside the show"
# No state folder to be had: it plays without the log file, saying so once.
touch ../state-file
XDG_STATE_HOME=$ZK_WORK/state-file marovy --window=160x120 --no-sound >../out.txt 2>../err.txt &
pid=$!
zk_wait_for 60 grep -q "Entering mainloop" ../out.txt ||
    zk_fail "no play without a log folder: $(cat ../err.txt)"
kill $pid; wait $pid 2>/dev/null; pid=
[ "$(grep -c "cannot write the log .*XDG_STATE_HOME" ../err.txt)" = 1 ] || zk_fail "$(cat ../err.txt)"
cd ..

zelkor new mine >/dev/null || zk_fail "zelkor new"
cmake -S mine -B mine/build -G Ninja -DCMAKE_PREFIX_PATH="$P" >build.log 2>&1 &&
    cmake --build mine/build -j2 >>build.log 2>&1 || { cat build.log; zk_fail "the new show's build"; }
for f in mine libmine_scenes.so data.vkz sound.mp3 backdrop.tga; do
    [ -s "mine/build/show/$f" ] || zk_fail "no $f in mine/build/show"
done
# The project's program is a host like the others: the whole scene API, only it.
bash "$2/tests/zelkor/scene_api_test.sh" "$B" "$2" "$ZK_WORK/mine/build/show/mine" >api.log 2>&1 ||
    { cat api.log; zk_fail "the scene API in the project's program"; }
zelkor capture --dir mine/build/show --scenes mine/build/show/libmine_scenes.so \
    --at 1000,4000,9000 --size 160x120 --quiet -o frames >capture.log 2>&1 ||
    { cat capture.log; zk_fail "capture of the new show"; }
for t in 1000 4000 9000; do
    mean=$(convert "frames/frame_$(printf %06d $t).png" -format '%[fx:mean]' info:)
    awk -v m="$mean" 'BEGIN { exit !(m > 0.05) }' || zk_fail "frame $t is black ($mean)"
done
diff=$(compare -metric AE frames/frame_001000.png frames/frame_004000.png null: 2>&1)
[ "${diff%% *}" -gt 100 ] 2>/dev/null || zk_fail "the scene does not move ($diff)"
# The show's program says what its archive lacks.
mkdir notimetable && zelkor vkz create notimetable/data.vkz mine/README.md >/dev/null
mine/build/show/mine --dir notimetable --window=160x120 --no-sound 2>err.txt
[ $? = 1 ] && grep -q "notimetable/data.vkz holds no readable timetable" err.txt ||
    zk_fail "no timetable: $(cat err.txt)"
# Two scene libraries: refused, both named.
cp mine/build/show/libmine_scenes.so mine/build/show/libother_scenes.so
zelkor capture --dir mine/build/show --at 1000 -o frames 2>err.txt
[ $? = 1 ] && grep -q "libmine_scenes.so, libother_scenes.so" err.txt || zk_fail "two: $(cat err.txt)"
rm mine/build/show/libother_scenes.so

# Reload: the scene's colour changed and rebuilt while it plays; the new code
# draws within a second, the clock going on; a library without the entry
# point keeps the old code, saying why.
mkdir tmp
TMPDIR=$ZK_WORK/tmp zelkor play --dir mine/build/show --window=160x120 --at 3000 2>play.log &
pid=$!
title_ms() { xwininfo -root -tree | grep -o '"zelkor play  [^"]*"' | head -1 |
    awk '{ split($3, t, "[:.]"); print (t[1] * 60 + t[2]) * 1000 + t[3] }'; }
# Blue over red at the picture's centre, where the star's rays meet.
blue() { import -window "$win" png:- | convert - -gravity center -crop 16x16+0+0 +repage \
    -format '%[fx:mean.b / (mean.r + 0.001)]' info:; }
zk_wait_for 30 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" || zk_fail "no play window"
win=$(xwininfo -root -tree | awk '/"zelkor play  / { print $1; exit }')
sleep 0.5
b0=$(blue)
# The engine owns the show's own scenes' state: play seeks them exactly.
xwininfo -root -tree | grep -q '"zelkor play  .*\[fast seek\]' && zk_fail "own scenes seek fast"
sed -i 's/{1.0f, 0.55f, 0.2f}/{0.1f, 0.4f, 1.0f}/' mine/scenes/glow.cpp
t0=$(title_ms)
cmake --build mine/build >>build.log 2>&1 || { cat build.log; zk_fail "the rebuild"; }
zk_wait_for 1 grep -q "reloaded mine/build/show/libmine_scenes.so" play.log ||
    zk_fail "no reload within a second: $(cat play.log)"
sleep 0.3
b1=$(blue) t1=$(title_ms)
awk -v a="$b0" -v b="$b1" 'BEGIN { exit !(b > a * 1.8) }' || zk_fail "the colour did not change ($b0 -> $b1)"
[ "$t1" -ge "$t0" ] || zk_fail "the clock went back: $t0 -> $t1"
printf 'extern "C" const char zelkor_scene_abi[] = "ZELKOR %s scenes 2";\n' \
    "$(zelkor --version | sed -n 's/.*Version \([^ ]*\).*/\1/p')" >bad.cpp
cp mine/build/show/libmine_scenes.so good.so
g++ -shared -fPIC bad.cpp -o bad.so && mv bad.so mine/build/show/libmine_scenes.so
zk_wait_for 2 grep -q "no entry point zelkor_scenes" play.log || zk_fail "the bad library: $(cat play.log)"
printf '%s\n' '#include <cstdlib>' "static int ran = system(\"touch $ZK_WORK/ran\");" \
    'extern "C" const char zelkor_scene_abi[] = "ZELKOR 0.1 scenes 1";' >old.cpp
g++ -shared -fPIC old.cpp -o old.so && mv old.so mine/build/show/libmine_scenes.so
zk_wait_for 2 grep -q "built against ZELKOR 0.1 scenes 1" play.log || zk_fail "the old library: $(cat play.log)"
# Nothing of a library runs before its version is known to be this engine's.
[ ! -e ran ] || zk_fail "the old library's constructor ran"
# Half-written (as a slow linker or a copy does), then complete; another CPU's.
lib=mine/build/show/libmine_scenes.so
half=$(( $(stat -c %s good.so) / 2 ))
head -c $half good.so >$lib
zk_wait_for 2 grep -q "cut short" play.log || zk_fail "the half library: $(cat play.log)"
tail -c +$(( half + 1 )) good.so >>$lib
reloaded_twice() { [ "$(grep -c "reloaded $lib" play.log)" = 2 ]; }
zk_wait_for 2 reloaded_twice || zk_fail "the completed library: $(cat play.log)"
cp good.so other-cpu.so && printf '\267' | dd of=other-cpu.so bs=1 seek=18 conv=notrunc 2>/dev/null
mv other-cpu.so $lib
zk_wait_for 2 grep -q "wrong ELF machine: built for AArch64" play.log || zk_fail "AArch64: $(cat play.log)"
sleep 0.3
b2=$(blue)
awk -v a="$b0" -v b="$b2" 'BEGIN { exit !(b > a * 1.8) }' || zk_fail "the old code stopped ($b0 -> $b2)"
kill -0 $pid || zk_fail "play ended"
kill $pid; wait $pid 2>/dev/null; pid=
[ -z "$(ls tmp)" ] || zk_fail "play left copies: $(ls tmp)"
grep "reloaded" play.log
echo "blue/red at the centre: $b0, reloaded $b1, after the bad libraries $b2"

(cd "$B" && cpack -G DEB -B "$ZK_WORK/package" >"$ZK_WORK/cpack.log" 2>&1) ||
    { cat cpack.log; zk_fail "cpack"; }
deb=$(ls package/*.deb)
dpkg-deb --contents "$deb" >contents.txt
for f in /usr/bin/marovy /usr/bin/zelkor /usr/share/marovy/data.vkz /usr/share/marovy/sound.mp3 \
    /man1/zelkor.1.gz /man6/marovy.6.gz /man5/zelkor-score.5.gz /doc/zelkor/tracks.md \
    /doc/zelkor/scene-api.md /cmake/Zelkor/ZelkorConfig.cmake /cmake/Zelkor/ZelkorTargets.cmake \
    /libexec/zelkor/zelkor-play /lib/zelkor/libzk_engine.a /include/zelkor/engine/engine.h \
    /include/zelkor/zelkor/zelkor.h; do
    grep -q -- "$f\$" contents.txt || zk_fail "the package lacks $f"
done
dpkg-deb -f "$deb" Depends | grep -q libsdl2 || zk_fail "no dependencies: $(dpkg-deb -f "$deb" Depends)"
echo "ok: $(stat -c %s "$deb") bytes; Depends: $(dpkg-deb -f "$deb" Depends)"
