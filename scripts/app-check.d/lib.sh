# Sourced by scripts/app-check: the display, TamoCove's private home and store, the
# keyboard and mouse as a person uses them, and the checks each row makes.

# Notes go to the terminal (fd 3 once the session bus's chatter is sent to a log).
note() { if { true >&3; } 2>/dev/null; then echo "app-check: $*" >&3; else echo "app-check: $*" >&2; fi; }

# Keys held as a person holds them: pressed together, held about 100 ms, let go last-first.
hold() { # chord, e.g. ctrl+shift+v
    local chord=$1 reversed
    reversed=$(tr '+' '\n' <<<"$chord" | tac | paste -sd+)
    xdotool keydown "$chord"
    sleep "$(printf '0.%03d' $((80 + RANDOM % 40)))"
    xdotool keyup "$reversed"
    sleep 0.15
}

type_text() { xdotool type --delay 70 -- "$1"; sleep 0.2; }

# Steps a person types: a chord held (ctrl+a, Return), "type:TEXT" typed key by key, or
# "click:view", a click on the lower right of $window (a file manager's empty folder view, a text area).
keys() { # step...
    local step
    for step in "$@"; do
        case "$step" in
            type:*) type_text "${step#type:}" ;;
            click:view) click_view "$window" ;;
            *) hold "$step" ;;
        esac
    done
}

# Waits for a command to succeed: wait_until <seconds> <command>...
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS >= deadline)) && return 1
        sleep 0.2
    done
}

