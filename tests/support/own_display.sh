#!/usr/bin/env bash
# Runs a command on an X server of its own: a fresh Xvfb with its own keyboard,
# pointer, clipboard and access cookie, stopped when the command ends. ctest
# starts each X11 test through this, so those tests can run side by side and
# none finds keys, windows or a window manager another left behind.
# Usage: own_display.sh <command> [argument]...
set -uo pipefail
. "$(dirname "$0")/e2e.sh"
e2e_begin own_display.sh Xvfb xauth
trap 'exit 143' TERM INT

# A cookie for whatever display number the server picks: only this command's
# clients get in.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
: >"$work/auth"
echo "ffff 0000  0000  0012 4d49542d4d414749432d434f4f4b49452d31 0010 $cookie" |
    xauth -q -f "$work/auth" nmerge - || exit 1

e2e_start_server own_display.sh Xvfb -displayfd 3 -auth "$work/auth" -nolisten tcp -screen 0 1920x1080x24
DISPLAY=:$named XAUTHORITY=$work/auth "$@"
