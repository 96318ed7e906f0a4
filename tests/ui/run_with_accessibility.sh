#!/bin/bash
# Runs a test program as a screen reader's user would run the program: on a session bus of
# its own whose accessibility bus is switched on, against a private virtual X server.
set -u
here=$(dirname "$0")
exec dbus-run-session -- bash -c '
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true >/dev/null || { echo "no accessibility bus" >&2; exit 1; }
    exec "$@"' bash "$here/../app/run_with_xvfb.sh" "$@" 2> >(grep -v "^dbus-daemon" >&2)
