#!/usr/bin/env bash
# Runs a command on an X server of its own: a fresh Xvfb with its own keyboard,
# pointer, clipboard and access cookie, stopped when the command ends. ctest
# starts each X11 test through this, so those tests can run side by side and
# none finds keys, windows or a window manager another left behind.
# Usage: own_display.sh <command> [argument]...
set -uo pipefail
work=$(mktemp -d)
server=
stop() {
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    fi
    rm -rf "$work"
}
trap stop EXIT
trap 'exit 143' TERM INT

# A cookie for whatever display number the server picks: only this command's
# clients get in.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
: >"$work/auth"
echo "ffff 0000  0000  0012 4d49542d4d414749432d434f4f4b49452d31 0010 $cookie" |
    xauth -q -f "$work/auth" nmerge - || exit 1

# The server names its display through the pipe once it takes clients.
mkfifo "$work/display"
Xvfb -displayfd 3 -auth "$work/auth" -nolisten tcp -screen 0 1920x1080x24 3>"$work/display" 2>"$work/server.log" &
server=$!
if ! read -r -t 60 number <"$work/display" || [ -z "$number" ]; then
    echo "own_display.sh: Xvfb did not start:" >&2
    cat "$work/server.log" >&2
    exit 1
fi

DISPLAY=:$number XAUTHORITY=$work/auth "$@"
