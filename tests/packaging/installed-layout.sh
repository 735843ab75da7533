#!/usr/bin/env bash
# installed-layout.sh BUILD PREFIX DESKTOP_PREFIX PROGRAM_DIR DESKTOP_FILE_VALIDATE
#
# Installs the build into a staging folder (DESTDIR) and checks that the installation is
# complete: every program of the build's program folder, the models with their curves,
# the ink description folder, help, user guide and calibration target, the desktop files
# and the launcher; and that nothing of a user's own (settings, logs) went along.
set -euo pipefail
build=$1 prefix=$2 desktop_prefix=$3 program_dir=$4 validate=$5

stage=$(mktemp -d)
trap 'rm -rf -- "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" >/dev/null

root=$stage$prefix
if [[ $desktop_prefix == /* ]]; then share=$stage$desktop_prefix/share; else share=$root/$desktop_prefix/share; fi
faults=0
fault() { echo "FAULT: $*"; faults=$((faults + 1)); }
need_file() { [[ -f $1 ]] || fault "missing ${1#"$stage"}"; }

# Every executable the build puts into the program folder, tools added later included.
programs=0
while IFS= read -r -d '' program; do
    name=${program##*/}
    [[ -x $root/bin/$name ]] || fault "program $name not installed"
    programs=$((programs + 1))
done < <(find "$program_dir" -maxdepth 1 -type f -executable -print0)
((programs >= 4)) || fault "only $programs programs in $program_dir"
for program in Diridu Rastermill Inkforge Spoolgate; do
    [[ -x $root/bin/$program ]] || fault "program $program not installed"
done

models=0
for ppd in "$root"/ppd/*.ppd; do
    [[ -f $ppd ]] || break
    model=$(basename "$ppd" .ppd)
    compgen -G "$root/Zorlane/$model/*.zorl" >/dev/null || fault "model $model has no curves"
    models=$((models + 1))
done
((models > 0)) || fault "no printing models in ppd/"
[[ -d $root/Curvewright ]] || fault "missing Curvewright/"
need_file "$root/bin/DirIduHelp/html/index.htm"
need_file "$root/bin/DirIduHelp/context.map"
need_file "$root/bin/ChannelWedge.tif"
need_file "$root/Zorlane User Guide.pdf"

for own in "$root/bin/Diridu.ini" "$root/ZorLog.txt"; do
    [[ ! -e $own ]] || fault "a user's file was installed: ${own#"$stage"}"
done
leftovers=$(find "$root" -name 'Zor*.tmp' -o -name 'Zor*.sh' -o -name '*.bak')
[[ -z $leftovers ]] || fault "temporary files were installed: $leftovers"

id=io.github.diridu.Diridu
entry=$share/applications/$id.desktop
need_file "$entry"
if [[ -f $entry ]]; then
    grep -qxF "Exec=\"$prefix/bin/Diridu\" %F" "$entry" || fault "the menu entry does not start $prefix/bin/Diridu"
    "$validate" "$entry" || fault "the installed menu entry is not valid"
fi
need_file "$share/metainfo/$id.metainfo.xml"
need_file "$share/icons/hicolor/scalable/apps/$id.svg"
for size in 16 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$id.png
    need_file "$png"
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
    if [[ -f $png ]]; then
        read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
            awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
        [[ $width == "$size" && $height == "$size" ]] || fault "$id.png of ${size}x$size is ${width}x$height"
    fi
done
if [[ $desktop_prefix == /* ]]; then
    launcher=$stage$desktop_prefix/bin/diridu
    [[ $(readlink "$launcher" 2>/dev/null) == "$prefix/bin/Diridu" ]] ||
        fault "the launcher diridu does not point at $prefix/bin/Diridu"
fi

if ((faults)); then
    echo "$faults faults in the installation"
    exit 1
fi
echo "installation complete: $programs programs, $models printing models"
