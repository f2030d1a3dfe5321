# Terminals: three lines printed by cat, selected by a triple click dragged down (whole lines,
# as a person selects them), copied with the terminal's own chord; the paste back goes to a
# cat that writes what it reads into a file.

all_rows+=(xterm-text xfce4-terminal-text gnome-terminal-text konsole-text)

terminal_text=$'first line of the terminal\nsecond: caf\xc3\xa9 \xe6\x9d\xb1\xe4\xba\xac\nthird line\n'

terminal_row() { # source pattern, window class, copy chord (or "select"), text top, command... (runs the script)
    local pattern=$1 class=$2 chord=$3 top=$4 window before doc=$docs/$row.txt out=$work/$row.out
    local script=$work/$row.sh line y
    shift 4
    needs "$1" || return
    printf '%s %s' "$row" "$terminal_text" >"$doc"
    cat >"$script" <<SH
echo \$\$ >"$work/$row.pid"
clear
cat "$doc"
cat >"$out"
sleep 600
SH
    row_note="$1: three lines (UTF-8) selected by a triple click dragged over them, then $chord"
    start_app "$@" sh "$script"
    window=$(find_window "$class" 40) || { row_reason "no $class window appeared"; return; }
    sleep 2
    focus "$window"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    line=$(((HEIGHT - top) / 24))
    # A triple click on the first line, the last press held and dragged to the third.
    before=$(newest_clip)
    xdotool mousemove --window "$window" 40 $((top + line / 2)) click --repeat 2 --delay 120 1
    sleep 0.1
    xdotool mousedown 1
    sleep 0.15
    for y in $((top + line + line / 2)) $((top + 2 * line + line / 2)); do
        xdotool mousemove --window "$window" 60 "$y"
        sleep 0.15
    done
    xdotool mouseup 1
    sleep 0.3
    [ "$chord" = select ] || hold "$chord"
    screenshot "$row-copied"
    take_clip "$before" "$pattern" || { kill_terminal_script; return; }
    # What the terminal holds: the three lines, with or without the last line end.
    if [ -e "$work/offers/$row/UTF8_STRING" ] && cmp -s "$work/offers/$row/UTF8_STRING" <(head -c -1 "$doc"); then
        head -c -1 "$doc" >"$work/$row.expected"
    else
        cp "$doc" "$work/$row.expected"
    fi
    check_text "$work/$row.expected"
    paste_into_cat "$window" "$out"
}

# The paste back into the cat the script runs; Ctrl+D ends its last line. The clip's own bytes
# must arrive: where a terminal's own text is not what it shows, the clip holds the terminal's.
paste_into_cat() { # window, its cat's file
    local question
    drawer_paste "$1"
    # xfce4-terminal asks before it pastes several lines; a person presses its Paste button.
    if question=$(find_window_named 'Unsafe Paste' 3); then
        screenshot "$row-question"
        eval "$(xdotool getwindowgeometry --shell "$question")"
        xdotool mousemove --window "$question" $((WIDTH - 45)) $((HEIGHT - 20)) click 1
        sleep 1
    fi
    sleep 0.5
    focus "$1"
    hold ctrl+d
    sleep 1
    if r_paste[$row]=$(compare_text "$work/$row.stored" "$2"); then
        r_paste[$row]=arrived
        [ -z "$question" ] || r_paste[$row]="arrived (after the terminal's unsafe-paste question)"
    fi
    kill_terminal_script
}

kill_terminal_script() {
    [ -s "$work/$row.pid" ] && kill "$(cat "$work/$row.pid")" 2>/dev/null
    sleep 0.5
}

row_xterm_text() {
    terminal_row 'XTerm|xterm' xterm select 2 \
        xterm -geometry 80x24 -fa Monospace -fs 12 -xrm 'XTerm*selectToClipboard: true' -e
}
row_xfce4_terminal_text() {
    terminal_row 'Xfce Terminal|Terminal' xfce4-terminal ctrl+shift+c 2 \
        xfce4-terminal --disable-server --hide-menubar --hide-toolbar --hide-scrollbar --geometry=80x24 -x
}
row_gnome_terminal_text() {
    terminal_row 'Terminal' gnome-terminal ctrl+shift+c 2 \
        gnome-terminal --wait --hide-menubar --geometry=80x24 --
}
row_konsole_text() {
    # Konsole keeps its toolbar over the text.
    terminal_row 'Konsole' konsole ctrl+shift+c 34 \
        konsole --separate --hide-menubar --hide-tabbar -p TerminalColumns=80 -p TerminalRows=24 -e
}
