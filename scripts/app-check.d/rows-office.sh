# LibreOffice: Writer's formatted text and a range of Calc cells, all selected and copied. The
# paste back clears the document, pastes through the drawer, and copies again: the app's own
# text of what arrived must be the text first copied.

all_rows+=(writer-text calc-cells)

start_office() { # module, file; sets window
    local profile=$work/lo-profile
    mkdir -p "$profile/user"
    # No tip of the day or other first-run dialog over the document.
    cat >"$profile/user/registrymodifications.xcu" <<'XCU'
<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Setup/Office"><prop oor:name="ooSetupInstCompleted" oor:op="fuse"><value>true</value></prop></item>
</oor:items>
XCU
    start_app soffice "-env:UserInstallation=file://$profile" --norestore --nologo "--$1" "$2"
    window=$(find_window 'libreoffice|soffice' 90) || { row_reason "no LibreOffice window appeared"; return 1; }
    # A first start keeps LibreOffice busy for seconds after its window shows, answering no
    # clipboard request meanwhile (TamoCove gives up on a copy after 2 s).
    sleep 15
    focus "$window"
}

office_row() { # module (writer|calc), document, select steps
    local module=$1 doc=$docs/$row.${2##*.} window before r_paste_note=
    needs soffice || return
    cp "$libdir/$2" "$doc"
    row_note="LibreOffice $module: ${*:3} then Ctrl+C"
    start_office "$module" "$doc" || return
    before=$(newest_clip)
    keys "${@:3}" ctrl+c
    take_clip "$before" 'LibreOffice|Writer|Calc'
    [ -n "$clip_pk" ] || return
    cp "$work/offers/$row/UTF8_STRING" "$work/$row.expected" 2>/dev/null || offered UTF8_STRING "$work/$row.expected"
    check_text "$work/$row.expected"
    r_exact[$row]="${r_exact[$row]}$(has_rich_text)"
    focus "$window"
    keys "${@:3}" Delete ctrl+Home
    drawer_paste "$window"
    screenshot "$row-pasted"
    # Calc asks how to import a text it cannot read as cells; a person takes the default.
    if [ "$module" = calc ] && xdotool search --onlyvisible --name 'Text Import' >/dev/null 2>&1; then
        hold Return
        r_paste_note=" (after the Text Import dialog)"
    fi
    focus "$window"
    keys "${@:3}" ctrl+c
    sleep 1
    offered UTF8_STRING "$work/$row.again"
    r_paste[$row]=$(compare_text "$work/$row.expected" "$work/$row.again") && r_paste[$row]=arrived
    r_paste[$row]="${r_paste[$row]}${r_paste_note:-}"
}

row_writer_text() { office_row writer writer.fodt ctrl+a; }
row_calc_cells()  { office_row calc calc.fods ctrl+Home ctrl+shift+End; }
