#!/usr/bin/env bash
# marovy in a scratch folder, ended by the timetable's "ende" entry alone:
# with real music (SDL's disk driver records what was played), with the music
# missing or unreadable (a silent clock drives the show), and with no
# timetable in the archive (the dispatcher ends the run).
set -u
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$1"

expected="$ZK_STARTUP_LOG_BARE"

# run_show NAME: runs marovy until it ends by itself (90 s at most); status 0
# and the complete log, plus any extra lines given in $extra before the end.
run_show() {
    rm -f zelkor.log
    zk_run_to_end "$1" "$MAROVY" 90
    local want="$expected"
    [ -n "${extra:-}" ] && want="$want
$extra"
    want="$want
end logging at"
    [ "$(zk_log_lines)" = "$want" ] || { diff <(echo "$want") <(zk_log_lines); zk_fail "$1: log differs"; }
}

printf '# preload while the music starts, then end\n0 600 preload\n600 400 ende\n' > timetable.txt
"$ZELKOR" tmg compile timetable.txt -o default.tmg || zk_fail "tmg compile"
"$ZELKOR" vkz create data.vkz default.tmg >/dev/null || zk_fail "vkz create"

# --- real music: a 3-second tone, played through the disk driver ---
sox -n -r 44100 -c 2 -b 16 tone.wav synth 3.0 sine 440 vol 0.4 2>/dev/null || zk_fail "sox"
lame --quiet tone.wav sound.mp3 || zk_fail "lame"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$ZK_WORK/device.raw" run_show "with music"
[ -s device.raw ] || zk_fail "nothing reached the audio device"
# The show ended at about 1 s of music: some, but not all, of the track was played.
nonzero=$(od -An -v -t d2 -w2 device.raw | awk '$1 != 0 { n++ } END { print n + 0 }')
[ "$nonzero" -gt 40000 ] || zk_fail "too little of the track was played ($nonzero samples)"
[ "$nonzero" -lt 264600 ] || zk_fail "the whole track was played ($nonzero samples)"

# --- music missing, then unreadable: the silent clock runs the programme ---
rm -f sound.mp3 device.raw
SDL_AUDIODRIVER=dummy run_show "without music"
head -c 50000 /dev/urandom > sound.mp3
SDL_AUDIODRIVER=dummy run_show "with unreadable music"
rm -f sound.mp3

# --- no timetable in the archive: the first dispatch ends the run ---
mv default.tmg other.tmg
rm -f data.vkz
"$ZELKOR" vkz create data.vkz other.tmg >/dev/null || zk_fail "vkz create"
extra="SceneDispatcher encountered error" SDL_AUDIODRIVER=dummy run_show "without a timetable"
echo "music_run: ok"
