# bash completion for zelkor: its commands, each command's options (read
# from its own --help), and show folders (those holding data.vkz) for --dir.
_zelkor() {
    local cur prev words cword
    _init_completion || return
    if [ "$cword" -eq 1 ]; then
        COMPREPLY=($(compgen -W "md5 codec vkz tmg trk rgs tex capture play new help --help --version" -- "$cur"))
        return
    fi
    case "$prev" in
    --dir)
        local d shows=()
        for d in $(compgen -d -- "$cur"); do
            [ -e "$d/data.vkz" ] && shows+=("$d")
            shows+=("$d/")
        done
        compopt -o nospace
        COMPREPLY=($(compgen -W "${shows[*]}" -- "$cur"))
        return
        ;;
    --codec) COMPREPLY=($(compgen -W "aplib ucl bzip2 stored" -- "$cur")); return ;;
    --renderer) COMPREPLY=($(compgen -W "fixed modern" -- "$cur")); return ;;
    --scenes) _filedir so; return ;;
    esac
    if [[ "$cur" == -* ]]; then
        local options
        options=$("${words[0]}" "${words[1]}" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi
    case "${words[1]}" in
    vkz) [ "$cword" -eq 2 ] && { COMPREPLY=($(compgen -W "create list extract verify" -- "$cur")); return; } ;;
    codec) [ "$cword" -eq 2 ] && { COMPREPLY=($(compgen -W "compress decompress" -- "$cur")); return; } ;;
    tmg | trk) [ "$cword" -eq 2 ] && { COMPREPLY=($(compgen -W "compile dump" -- "$cur")); return; } ;;
    rgs) [ "$cword" -eq 2 ] && { COMPREPLY=($(compgen -W "asm disasm run view ops" -- "$cur")); return; } ;;
    tex) [ "$cword" -eq 2 ] && { COMPREPLY=($(compgen -W "decode" -- "$cur")); return; } ;;
    help) COMPREPLY=($(compgen -W "md5 codec vkz tmg trk rgs tex capture play new" -- "$cur")); return ;;
    esac
    _filedir
} && complete -F _zelkor zelkor
