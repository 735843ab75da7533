#!/bin/bash
# Gives the demo a printer queue on a machine whose CUPS has none.
#
#   eval "$(scripts/demo-cups.sh [BUILD_DIR])"
#
# When the machine's own CUPS already lists queues, nothing is started and only a note
# is printed. Otherwise a private CUPS scheduler runs in BUILD_DIR/demo-cups (BUILD_DIR
# defaults to build/ of this checkout) with one raw queue, EPSON_Stylus_Pro_3800, named so
# that choosing it selects the demo model Zorl3800; its jobs are appended to
# BUILD_DIR/demo-cups/EPSON_Stylus_Pro_3800.out. A scheduler already running there is
# reused. The export line for CUPS_SERVER is the only thing written to standard output.

set -euo pipefail

readonly QUEUE=EPSON_Stylus_Pro_3800

repo=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd -P)
build=${1:-$repo/build}
dir=$build/demo-cups
private_cupsd=$repo/tests/fixtures/cups/private-cupsd.sh

note() { echo "demo-cups: $*" >&2; }

if ! command -v lpstat >/dev/null; then
    note "the CUPS programs are missing; install the packages cups and cups-client"
    exit 1
fi

own=$(env -u CUPS_SERVER timeout 10 lpstat -e 2>/dev/null || true)
if [[ -n $own ]]; then
    note "the machine's CUPS has printer queues (${own//$'\n'/, }); the demo uses them"
    exit 0
fi

if bash "$private_cupsd" status "$dir"; then
    dir=$(cd -- "$dir" && pwd -P)
    if ! CUPS_SERVER=$dir/cups.sock lpstat -p "$QUEUE" >/dev/null 2>&1; then
        bash "$private_cupsd" add "$dir" "$QUEUE"
        CUPS_SERVER=$dir/cups.sock lpadmin -d "$QUEUE" >&2
    fi
    note "reusing the private CUPS in $dir; jobs for $QUEUE land in $dir/$QUEUE.out"
    printf 'export CUPS_SERVER=%q\n' "$dir/cups.sock"
else
    mkdir -p -- "$build"
    bash "$private_cupsd" start "$dir" "$QUEUE"
    note "started a private CUPS in $dir; jobs for $QUEUE land in $(cd -- "$dir" && pwd -P)/$QUEUE.out"
fi
