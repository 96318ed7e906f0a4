#!/bin/bash
# Runs a test program against a private virtual X server. The server chooses a free display
# itself (-displayfd), so parallel runs cannot take the same one, and the number arrives
# only when the server is ready to accept clients.
set -u
dir=$(mktemp -d) || exit 1
mkfifo "$dir/display" || exit 1
Xvfb -displayfd 3 -nolisten tcp -screen 0 640x480x24 3>"$dir/display" 2>"$dir/server.log" &
server=$!
cleanup() {
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
read -r number <"$dir/display"
if [ -z "${number:-}" ]; then
    echo "the virtual X server did not start:" >&2
    cat "$dir/server.log" >&2
    exit 1
fi
DISPLAY=":$number" "$@"
