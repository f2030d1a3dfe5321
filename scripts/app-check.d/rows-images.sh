# Pictures: GIMP copies a selection of the whole picture, Inkscape an object (which it offers as
# SVG text first). The paste back must add a layer in GIMP and an object in Inkscape.

all_rows+=(gimp-image inkscape-object)

row_gimp_image() {
    local window before pic=$docs/gimp.png title
    needs gimp || return
    convert -size 128x96 gradient:'#30a030-#c0c030' -depth 8 "$pic"
    row_note="GIMP 2.10: Ctrl+A, Ctrl+C on a 128x96 RGB picture"
    start_app gimp -n -s -d "$pic"
    window=$(find_window 'gimp' 120) || { row_reason "no GIMP window appeared"; return; }
    wait_until 60 eval 'xdotool search --onlyvisible --name "gimp.*128x96" >/dev/null' || true
    window=$(xdotool search --onlyvisible --name 'gimp.*128x96' | tail -n1)
    [ -n "$window" ] || { row_reason "GIMP did not show the picture"; return; }
    sleep 2
    focus "$window"
    before=$(newest_clip)
    hold ctrl+a
    hold ctrl+c
    take_clip "$before" 'GIMP|GNU Image' || return
    check_image "$pic"
    title=$(xdotool getwindowname "$window")
    drawer_paste "$window"
    # A paste floats as a new layer over the picture, which the title counts.
    if wait_until 6 eval '[ "$(xdotool getwindowname "$window")" != "$title" ]'; then
        r_paste[$row]="arrived (a layer added)"
    else
        r_paste[$row]="NO: the picture is unchanged"
    fi
}

row_inkscape_object() {
    local window before svg=$docs/inkscape.svg
    needs inkscape || return
    cp "$libdir/drawing.svg" "$svg"
    row_note="Inkscape 1.2: Ctrl+A, Ctrl+C on a drawing of one rectangle"
    start_app inkscape "$svg"
    window=$(find_window 'inkscape' 120) || { row_reason "no Inkscape window appeared"; return; }
    sleep 6
    focus "$window"
    before=$(newest_clip)
    hold ctrl+a
    hold ctrl+c
    take_clip "$before" 'Inkscape' || return
    if [ -e "$work/offers/$row/text%2Fplain" ]; then
        cp "$work/offers/$row/text%2Fplain" "$work/$row.expected"
        check_text "$work/$row.expected"
    else
        r_exact[$row]="(no text/plain offered)"
    fi
    focus "$window"
    hold Escape
    drawer_paste "$window"
    focus "$window"
    hold ctrl+s
    sleep 3
    local rects
    rects=$(grep -o '<rect' "$svg" | wc -l)
    if [ "$rects" -ge 2 ]; then r_paste[$row]="arrived (an object added)"; else r_paste[$row]="NO: $rects object(s) after the paste"; fi
}