# The last visible window whose class (find_window) or title (find_window_named) matches,
# waiting for it.
find_window() { search_window --class "$@"; }
find_window_named() { search_window --name "$@"; }
search_window() { # --class or --name, pattern, seconds
    local id deadline=$((SECONDS + ${3:-30}))
    while ((SECONDS < deadline)); do
        id=$(xdotool search --onlyvisible "$1" "$2" 2>/dev/null | tail -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.3
    done
    return 1
}

# A click on the empty part of the folder view, where a person clicks before the keys, so they
# go to the view and not the location bar.
click_view() { # window
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --window "$1" $((WIDTH * 3 / 4)) $((HEIGHT * 2 / 3)) click 1
    sleep 0.5
}

focus() { # window
    # Bounded: --sync waits for good on a window the manager never activates.
    timeout 5 xdotool windowactivate --sync "$1" >/dev/null 2>&1 || timeout 5 xdotool windowfocus --sync "$1"
    sleep 0.3
}

# Drags the mouse over a window's text as a person selects it: window-relative points.
drag() { # window x1 y1 x2 y2
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.1
    xdotool mousedown 1
    sleep 0.1
    xdotool mousemove --window "$1" $((($2 + $4) / 2)) $((($3 + $5) / 2))
    sleep 0.1
    xdotool mousemove --window "$1" "$4" "$5"
    sleep 0.15
    xdotool mouseup 1
    sleep 0.2
}

screenshot() { # name
    import -window root "$shots/$1.png" 2>/dev/null || true
}

# --- TamoCove -------------------------------------------------------------------------------

store() { sqlite3 -readonly -cmd '.timeout 2000' "$home/data/Tamo/Tamo.store" "$@" 2>/dev/null; }

newest_clip() { store "SELECT pk || ':' || createdAt FROM ClipItem ORDER BY createdAt DESC, pk DESC LIMIT 1"; }

# Waits until the newest clip is another than $1; sets clip_pk.
wait_new_clip() { # previous newest, seconds
    local now previous=$1
    clip_pk=
    wait_until "${2:-10}" eval '[ "$(newest_clip)" != "$previous" ]' || return 1
    now=$(newest_clip)
    clip_pk=${now%%:*}
}

clip_field() { store "SELECT $2 FROM ClipItem WHERE pk = $1"; }

# The stored text's bytes, exactly.
clip_text_to() { # pk file
    store "SELECT hex(CAST(text AS BLOB)) FROM ClipItem WHERE pk = $1" | unhex >"$2"
}
clip_image_to() { # pk file
    store "SELECT hex(imageData) FROM ClipItem WHERE pk = $1" | unhex >"$2"
}
unhex() { python3 -c 'import sys, binascii; sys.stdout.buffer.write(binascii.unhexlify(sys.stdin.read().strip()))'; }

# What the clipboard owner gives for a target, exactly.
offered() { # target file
    timeout 5 xclip -o -selection clipboard -t "$1" >"$2" 2>/dev/null
}

# Describes how two files differ: "exact", or what changed in a few words.
compare_text() { # expected stored
    if cmp -s "$1" "$2"; then echo exact; return 0; fi
    python3 - "$1" "$2" <<'PY'
import sys
a, b = (open(p, "rb").read() for p in sys.argv[1:3])
words = []
crs = b.count(b"\r\n")
if not b:
    words.append("nothing")
elif b.replace(b"\r\n", b"\n") == a:
    words.append(f"gained {crs} CR")
elif b.rstrip(b"\0") == a:
    words.append("gained NUL")
elif b == a.rstrip(b"\n"):
    words.append("lost final LF")
else:
    words.append(f"differs ({len(a)} vs {len(b)} bytes)")
print("NO: " + " ".join(words))
PY
    return 1
}

compare_image() { # expected stored
    local diff
    [ -s "$2" ] || { echo "NO: no image stored"; return 1; }
    diff=$(compare -metric AE "$1" "$2" null: 2>&1)
    if [ "$diff" = 0 ]; then echo "exact pixels"; else echo "NO: $diff pixels differ"; fi
}

# Puts a text of our own on the clipboard, so the paste back has to bring the clip back.
copy_marker() {
    marker="marker $RANDOM$RANDOM"
    printf '%s' "$marker" | xclip -selection clipboard -loops 1 2>/dev/null &
    wait_until 10 marker_is_newest
}
marker_is_newest() { [ "$(store "SELECT text FROM ClipItem ORDER BY createdAt DESC, pk DESC LIMIT 1")" = "$marker" ]; }

# The drawer paste a person makes: the shortcut, one step to the clip before the marker, Return.
drawer_paste() { # app window
    copy_marker || { note "the marker copy was not stored"; }
    focus "$1"
    # The pointer out of the drawer's way: a card under it would take the selection.
    xdotool mousemove 2 2
    # An app that takes the clipboard back after the marker puts its clip first again.
    marker_is_newest || quirks+=("$row: the app took the clipboard back after another copy")
    hold ctrl+shift+v
    sleep 1.2
    screenshot "$row-drawer"
    hold Right
    sleep 0.4
    hold Return
    sleep 2
    # What TamoCove offers for the clip, to read when a paste did not arrive.
    "$libdir/record_offer.py" "$work/pasted/$row" 2>/dev/null
}

# --- one row of the table --------------------------------------------------------------------

declare -A r_kind r_exact r_source r_paste
quirks=()
row_reason() { r_kind[$row]="-"; r_exact[$row]="cannot run: $1"; r_source[$row]="-"; r_paste[$row]="-"; }

# The copy a person makes, made again when no clip came of it within 5 s: a busy app that
# just opened may drop keys (GTK 4's Nautilus, gvim under load).
copy_keys() { # window, before, step...
    local window=$1 before=$2 attempt
    shift 2
    for attempt in 1 2; do
        focus "$window"
        keys "$@"
        wait_until 5 eval '[ "$(newest_clip)" != "$before" ]' && return
        note "$row: no clip after the copy, copying again"
    done
}

# After the app's copy: waits for TamoCove's clip, records the offer, fills kind and source.
take_clip() { # previous newest, source pattern
    mkdir -p "$work/offers/$row"
    if ! wait_new_clip "$1" 10; then
        "$libdir/record_offer.py" "$work/offers/$row" 2>/dev/null
        # Nothing stored may also mean nothing copied: TamoCove's own offer is not the app's.
        if ! offered_by_tamocove "$work/offers/$row/TARGETS"; then keep_offer; fi
        r_kind[$row]="nothing stored"
        r_exact[$row]="-"; r_source[$row]="-"; r_paste[$row]="-"
        return 1
    fi
    "$libdir/record_offer.py" "$work/offers/$row" 2>/dev/null
    keep_offer
    r_kind[$row]=$(clip_field "$clip_pk" kindRaw)
    local name
    name=$(clip_field "$clip_pk" sourceAppName)
    if [[ "$name" =~ $2 ]]; then r_source[$row]="$name"; else r_source[$row]="NO: '$name'"; fi
}

offered_by_tamocove() { # TARGETS file
    local ours
    for ours in "$work"/pasted/*/TARGETS; do
        [ -e "$ours" ] && cmp -s "$ours" "$1" && return 0
    done
    return 1
}

keep_offer() {
    [ "$record" = 1 ] || return 0
    local into=$repo/tests/platform/x11/offers/$row
    rm -rf "$into"
    mkdir -p "$into"
    cp -a "$work/offers/$row/." "$into/"
    printf '%s\n' "$row_note" >"$into/.note"
}

# Text rows: the stored text against the file the app holds.
check_text() { # expected file
    clip_text_to "$clip_pk" "$work/$row.stored"
    r_exact[$row]=$(compare_text "$1" "$work/$row.stored") && return
    # Stored as the app offers it, where the app's own text is not what it shows.
    if cmp -s "$work/$row.stored" "$work/offers/$row/UTF8_STRING"; then
        quirks+=("$row: the app's UTF8_STRING is not the text it shows (${r_exact[$row]#NO: })")
        r_exact[$row]="exact (the app's own text)"
    fi
}

# Image rows: the stored picture against the PNG the app offers (what it holds, as it decoded
# the picture), or the picture file where it offers none.
check_image() { # picture file
    local expected=$work/offers/$row/image%2Fpng
    [ -s "$expected" ] || expected=$1
    clip_image_to "$clip_pk" "$work/$row.png"
    r_exact[$row]=$(compare_image "$expected" "$work/$row.png")
}

check_files() { # expected paths, one a line
    local stored
    stored=$(clip_field "$clip_pk" filePaths | python3 -c 'import json, sys; print("\n".join(json.load(sys.stdin)))')
    if [ "$stored" = "$(sort <<<"$1")" ] || [ "$(sort <<<"$stored")" = "$(sort <<<"$1")" ]; then
        r_exact[$row]="exact ($(wc -l <<<"$1") files)"
    else
        r_exact[$row]="NO: stored [$(xargs -d '\n' -r -n1 basename <<<"$stored" | paste -sd' ')]"
    fi
}

print_table() {
    local name quirk
    printf '\n%-24s | %-8s | %-28s | %-26s | %s\n' app "kind" "content exact" "source app" "paste back"
    printf '%s\n' "-------------------------+----------+------------------------------+----------------------------+-----------"
    for name in "${rows[@]}"; do
        printf '%-24s | %-8s | %-28s | %-26s | %s\n' "$name" "${r_kind[$name]:-?}" "${r_exact[$name]:-?}" \
            "${r_source[$name]:-?}" "${r_paste[$name]:-?}"
    done
    for quirk in "${quirks[@]}"; do echo "seen: $quirk"; done
}

# --- the apps of a row ------------------------------------------------------------------------

row_pids=()
start_app() { # command...
    setsid "$@" >>"$work/$row.log" 2>&1 3>&- 4>&- &
    row_pids+=($!)
}
close_apps() {
    local pid
    for pid in "${row_pids[@]}"; do kill -- "-$pid" 2>/dev/null; done
    for pid in "${row_pids[@]}"; do wait "$pid" 2>/dev/null; done
    row_pids=()
    # A drawer a failed paste opened again is closed, so it takes no key of the next row.
    if xdotool search --onlyvisible --class tamocove >/dev/null 2>&1; then hold Escape; fi
    sleep 0.5
}

# True when every named program is installed; otherwise gives the row its reason.
needs() { # program...
    local program
    for program in "$@"; do
        command -v "$program" >/dev/null && continue
        row_reason "$program is not installed (scripts/deps apps)"
        return 1
    done
}
