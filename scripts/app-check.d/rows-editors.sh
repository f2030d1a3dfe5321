# Text editors: a document of several lines (tab, accents, CJK, an empty line), Ctrl+A and
# Ctrl+C; the paste back replaces the whole text, and the saved file must be the document again.

all_rows+=(mousepad-text gedit-text featherpad-text kate-text tk-text tk-crlf emacs-text gvim-text swing-text)

document_text=$'Budget 2024 \xe2\x80\x93 first line\n\tindented with a tab\nthird line: caf\xc3\xa9, na\xc3\xafve, \xe6\x9d\xb1\xe4\xba\xac\n\nlast line\n'

# What the app holds of the document: some editors hide its final line end, Tk's text widget
# selects one more after it. Anything else the app offers is not the document.
expected_text() { # document file, offer folder, into file
    local own=$2/UTF8_STRING
    cp "$1" "$3"
    [ -e "$own" ] || return 0
    if cmp -s "$own" <(head -c -1 "$1") || cmp -s "$own" <(cat "$1"; echo); then cp "$own" "$3"; fi
}

# copy, clear and save are each a list of steps for keys().
editor_row() { # source pattern, window class, copy steps, clear steps, save steps, command...
    local pattern=$1 class=$2 copy=$3 clear=$4 save=$5 window before doc=$docs/$row.txt stamp
    shift 5
    needs "$1" || return
    # The row's name starts the text: a copy of what the newest clip already holds would only
    # bring that clip forward, and the rows would not be told apart.
    printf '%s %s' "$row" "$document_text" >"$doc"
    row_note="$1: $copy in a document of $(grep -c '' "$doc") lines ($(grep -q $'\r' "$doc" && echo CRLF || echo LF) line ends, UTF-8, a tab)"
    start_app "$@" "$doc"
    window=$(find_window "$class" 40) || { row_reason "no $class window appeared"; return; }
    sleep 2
    before=$(newest_clip)
    copy_keys "$window" "$before" $copy
    take_clip "$before" "$pattern" || return
    expected_text "$doc" "$work/offers/$row" "$work/$row.expected"
    check_text "$work/$row.expected"
    # Paste back over the whole text, save, and read the file.
    focus "$window"
    keys $clear
    drawer_paste "$window"
    stamp=$(stat -c '%y %s' "$doc")
    focus "$window"
    keys $save
    if ! wait_until 8 eval '[ "$(stat -c "%y %s" "$doc")" != "$stamp" ]'; then
        r_paste[$row]="NO: the document was not saved"
        return
    fi
    sleep 0.5
    # Saved as the document, or as the clip where the editor saves its text as it is; vim keeps
    # the empty line the paste went into.
    printf '%s %s' "$row" "$document_text" >"$work/$row.document"
    if cmp -s "$work/$row.expected" "$doc" || { [ -n "${keeps_line:-}" ] && cmp -s <(cat "$work/$row.document"; echo) "$doc"; }; then
        r_paste[$row]=arrived
        return
    fi
    r_paste[$row]=$(compare_text "$work/$row.document" "$doc") && r_paste[$row]=arrived
}

plain_keys=("ctrl+a ctrl+c" "ctrl+a Delete" "ctrl+s")
row_mousepad_text()   { editor_row 'Mousepad' mousepad "${plain_keys[@]}" mousepad; }
row_gedit_text()      { editor_row 'Text Editor|gedit' gedit "${plain_keys[@]}" gedit --new-window; }
row_featherpad_text() { editor_row 'FeatherPad' featherpad "${plain_keys[@]}" featherpad; }
row_kate_text()       { editor_row 'Kate' kate "${plain_keys[@]}" kate -n; }
# Tk's text widget selects all with Ctrl+/; the small editor saves with Ctrl+S.
row_tk_text() {
    editor_row 'wish|Tk|tk_editor' tk_editor "ctrl+slash ctrl+c" "ctrl+slash Delete" "ctrl+s" \
        wish "$libdir/tk_editor.tcl"
}
# A document with CRLF line ends, which Tk's text widget keeps as they are: its copy must keep them.
row_tk_crlf() {
    local document_text=$'Budget 2024\r\n\tRent 1200\r\ncaf\xc3\xa9\r\n'
    editor_row 'wish|Tk|tk_editor' tk_editor "ctrl+slash ctrl+c" "ctrl+slash Delete" "ctrl+s" \
        wish "$libdir/tk_editor.tcl"
}
row_emacs_text() {
    editor_row 'Emacs' emacs "ctrl+x h alt+w" "ctrl+x h Delete" "ctrl+x ctrl+s" emacs -Q
}
row_gvim_text() {
    local keeps_line=1
    editor_row 'Vim|GVim|gvim' gvim 'Escape type:ggVG"+y' "Escape type:ggdG type:i" "Escape Escape type::w Return" gvim -f -U NONE -i NONE
}
# Java Swing: a small editor of our own on the default JRE.
row_swing_text() {
    needs javac java || return
    mkdir -p "$work/swing"
    javac -d "$work/swing" "$libdir/SwingEditor.java" 2>>"$work/$row.log" || { row_reason "SwingEditor did not compile"; return; }
    # Java takes the keyboard only once clicked into.
    editor_row 'java|Java|Swing' SwingEditor "click:view ctrl+a ctrl+c" "click:view ctrl+a Delete" "click:view ctrl+s" \
        java -cp "$work/swing" SwingEditor
}

# Mousepad's text pasted into other toolkits: Tk's text widget and a cat in xterm must get the
# same lines Mousepad holds.
all_rows+=(mousepad-into-tk mousepad-into-xterm)

copy_from_mousepad() { # sets window
    local before doc=$docs/$row.txt
    needs mousepad || return 1
    printf '%s %s' "$row" "$document_text" >"$doc"
    start_app mousepad "$doc"
    window=$(find_window mousepad 40) || { row_reason "no mousepad window appeared"; return 1; }
    sleep 2
    focus "$window"
    before=$(newest_clip)
    keys ctrl+a ctrl+c
    take_clip "$before" Mousepad || return 1
    expected_text "$doc" "$work/offers/$row" "$work/$row.expected"
    check_text "$work/$row.expected"
}

row_mousepad_into_tk() {
    local window target=$docs/$row-tk.txt stamp
    needs wish || return
    copy_from_mousepad || return
    : >"$target"
    start_app wish "$libdir/tk_editor.tcl" "$target"
    window=$(find_window tk_editor 30) || { r_paste[$row]="NO: no Tk window"; return; }
    sleep 1
    drawer_paste "$window"
    stamp=$(stat -c '%y %s' "$target")
    focus "$window"
    hold ctrl+s
    wait_until 5 eval '[ "$(stat -c "%y %s" "$target")" != "$stamp" ]'
    r_paste[$row]=$(compare_text "$work/$row.expected" "$target") && r_paste[$row]=arrived
}

row_mousepad_into_xterm() {
    local window out=$work/$row.out
    needs xterm || return
    copy_from_mousepad || return
    printf 'echo $$ >"%s"\ncat >"%s"\nsleep 600\n' "$work/$row.pid" "$out" >"$work/$row.sh"
    start_app xterm -geometry 80x24 -e sh "$work/$row.sh"
    window=$(find_window xterm 30) || { r_paste[$row]="NO: no xterm window"; return; }
    sleep 1
    paste_into_cat "$window" "$out"
}
