#!/usr/bin/env bash
# Sets everything up and starts Diridu on the demo installation. Without printer queues
# of its own, the machine gets a private print server whose queue writes each job into
# a file under build/demo-cups/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
eval "$(bash scripts/demo-cups.sh)"
exec build/zorlane/bin/Diridu "$@"
