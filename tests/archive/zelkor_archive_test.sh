#!/usr/bin/env bash
# The archive commands of zelkor: md5, codec and vkz, driven as users do.
set -u
BUILD=$1
Z=$BUILD/tools/zelkor/zelkor
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
cd "$T"
fails=0
check() { # check DESCRIPTION EXPECTED-STATUS COMMAND...
    local what=$1 want=$2
    shift 2
    "$@" >out.txt 2>err.txt
    local got=$?
    if [ "$got" != "$want" ]; then
        echo "FAIL: $what: exit $got, expected $want"; cat err.txt; fails=$((fails + 1))
    elif [ "$want" = 1 ] && ! grep -q . err.txt; then
        echo "FAIL: $what: no message on stderr"; fails=$((fails + 1))
    fi
}
expect() { # expect DESCRIPTION CONDITION...
    local what=$1
    shift
    if ! "$@"; then echo "FAIL: $what"; fails=$((fails + 1)); fi
}

seq 1 3000 >nums.txt
head -c 20000 "$Z" >bin.dat
printf 'x' >one.bin
: >empty.bin
printf 'a\nb\n' >'with space.txt'
printf 'q' >'back\slash.txt'
cr=$(printf 'carriage\rreturn.txt')
printf 'r' >"$cr"

# md5: the very lines md5sum prints, including its escaping of backslashes.
check "md5" 0 "$Z" md5 nums.txt bin.dat empty.bin 'with space.txt' 'back\slash.txt' "$cr"
md5sum nums.txt bin.dat empty.bin 'with space.txt' 'back\slash.txt' "$cr" >want.txt
expect "md5 output equals md5sum" cmp -s out.txt want.txt
check "md5 of a missing file" 1 "$Z" md5 nums.txt missing.txt
expect "md5 names the missing file" grep -q missing.txt err.txt
expect "md5 still prints the others" grep -q nums.txt out.txt
check "md5 without files" 2 "$Z" md5

# md5 -c: the very lines and exit status of md5sum -c on the same list.
"$Z" md5 nums.txt 'back\slash.txt' 'with space.txt' "$cr" >list.txt
printf '0123456789abcdef0123456789abcdef  bin.dat\n' >>list.txt
printf 'd41d8cd98f00b204e9800998ecf8427e *missing.txt\nnot a digest line\n' >>list.txt
"$Z" md5 -c list.txt >got.txt 2>goterr.txt
got=$?
md5sum -c list.txt >want.txt 2>wanterr.txt
want=$?
expect "md5 -c status $got equals md5sum's $want" [ $got = $want ]
expect "md5 -c lines equal md5sum -c's" cmp -s got.txt want.txt
expect "md5 -c warnings equal md5sum -c's" cmp -s <(sed 's/^zelkor md5: //' goterr.txt) \
    <(sed 's/^md5sum: //; s/'"'"'//g' wanterr.txt)

# codec: round trips, refusals and damage.
for c in aplib ucl bzip2 stored; do
    for f in nums.txt bin.dat; do
        check "compress $c $f" 0 "$Z" codec compress --codec $c $f packed
        size=$(stat -c %s $f)
        check "decompress $c $f" 0 "$Z" codec decompress --codec $c --size $size packed back
        expect "round trip $c $f" cmp -s $f back
        check "decompress $c with a wrong size" 1 "$Z" codec decompress --codec $c --size $((size + 1)) packed back2
        # Too small a size is a size mismatch, not damage.
        check "decompress $c with too small a size" 1 "$Z" codec decompress --codec $c --size $((size - 1)) packed back2
        expect "the $c message says the size" grep -q "unpacks to $size bytes, not the $((size - 1))" err.txt
    done
done
"$Z" codec compress --codec bzip2 nums.txt nums.bz
printf '\x00\x00\x00\x00' | dd of=nums.bz bs=1 seek=100 conv=notrunc 2>/dev/null
check "damaged bzip2 stream" 1 "$Z" codec decompress --codec bzip2 --size 13893 nums.bz back
"$Z" codec compress --codec aplib nums.txt nums.ap
head -c 500 nums.ap >cut.ap
check "truncated aplib stream" 1 "$Z" codec decompress --codec aplib --size 13893 cut.ap back
check "aplib refuses one byte" 1 "$Z" codec compress --codec aplib one.bin x
check "unknown codec" 2 "$Z" codec compress --codec lzma nums.txt x
check "decompress without size" 2 "$Z" codec decompress --codec ucl nums.ap x
check "codec without operation" 2 "$Z" codec
check "missing input" 1 "$Z" codec compress --codec ucl nothing.txt x

