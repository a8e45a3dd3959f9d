#!/usr/bin/env bash
# Makes a throwaway 64-bit Wine prefix for running Bitset.exe.
#
#   scripts/wine-prefix.sh DEST [--cdrom [X:]DEVICE]... [--version win98|win95|nt40|win2k|winxp]
#
# The first call builds a template under build/wine/template (about 10 s);
# every call copies it to DEST (replacing DEST) in a fraction of a second.
# The template has a C: folder and no Z: drive (so the Unix root is never
# offered as a drive), Wine's virtual desktop (800x600: framed windows that
# close at once, good for screenshots), Wine's own fonts in C:\windows\Fonts
# and drives D: to F: registered as CD-ROM drives.
#
#   --cdrom [X:]DEVICE  makes X: (D: when not given) the drive behind DEVICE:
#                    dosdevices/x: is a folder and dosdevices/x:: links to
#                    DEVICE, which Wine then opens for \\.\X: and sends SG_IO
#                    requests to. A regular file is enough for the simulated
#                    drive.
#   --version V      the Windows version Wine reports to Bitset.exe.
#
# Run programs in the prefix with the variables of scripts/wine-env.sh.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
# shellcheck source=scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY  # the template is made without any window

usage() {
  sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

[ $# -ge 1 ] || usage
dest=$1
shift
cdroms=()
version=""
while [ $# -gt 0 ]; do
  case "$1" in
    --cdrom) cdroms+=("${2:?--cdrom needs a device}"); shift 2 ;;
    --version) version=${2:?--version needs a value}; shift 2 ;;
    *) usage ;;
  esac
done

wine_dir="$root/build/wine"
template="$wine_dir/template"
# A template made by another version of this script or of Wine is rebuilt.
stamp="$(sha1sum "$0" | cut -c1-16) $("$WINE64" --version 2>/dev/null)"

make_template() {
  local work="$wine_dir/template.new.$$"
  rm -rf "$work"
  mkdir -p "$work"
  cd "$work"
  echo "Creating the Wine prefix template (once)..." >&2
  WINEPREFIX="$work" "$WINE64" wineboot --init >/dev/null 2>&1
  WINEPREFIX="$work" "$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  WINEPREFIX="$work" "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null
  local letter
  for letter in d e f; do
    WINEPREFIX="$work" "$WINE64" reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d cdrom /f >/dev/null
  done
  WINEPREFIX="$work" "$WINESERVER" -w
  rm -f "$work/dosdevices/z:"
  # Wine's own fonts (Marlett for the caption buttons, MS Sans Serif,
  # Tahoma...) where this Wine looks for them first.
  cp /usr/share/wine/fonts/* "$work/drive_c/windows/Fonts/"
  [ -d "$work/drive_c/windows/system32" ] || { echo "wineboot made no prefix in $work" >&2; exit 1; }
  echo "$stamp" >"$work/.bitset-template"
  rm -rf "$template"
  mv "$work" "$template"
}

mkdir -p "$wine_dir"
(
  flock 9
  if [ "$(cat "$template/.bitset-template" 2>/dev/null)" != "$stamp" ]; then
    make_template
  fi
) 9>"$wine_dir/template.lock"

# The system's own libraries (about 700 MB) are hard links to the
# template's, which no run writes to; everything else is a real copy.
copy_prefix() {
  local from=$1 to=$2 entry
  mkdir -p "$to"
  for entry in "$from"/* "$from"/.[!.]*; do
    [ -e "$entry" ] || [ -L "$entry" ] || continue
    case "${entry#"$template"/}" in
      drive_c | drive_c/windows) copy_prefix "$entry" "$to/$(basename "$entry")" ;;
      drive_c/windows/system32 | drive_c/windows/winsxs) cp -al "$entry" "$to/" ;;
      *) cp -a "$entry" "$to/" ;;
    esac
  done
}

rm -rf "$dest"
mkdir -p "$(dirname "$dest")"
copy_prefix "$template" "$dest"

for cdrom in ${cdroms[@]+"${cdroms[@]}"}; do
  letter=d
  if [[ "$cdrom" =~ ^([a-zA-Z]):(.+)$ ]]; then
    letter=${BASH_REMATCH[1],,}
    cdrom=${BASH_REMATCH[2]}
  fi
  mkdir -p "$dest/drive_$letter"
  ln -s "../drive_$letter" "$dest/dosdevices/$letter:"
  ln -s "$(realpath -m "$cdrom")" "$dest/dosdevices/$letter::"
done

if [ -n "$version" ]; then
  cd "$dest/drive_c"
  WINEPREFIX="$dest" "$WINE64" reg add 'HKCU\Software\Wine\AppDefaults\Bitset.exe' \
    /v Version /d "$version" /f >/dev/null
  WINEPREFIX="$dest" "$WINESERVER" -w
fi
