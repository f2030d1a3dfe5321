#!/usr/bin/env bash
# Two TamoCove installations on two X displays, each with its own home and
# its own sync folder, kept in step by unison as a real file-sync engine:
# a copy made on display 1 reaches installation 2's store, and a deletion
# made in installation 2's drawer leaves installation 1's store.
# Usage: unison_sync.sh <path to tamocove>
set -euo pipefail
app=$1
. "$(dirname "$0")/../../support/e2e.sh"
e2e_begin unison_sync Xvfb openbox unison xclip xdotool sqlite3

start_display() { # side; sets display[side] to the number Xvfb chose
    local file=$work/display$1
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$file" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 100); do
        [ -s "$file" ] && break
        sleep 0.1
    done
    display[$1]=:$(head -n1 "$file")
}

# Each installation: a display with a window manager, a home, a sync folder.
declare -A display home
for side in 1 2; do
    start_display "$side"
    home[$side]=$work/home$side
    mkdir -p "${home[$side]}/Sync/TamoCove" "${home[$side]}/run" "${home[$side]}/config/TamoCove"
    # A returning user: no first-run window takes the keys the test presses.
    echo '{"personalizeShown": true, "whatsNewShown": "1.74"}' >"${home[$side]}/config/TamoCove/defaults.json"
    chmod 700 "${home[$side]}/run"
    DISPLAY=${display[$side]} openbox >/dev/null 2>&1 &
    pids+=($!)
done

launch() { # side
    local side=$1
    env -i PATH="$PATH" HOME="${home[$side]}" DISPLAY="${display[$side]}" XDG_RUNTIME_DIR="${home[$side]}/run" \
        XDG_DATA_HOME="${home[$side]}/data" XDG_CONFIG_HOME="${home[$side]}/config" XDG_CACHE_HOME="${home[$side]}/cache" \
        QT_QPA_PLATFORM=xcb TAMO_SYNC_FOLDER="${home[$side]}/Sync/TamoCove" \
        "$app" >"$work/app$side.log" 2>&1 &
    pids+=($!)
}
launch 1
launch 2

# The engine: unison run over and over, as a background sync would, with
# its own state kept out of the real home.
export UNISON=$work/unison
(
    while :; do
        unison "${home[1]}/Sync/TamoCove" "${home[2]}/Sync/TamoCove" -batch -auto -times -silent \
            -confirmbigdel=false -ui text >>"$work/unison.log" 2>&1 || true
        sleep 0.3
    done
) &
pids+=($!)

count() { # side, text
    sqlite3 -readonly "${home[$1]}/data/Tamo/Tamo.store" \
        "SELECT count(*) FROM ClipItem WHERE text = '$2'" 2>/dev/null || echo 0
}

wait_for() { # description, seconds, command...
    local what=$1 seconds=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        if ((SECONDS >= deadline)); then
            echo "unison_sync: timed out waiting until $what"
            echo "--- app 1"; cat "$work/app1.log"; echo "--- app 2"; cat "$work/app2.log"
            echo "--- unison"; tail -20 "$work/unison.log"
            exit 1
        fi
        sleep 0.2
    done
    echo "unison_sync: ${SECONDS}s: $what"
}

marker="sync marker $RANDOM$RANDOM"
has() { [ "$(count "$1" "$marker")" = "$2" ]; }

wait_for "both installations run" 20 test -e "${home[1]}/data/Tamo/Tamo.store" -a -e "${home[2]}/data/Tamo/Tamo.store"
sleep 1
printf '%s' "$marker" | DISPLAY=${display[1]} xclip -selection clipboard -loops 1 &
wait_for "installation 1 keeps the copy" 15 has 1 1
wait_for "the copy reaches installation 2" 30 has 2 1

# Delete it in installation 2's drawer: the shortcut, then Backspace on the newest clip.
hold() { # display, keys: pressed as a person does, about 150 ms
    DISPLAY=$1 xdotool keydown "$2"
    sleep 0.15
    DISPLAY=$1 xdotool keyup "$2"
}
hold "${display[2]}" shift+ctrl+v
sleep 1
hold "${display[2]}" BackSpace
wait_for "installation 2 deletes it" 10 has 2 0
wait_for "the deletion reaches installation 1" 30 has 1 0
held_anywhere() { grep -rqF "$marker" "${home[1]}/Sync" "${home[2]}/Sync"; }
wait_for "no file in either folder holds the deleted copy" 30 eval '! held_anywhere'
echo "unison_sync: a copy and a deletion travelled both ways"
