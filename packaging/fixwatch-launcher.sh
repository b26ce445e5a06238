#!/bin/sh
# Starts the installed Fixwatch. The program writes its daily log files next to itself, and an
# installed program's folder is not writable, so the logs go to the user's data folder instead
# unless FIXWATCH_LOG_DIR already names one. The program is found relative to this script, so
# an unpacked package works from any folder.
here=$(dirname "$(readlink -f "$0")")
if [ -z "${FIXWATCH_LOG_DIR:-}" ]; then
    FIXWATCH_LOG_DIR="${XDG_DATA_HOME:-$HOME/.local/share}/fixwatch"
    export FIXWATCH_LOG_DIR
    mkdir -p "$FIXWATCH_LOG_DIR" || echo "fixwatch: cannot create the log folder $FIXWATCH_LOG_DIR" >&2
fi
exec "$here/../lib/fixwatch/fixwatch" "$@"
