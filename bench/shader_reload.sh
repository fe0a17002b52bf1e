#!/usr/bin/env bash
# Time from a shader's save to the first frame drawn with it in `zelkor play`
# (its own "drawn N ms after it was written"), over ten saves of a one-scene
# show whose scene fills the picture through the shader (the test scene
# library tests/e2e/libshader_scenes.so).
# Usage: bench/shader_reload.sh [BUILD]   (default: build)
set -u
B=$(cd "${1:-build}" && pwd)
source "$(dirname "$0")/../tests/lib.sh"
zk_e2e_begin "$B"
export SDL_AUDIODRIVER=dummy
mkdir -p show/shaders
echo "0 600000 fill" >tt.txt
"$ZELKOR" tmg compile tt.txt -o default.tmg --scene-names fill >/dev/null &&
    "$ZELKOR" vkz create show/data.vkz default.tmg >/dev/null || zk_fail "archive"
save() { printf 'void main() {\n    gl_FragColor = vec4(%s, 0.5, 1.0, 1.0);\n}\n' "$1" \
    >show/shaders/fill.frag; }
save 0.0
"$ZELKOR" play --dir show --scenes "$B/tests/e2e/libshader_scenes.so" --window=800x600 2>err.txt &
pid=$!
zk_wait_for 30 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" || zk_fail "no window"
sleep 1
for i in 1 2 3 4 5 6 7 8 9 10; do
    save "0.$i"
    zk_wait_for 5 sh -c "[ \$(grep -c 'drawn .* after it was written' err.txt) -ge $i ]" ||
        zk_fail "no reload: $(cat err.txt)"
    sleep 0.3
done
times=$(grep -o 'drawn [0-9]* ms after' err.txt | awk '{ print $2 }')
echo "each save, ms: $(echo $times)"
echo "$times" | sort -n | awk '{ v[NR] = $1 } END {
    printf "shader save to first frame: median %d ms, worst %d ms (%d saves)\n", v[int((NR + 1) / 2)], v[NR], NR }'
