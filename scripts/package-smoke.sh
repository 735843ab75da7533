#!/usr/bin/env bash
# Builds the Debian package from an existing build (build/ by default, or BUILD_DIR),
# installs it with apt as a user would, and tries the installed program as a new user:
# Diridu is started on Qt's offscreen platform with a TIFF file on its command line (as
# the file manager's "Open with Diridu" does), against a private print server with the
# demo queue; it must print the file, writing its log into the user's state folder, and
# when asked to end (SIGTERM) write its settings into the user's configuration folder,
# leaving the installation untouched. The package is removed again at the end. As root.
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
desktop-file-validate /usr/share/applications/io.github.diridu.Diridu.desktop
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
output=$cups/$QUEUE.out

note "starting the installed Diridu as nobody with photo.tif"
runuser -u nobody -- env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
    QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 CUPS_SERVER="$CUPS_SERVER" \
    diridu "$home/photo.tif" >"$work/diridu.out" 2>&1 &
diridu_pid=$!

log=$home/.local/state/zorlane/ZorLog.txt
for ((i = 0; i < WAIT_SECONDS * 10; i++)); do
    grep -qs 'End of Log' "$log" && [[ -s $output ]] && break
    kill -0 "$diridu_pid" 2>/dev/null || break
    sleep 0.1
done
grep -qs 'End of Log' "$log" || { cat "$work/diridu.out"; die "no complete log in $log"; }
[[ -s $output ]] || { cat "$log"; die "nothing reached the queue $QUEUE"; }
note "printed $(stat -c %s "$output") bytes to $QUEUE; log in ~/.local/state/zorlane/"

kill -TERM "$diridu_pid"
for ((i = 0; i < WAIT_SECONDS * 10; i++)); do
    kill -0 "$diridu_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$diridu_pid" 2>/dev/null && die "Diridu did not end on SIGTERM"
wait "$diridu_pid" || die "Diridu ended with status $?"
diridu_pid=

settings=$home/.config/zorlane/Diridu.ini
[[ -f $settings ]] || { cat "$work/diridu.out"; die "no settings in $settings"; }
grep -q '^PrintingModel=Zorl3800' "$settings" ||
    { cat "$settings"; die "the settings do not name the model of the queue"; }
[[ $(stat -c %U "$settings") == nobody ]] || die "the settings do not belong to the user"
after=$(find "$PREFIX" -printf '%p %s %T@\n' | sort | sha256sum)
[[ $before == "$after" ]] || die "the run changed files in $PREFIX"
note "settings in ~/.config/zorlane/Diridu.ini; $PREFIX unchanged"

note "removing the package"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq diridu >/dev/null
[[ ! -e $PREFIX/bin/Diridu && ! -e /usr/bin/diridu ]] || die "the package left files behind"
note "passed"
