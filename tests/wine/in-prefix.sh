#!/usr/bin/env bash
# Runs a command in a Wine prefix: in-prefix.sh FOLDER win64|win32 COMMAND...
# ZARVO_WINEARCH tells the scenario programs which Windows they run on.
set -euo pipefail
export WINEPREFIX=$1 WINEARCH=$2 ZARVO_WINEARCH=$2 WINEDEBUG=-all
shift 2
exec "$@"
