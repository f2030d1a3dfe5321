#!/usr/bin/env bash
# TamoCove started with the common umask 022 in a home where an earlier
# version left its folders and files readable to others: once it has written
# its store, settings and sync files, and has quit, no folder of its own is
# open to others and no file readable by them.
# Usage: private_files.sh <path to tamocove>
set -euo pipefail
app=$1
. "$(dirname "$0")/../../support/e2e.sh"
e2e_begin private_files Xvfb xclip sqlite3

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(head -n1 "$work/display")

home=$work/home
umask 022
mkdir -p "$home/run" "$home/config/TamoCove" "$home/data/Tamo" "$home/Sync"
chmod 700 "$home/run"
# Left by an earlier version: a returning user, so no first-run window opens.
echo '{"personalizeShown": true, "whatsNewShown": "1.74"}' >"$home/config/TamoCove/defaults.json"
echo old >"$home/data/Tamo/Tamo.store.damaged-2025-01-01"

env -i PATH="$PATH" HOME="$home" DISPLAY="$display" XDG_RUNTIME_DIR="$home/run" \
    XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
    XDG_STATE_HOME="$home/state" QT_QPA_PLATFORM=xcb TAMO_SYNC_FOLDER="$home/Sync/TamoCove" \
    "$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)

wait_for() { # description, seconds, command...
    local what=$1 deadline=$((SECONDS + $2))
    shift 2
    until "$@"; do
        if ((SECONDS >= deadline)); then
            echo "private_files: timed out waiting until $what"; cat "$work/app.log"; exit 1
        fi
        sleep 0.2
    done
}
marker="private $RANDOM$RANDOM"
kept() { [ "$(sqlite3 -readonly "$home/data/Tamo/Tamo.store" "SELECT count(*) FROM ClipItem WHERE text = '$marker'" 2>/dev/null)" = 1 ]; }
segment() { compgen -G "$home/Sync/TamoCove/devices/*/seg-*.jsonl" >/dev/null; }

wait_for "TamoCove runs" 20 test -e "$home/data/Tamo/Tamo.store-wal"
sleep 1
printf '%s' "$marker" | DISPLAY=$display xclip -selection clipboard -loops 1 &
wait_for "the copy is kept" 15 kept
wait_for "the copy is written to the sync folder" 15 segment
kill -TERM "$app_pid"
wait_for "TamoCove quits" 15 eval '! kill -0 $app_pid 2>/dev/null'

ours=("$home/data/Tamo" "$home/config/TamoCove" "$home/cache/Tamo" "$home/state/Tamo" "$home/Sync/TamoCove")
open=$(find "${ours[@]}" \( -type d ! -perm 700 \) -o \( -type f ! -perm 600 \) 2>/dev/null || true)
if [ -n "$open" ]; then
    echo "private_files: readable by others:"
    ls -ld $open
    exit 1
fi
echo "private_files: $(find "${ours[@]}" 2>/dev/null | wc -l) folders and files, all private"
