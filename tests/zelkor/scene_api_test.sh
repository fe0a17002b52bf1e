#!/usr/bin/env bash
# The scene API (zelkor/zelkor.h) in every host: each exports every function
# the header marks ZELKOR_API and nothing of its own beside them; a scene
# library that calls them all (all_api_scene.cpp) binds in each, every
# symbol at once, and plays in zelkor capture.
# Arguments: the build folder, the source folder, then other hosts to check
# (a show's own program) and the library to use (default: this build's).
set -u
B=$(cd "$1" && pwd) S=$2
shift 2
source "$S/tests/lib.sh"
lib=${ZK_API_SCENE:-$B/tests/zelkor/libzk_all_api_scene.so}
hosts=("$B/src/shell/marovy" "$B/tools/zelkor/zelkor-play" "$B/tools/zelkor/zelkor-capture" "$@")
zk_e2e_begin "$B"

python3 "$S/tests/zelkor/api_names.py" "$S/src" >api.txt || zk_fail "reading zelkor.h"
[ "$(wc -l <api.txt)" -ge 40 ] || zk_fail "too few API functions in zelkor.h: $(wc -l <api.txt)"
# Names without their parameters (overloads are one name).
names() { sed -E 's/^[0-9a-f]* *[A-Za-z] //; s/\[abi:[a-z0-9]*\]//; s/\(.*//' | sort -u; }
# The C runtime's own and the standard library's template copies may be
# exported beside the API; nothing else may.
runtime='^(_IO_stdin_used|__bss_start|__data_start|data_start|_edata|_end|_start|_init|_fini)$|@|^(std|__gnu_cxx)::|^(typeinfo|typeinfo name|vtable) for std::'

for host in "${hosts[@]}"; do
    nm -DC --defined-only "$host" | names >exported.txt
    missing=$(comm -23 api.txt exported.txt)
    [ -z "$missing" ] || zk_fail "$host does not export: $missing"
    extra=$(comm -13 api.txt exported.txt | grep -Ev "$runtime")
    [ -z "$extra" ] || zk_fail "$host exports more than the scene API: $extra"
    # Bound at load: any function the host lacks ends it here.
    LD_BIND_NOW=1 LD_PRELOAD=$lib "$host" --version >/dev/null 2>err.txt ||
        zk_fail "$host does not load the library: $(cat err.txt)"
done

# The library calls every one of them.
nm -DC --undefined-only "$lib" | names >called.txt
uncalled=$(comm -23 api.txt called.txt)
[ -z "$uncalled" ] || zk_fail "all_api_scene.cpp does not call: $uncalled"

# And plays: each function runs in a capture.
mkdir show
printf '0 10000 everything\n' >tt.txt
"$ZELKOR" tmg compile tt.txt -o default.tmg --scene-names everything &&
    "$ZELKOR" vkz create show/data.vkz default.tmg >/dev/null || zk_fail "the show"
"$ZELKOR" capture --dir show --scenes "$lib" --at 500,1500 --size 64x48 --quiet -o frames \
    >capture.log 2>&1 || zk_fail "capture: $(cat capture.log)"
[ -s frames/frame_001500.png ] || zk_fail "no frame: $(cat capture.log)"
echo "scene_api: $(wc -l <api.txt) functions in ${#hosts[@]} hosts"
