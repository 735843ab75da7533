#!/usr/bin/env bash
# Builds the Debian package from an existing build (build/ by default, or BUILD_DIR),
# installs it with apt as a user would, and tries the installed program as a new user on
# Qt's offscreen platform, against a private print server with the demo queue. The first
# start, asked to end (SIGTERM) as a desktop session does, must write its settings into
# the user's configuration folder. Once the user has picked the queue's model, a TIFF
# file opened with the menu entry while Diridu runs (what the file manager's "Open with
# Diridu" does) must be handed to it and printed, with the log in the user's state folder. The installation stays
# untouched; the package is removed again at the end. As root.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd -P)
build=${BUILD_DIR:-build}
readonly QUEUE=EPSON_Stylus_Pro_3800
readonly PREFIX=/opt/zorlane
readonly WAIT_SECONDS=60

note() { echo "package-smoke: $*"; }
die() { echo "package-smoke: FAILED: $*" >&2; exit 1; }
[[ $(id -u) -eq 0 ]] || die "run as root (the package is installed and removed)"

note "building the package"
cmake --build "$build" >/dev/null
rm -f "$build"/diridu_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/diridu_*.deb)
[[ -f ${debs[0]} ]] || die "cpack made no package"
deb=$(realpath "${debs[0]}")
dpkg-deb --field "$deb" Package Version Depends

work=$(mktemp -d)
chmod 755 "$work"
cups=$work/cups
diridu_pid=
cleanup() {
    [[ -z $diridu_pid ]] || kill -KILL "$diridu_pid" 2>/dev/null || true
    bash "$repo/tests/fixtures/cups/private-cupsd.sh" stop "$cups" 2>/dev/null || true
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq diridu >/dev/null 2>&1 || true
    rm -rf -- "$work"
}
trap cleanup EXIT

note "installing $(basename "$deb")"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
[[ -x $PREFIX/bin/Diridu ]] || die "$PREFIX/bin/Diridu is not installed"
[[ $(command -v diridu) == /usr/bin/diridu ]] || die "the launcher diridu is not on the PATH"
entry=/usr/share/applications/io.github.diridu.Diridu.desktop
desktop-file-validate "$entry"
before=$(find "$PREFIX" -printf '%p %s %T@\n' | sort | sha256sum)

mkdir -p "$cups"
eval "$(bash "$repo/tests/fixtures/cups/private-cupsd.sh" start "$cups" "$QUEUE")"
chmod 755 "$cups"

# A new user: nobody, with a home of its own that nothing has been written to.
home=$work/home
mkdir -p "$home/runtime"
cp "$PREFIX/bin/ChannelWedge.tif" "$home/photo.tif"
chown -R nobody:nogroup "$home"
chmod 700 "$home" "$home/runtime"

# A command as the new user, in a clean environment of that user's. setpriv runs the
# command in its own process, so a signal to it reaches Diridu itself.
as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin
         HOME="$home" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
         CUPS_SERVER="$CUPS_SERVER")

start_diridu() {
    "${as_user[@]}" diridu "$@" >"$work/diridu.out" 2>&1 &
    diridu_pid=$!
}

# Waits until the file exists (and holds the text, when one is given) while Diridu runs.
wait_for() {
    local file=$1 text=${2:-} i
    for ((i = 0; i < WAIT_SECONDS * 10; i++)); do
        if [[ -e $file ]] && { [[ -z $text ]] || grep -qsF "$text" "$file"; }; then
            return 0
        fi
        kill -0 "$diridu_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$work/diridu.out"
    die "Diridu made no $file${text:+ with \"$text\"}"
}

# Asks Diridu to end as the desktop session would, and waits until it has.
stop_diridu() {
    kill -TERM "$diridu_pid" 2>/dev/null || true
    local i status=0
    for ((i = 0; i < WAIT_SECONDS * 10; i++)); do
        kill -0 "$diridu_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$diridu_pid" 2>/dev/null && die "Diridu did not end on SIGTERM"
    wait "$diridu_pid" || status=$?
    diridu_pid=
    ((status == 0)) || { cat "$work/diridu.out"; die "Diridu ended with status $status"; }
}

settings=$home/.config/zorlane/Diridu.ini
state=$home/.local/state/zorlane
log=$state/ZorLog.txt
output=$cups/$QUEUE.out

note "first start of the installed Diridu as a new user"
start_diridu
wait_for "$state"
stop_diridu
[[ -f $settings ]] || { cat "$work/diridu.out"; die "no settings in $settings"; }
[[ $(stat -c %U "$settings") == nobody ]] || die "the settings do not belong to the user"
tr -d '\r' <"$settings" | grep -qx "PrinterName=$QUEUE" || { cat "$settings"; die "the settings lack the queue"; }
note "settings written to ~/.config/zorlane/Diridu.ini"

# The user picks the queue's printing model, then opens photo.tif with Diridu.
sed -i 's/^PrintingModel=[^[:cntrl:]]*/PrintingModel=Zorl3800/' "$settings"
note "opening photo.tif with Diridu's menu entry while Diridu runs"
start_diridu
wait_for "$home/runtime/DiriduMail"
# What a file manager's "Open with Diridu" runs: the menu entry's command with the file.
"${as_user[@]}" gio launch "$entry" "$home/photo.tif" || die "the menu entry could not be launched"
wait_for "$log" "End of Log"
stop_diridu
[[ -s $output ]] || { cat "$log"; die "nothing reached the queue $QUEUE"; }
grep -q '^Curve1Name=.' "$settings" ||
    { cat "$settings"; die "no curve of the installation's model was chosen"; }
leftovers=$(find "$state" -name 'Zor*.tmp' -o -name 'Zor*.sh')
[[ -z $leftovers ]] || die "the request left files behind: $leftovers"
note "printed $(stat -c %s "$output") bytes to $QUEUE; log in ~/.local/state/zorlane/"
after=$(find "$PREFIX" -printf '%p %s %T@\n' | sort | sha256sum)
[[ $before == "$after" ]] || die "the run changed files in $PREFIX"
note "$PREFIX unchanged"

note "removing the package"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq diridu >/dev/null
[[ ! -e $PREFIX/bin/Diridu && ! -e /usr/bin/diridu ]] || die "the package left files behind"
note "passed"
