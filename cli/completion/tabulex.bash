# Bash completion for the tabulex command.
_tabulex() {
  local cur prev command
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  command=${COMP_WORDS[1]}
  local types="xls xlsx ods txt 5xv 68y 7xy r2y none"

  if [[ $COMP_CWORD -eq 1 ]]; then
    COMPREPLY=($(compgen -W "convert show cells --help --version" -- "$cur"))
    return
  fi
  case $prev in
    --to | --from)
      COMPREPLY=($(compgen -W "$types" -- "$cur"))
      return ;;
    --encoding)
      COMPREPLY=($(compgen -W "auto utf-8 cp1252 utf-16" -- "$cur"))
      return ;;
    --format)
      COMPREPLY=($(compgen -W "grid tsv json" -- "$cur"))
      return ;;
    --out-dir)
      COMPREPLY=($(compgen -d -- "$cur"))
      return ;;
    --name | --sheet | --width)
      return ;;
  esac
  if [[ $cur == -* ]]; then
    local options="--from --sheet --encoding --help"
    case $command in
      convert) options+=" --to --out-dir --name --recursive --overwrite --skip-existing --ask --trace" ;;
      show) options+=" --format --formulas --width" ;;
    esac
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return
  fi
  COMPREPLY=($(compgen -f -X '!*.@(txt|TXT|xls|xlsx|ods|5xv|68y|7xy|r2y)' -- "$cur") $(compgen -d -- "$cur"))
}
complete -o filenames -F _tabulex tabulex
