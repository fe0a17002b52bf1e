#!/usr/bin/env bash
# Every tool and command explains itself the same way: -h/--help on stdout
# with status 0, --version naming the tool, 0.99 and the git revision, an
# unknown option on stderr with status 2 naming it, and a typo answered with
# the nearest word.
set -u
B=$1
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

Z="$B/tools/zelkor/zelkor"
# PROGRAM AND ARGUMENTS | NAME --version gives | A TYPO | WHAT IT SUGGESTS
rows=(
    "$Z|zelkor|vzk|vkz"
    "$Z md5|zelkor md5|--chek|--check"
    "$Z codec|zelkor codec|decompres|decompress"
    "$Z vkz|zelkor vkz|verfy|verify"
    "$Z tmg|zelkor tmg|complie|compile"
    "$Z rgs|zelkor rgs|disasn|disasm"
    "$Z rgs run|zelkor rgs|--layr|--layer"
    "$Z tex|zelkor tex|decod|decode"
    "$Z capture|zelkor capture|--sise|--size"
    "$Z play|zelkor play||"
    "$Z rgs view|zelkor rgs view||"
    "$B/tools/zelkor/zelkor-capture|zelkor capture|--form|--from"
    "$B/tools/synth/zksynth|zksynth|--mesure|--measure"
    "$B/tools/texmake/texmake|texmake|--layer|--layers"
    "$B/src/shell/marovy|marovy|--windw|--window"
)
version_re='^NAME: ZELKOR Version 0\.99 \(git (unknown|[0-9a-f]{12}(-dirty)?)\)$'
for row in "${rows[@]}"; do
    IFS='|' read -r cmd name typo suggestion <<<"$row"
    read -ra run <<<"$cmd"
    "${run[@]}" --help >"$T/help" 2>"$T/err"
    [ $? = 0 ] && [ ! -s "$T/err" ] && grep -q '^usage: ' <(head -n1 "$T/help") ||
        fail "$cmd --help"
    "${run[@]}" -h >"$T/h" 2>&1
    cmp -s "$T/help" "$T/h" || fail "$cmd -h differs from --help"
    "${run[@]}" --version >"$T/v" 2>&1
    [ $? = 0 ] && grep -Eq "${version_re/NAME/$name}" "$T/v" || fail "$cmd --version: $(cat "$T/v")"
    # play and rgs view are programs of their own; they may not be built here.
    [ -z "$typo" ] && continue
    "${run[@]}" --frobnicate >"$T/out" 2>"$T/err"
    [ $? = 2 ] && [ ! -s "$T/out" ] && grep -q "'--frobnicate'" "$T/err" ||
        fail "$cmd --frobnicate: $(cat "$T/err")"
    "${run[@]}" "$typo" x >"$T/out" 2>"$T/err"
    [ $? = 2 ] && grep -q "'$typo' (did you mean '$suggestion'?)" "$T/err" ||
        fail "$cmd $typo: $(cat "$T/err")"
done

# The top level lists every command's every form, capture's and play's
# options included, from the texts the commands print themselves.
"$Z" --help >"$T/top"
for c in md5 codec vkz tmg rgs "rgs view" tex capture play; do
    read -ra run <<<"$Z $c"
    "${run[@]}" --help | sed -n '/^usage: /,/^$/p' | sed -E 's/^(usage:|      ) //; /^$/d' |
        while read -r form; do
            grep -qxF "  $form" "$T/top" || echo "zelkor --help lacks: $form"
        done >"$T/missing"
    [ -s "$T/missing" ] && fail "$(cat "$T/missing")"
done

# Errors that say what is wrong.
printf 'size 8 8\n' >"$T/r.txt"
"$B/tools/texmake/texmake" "$T/r.txt" -o "$T/x.png" 2>"$T/err"
[ $? = 2 ] && grep -q "must end in .tga, not '$T/x.png'" "$T/err" && [ ! -e "$T/x.png" ] ||
    fail "texmake -o x.png: $(cat "$T/err")"
"$Z" tex decode "$T/nothere.tga" 2>"$T/err"
[ $? = 1 ] && grep -q "nothere.tga: No such file or directory" "$T/err" || fail "tex decode"