# vkz: create, list, extract, verify.
check "create" 0 "$Z" vkz create data.vkz nums.txt bin.dat one.bin empty.bin
check "list" 0 "$Z" vkz list data.vkz NUMS.TXT
expect "list begins with a header" grep -q '^# ' <(head -n1 out.txt)
expect "list has one line per entry" [ "$(grep -vc '^#' out.txt)" = 4 ]
expect "list names the given entry" grep -q ' aplib NUMS.TXT$' out.txt
expect "1-byte entry is stored" grep -q ' 1 1 stored -$' out.txt
check "list of an absent name" 1 "$Z" vkz list data.vkz nothing.txt
check "extract" 0 "$Z" vkz extract data.vkz nums.txt -o got.txt
expect "extract gives the file back" cmp -s got.txt nums.txt
check "extract empty" 0 "$Z" vkz extract data.vkz EMPTY.BIN -o got.bin
expect "empty entry is empty" [ -f got.bin ] && [ ! -s got.bin ]
check "verify" 0 "$Z" vkz verify data.vkz
check "create with ucl" 0 "$Z" vkz create u.vkz --codec ucl nums.txt one.bin
check "verify ucl" 0 "$Z" vkz verify u.vkz
cp data.vkz before.vkz
mkdir -p sub && cp bin.dat sub/NUMS.txt
check "create with a duplicate name" 1 "$Z" vkz create data.vkz nums.txt sub/NUMS.txt
expect "duplicate named in the message" grep -q NUMS.txt err.txt
expect "failed create keeps the old archive" cmp -s before.vkz data.vkz
expect "no temporary file left" [ -z "$(ls -A | grep 'data\.vkz\.')" ]

cp data.vkz bad.vkz
printf '\xff' | dd of=bad.vkz bs=1 seek=200 conv=notrunc 2>/dev/null
check "verify damaged" 1 "$Z" vkz verify bad.vkz nums.txt
expect "verify names the bad entry and why" grep -q "entry 1 ('nums.txt', aplib, 13893 bytes): " err.txt
check "extract damaged" 1 "$Z" vkz extract bad.vkz nums.txt -o damaged.txt
expect "nothing extracted from a damaged entry" [ ! -e damaged.txt ]
head -c 100 data.vkz >short.vkz
check "truncated archive" 1 "$Z" vkz list short.vkz
expect "message names the archive" grep -q short.vkz err.txt
check "not an archive" 1 "$Z" vkz verify nums.txt
check "missing archive" 1 "$Z" vkz list nothing.vkz
check "vkz usage" 2 "$Z" vkz frobnicate

# NAME=FILE stores FILE under NAME; list and extract find it by that name.
mkdir -p work && cp nums.txt work/my.tmg
check "create NAME=FILE" 0 "$Z" vkz create named.vkz default.tmg=work/my.tmg one.bin
check "list NAME=FILE" 0 "$Z" vkz list named.vkz default.tmg=work/my.tmg sub/one.bin
expect "list shows the stored name" grep -q ' default.tmg$' out.txt
expect "list matches a path by its base name" grep -q ' stored one.bin$' out.txt
check "extract by the given name" 0 "$Z" vkz extract named.vkz DEFAULT.TMG -o got.tmg
expect "NAME=FILE holds FILE" cmp -s got.tmg nums.txt
printf 'eq' >'a=b.txt'
check "a file whose name holds '='" 0 "$Z" vkz create eq.vkz 'a=b.txt'
check "found under its own name" 0 "$Z" vkz extract eq.vkz 'a=b.txt' -o got.eq
check "list --long" 0 "$Z" vkz list named.vkz --long default.tmg
expect "--long gives name, codec, sizes and ratio" grep -Eq '^default.tmg +aplib +13893 +[0-9]+ +[0-9.]+%$' out.txt

# Hostile inputs. A device is read only as far as an entry can need (not to
# 2 GiB); a NUL in a listed name makes the line improper, not a check of the
# name cut there; a 256 MiB entry packed into 200 bytes streams through verify
# and extract in a few megabytes. (Peak memory from GNU time, in KB.)
peak() { /usr/bin/time -f %M -o peak.txt "$@"; }
below() { [ "$(tail -n1 peak.txt)" -lt "$1" ]; }
check "vkz create from /dev/zero" 1 peak "$Z" vkz create z.vkz /dev/zero
expect "... stops at an entry's size" grep -q "/dev/zero: file too large" err.txt
expect "... in less than 1 GB" below 1000000
check "codec from /dev/zero" 1 peak "$Z" codec compress --codec stored /dev/zero z.bin
expect "... in less than 1 GB" below 1000000
printf '%s  one.bin\0x\n' "$(md5sum <one.bin | cut -c1-32)" >nul.txt
check "md5 -c with a NUL in a name" 1 "$Z" md5 -c nul.txt
expect "... checks no file" [ ! -s out.txt ]
head -c 256M /dev/zero >zeros.bin
check "a 256 MiB bzip2 entry" 0 "$Z" vkz create zeros.vkz --codec bzip2 zeros.bin
rm zeros.bin
check "verify streams it" 0 peak "$Z" vkz verify zeros.vkz
expect "... naming its size" grep -Eq '^[0-9a-f]{32} OK \(268435456 bytes\)$' out.txt
expect "... in less than 100 MB" below 100000
check "extract streams it" 0 peak "$Z" vkz extract zeros.vkz zeros.bin
expect "... in less than 100 MB" below 100000
expect "... whole" cmp -s zeros.bin <(head -c 256M /dev/zero)
rm zeros.bin

if [ $fails -ne 0 ]; then echo "$fails failures"; exit 1; fi
echo "all archive command checks passed"
