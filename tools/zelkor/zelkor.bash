# bash completion for zelkor: its commands, each command's options (read
# from the synopsis of its own --help), show folders (those holding
# data.vkz) after --dir, folders after dev, and file names. Plain bash: no
# bash-completion needed.
_zelkor() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="md5 codec vkz tmg trk rgs tex capture play dev new help"
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    case "$prev" in
    --dir)
        local d
        for d in $(compgen -d -- "$cur"); do
            [ -e "$d/data.vkz" ] && COMPREPLY+=("$d")
            COMPREPLY+=("$d/")
        done
        compopt -o nospace 2>/dev/null
        return
        ;;
    --codec) COMPREPLY=($(compgen -W "aplib ucl bzip2 stored" -- "$cur")); return ;;
    --renderer) COMPREPLY=($(compgen -W "fixed modern" -- "$cur")); return ;;
    esac
    if [[ "$cur" == -* ]]; then
        local options
        options=$("${COMP_WORDS[0]}" "${COMP_WORDS[1]}" --help 2>/dev/null | sed '/^$/q' | grep -o -- '--[a-z][a-z-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi
    local sub=""
    case "${COMP_WORDS[1]}" in
    vkz) sub="create list extract verify" ;;
    codec) sub="compress decompress" ;;
    tmg | trk) sub="compile dump" ;;
    rgs) sub="asm disasm run view ops" ;;
    tex) sub="decode" ;;
    dev)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    help) [ "$COMP_CWORD" -eq 2 ] && COMPREPLY=($(compgen -W "$commands" -- "$cur")); return ;;
    esac
    if [ -n "$sub" ] && [ "$COMP_CWORD" -eq 2 ]; then
        COMPREPLY=($(compgen -W "$sub" -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$cur"))
}
complete -F _zelkor zelkor