# One way to write options, in every program: --opt=value as well as --opt
# value, a switch as --opt=yes or --opt=no, WXH as well as WxH, and times as
# M:SS[.mmm] as well as ms. The show-running ones fail after their options,
# on the missing folder (status 1 or marovy's 255, never the 2 of a usage error).
# expect STATUS WHAT PROGRAM ARGS...
expect() {
    local want=$1 what=$2
    shift 2
    "$@" >"$T/out" 2>"$T/err"
    local got=$?
    [ "$got" = "$want" ] || fail "$what: status $got, not $want: $(head -n2 "$T/err")"
}
printf 'abcabcabc' >"$T/in"
expect 0 "codec --codec=" "$Z" codec compress --codec=stored "$T/in" "$T/packed"
expect 0 "codec --size=" "$Z" codec decompress --codec stored --size=9 "$T/packed" "$T/back"
printf '0 100 scene1\n100 10 ende\n' >"$T/t.txt"
expect 0 "tmg --strict=yes" "$Z" tmg compile --strict=yes "$T/t.txt" -o "$T/t.tmg"
printf 'Fill 0 #102030\n' >"$T/s.txt"
expect 0 "rgs run --png=" "$Z" rgs run "$T/s.txt" --png="$T/s.png" --layer=0
expect 0 "vkz create --codec=" "$Z" vkz create --codec=ucl "$T/a.vkz" "$T/t.tmg"
expect 0 "vkz list --long=no" "$Z" vkz list --long=no "$T/a.vkz"
expect 1 "rgs view --scale=" "$Z" rgs view --scale=2 --layer 1 "$T/nothere.txt"
expect 255 "marovy --dir= --window WXH" "$B/src/shell/marovy" --dir="$T/none" --window 320X240
expect 1 "capture --size=WXH --from=M:SS" "$Z" capture --dir="$T/none" --size=64X48 \
    --from=0:01 --to 0:01.5 --fps=10 -o "$T/frames"
expect 1 "capture --at M:SS.mmm,ms" "$Z" capture --dir "$T/none" --at 2:39.4,160000 -o "$T/frames"
expect 1 "play --at=M:SS.mmm --window=WXH --loop=no" "$Z" play --dir="$T/none" \
    --at=1:05.250 --window=320X240 --loop=no
for bad in "--at 0:60" "--at 1:5" "--at 1:05." "--at=" "--quiet=maybe" "--size 64*48" \
    "--size 4294967936x480"; do
    # shellcheck disable=SC2086 # the words are separate arguments
    expect 2 "capture $bad" "$Z" capture --dir "$T/none" $bad -o "$T/frames"
done
# A new project's folder must be one of its own, its name one CMake leaves free.
expect 2 "new ''" "$Z" new ""
expect 2 "new --name install" "$Z" new "$T/p" --name install
[ ! -e "$T/p" ] || fail "new --name install wrote $T/p"

# Results that cannot be written fail, as in coreutils: each command that
# prints results, into a full device.
printf 'Fill 0 #ff0000\n' >"$T/f.txt"
"$Z" rgs asm "$T/f.txt" -o "$T/f.rgs" && "$Z" md5 "$T/f.txt" >"$T/list" &&
    "$Z" vkz create "$T/f.vkz" "$T/f.rgs" && printf '0 1 ende\n' >"$T/t.txt" &&
    "$Z" tmg compile "$T/t.txt" -o "$T/t.tmg" || fail "making the inputs"
for args in "md5 -c $T/list" "md5 $T/f.txt" "vkz list $T/f.vkz" "vkz verify $T/f.vkz" \
    "vkz extract $T/f.vkz f.rgs -o -" "tmg dump $T/t.tmg" "rgs disasm $T/f.rgs" "rgs run $T/f.rgs" \
    "rgs ops" "tex decode $T/f.rgs" "--help"; do
    # shellcheck disable=SC2086
    "$Z" $args >/dev/full 2>"$T/err"
    [ $? = 1 ] && grep -Eq "standard output|No space left on device" "$T/err" ||
        fail "$args >/dev/full: $(cat "$T/err")"
done

if [ $fails -ne 0 ]; then echo "$fails failures"; exit 1; fi
echo "cli checks passed"
