# File managers: select every file of a folder, copy with Ctrl+C, paste into an empty folder.

all_rows+=(pcmanfm-files thunar-files caja-files nemo-files nautilus-files dolphin-files)

file_manager_row() { # source pattern, window class, command...
    local pattern=$1 class=$2 window before folder=$docs/$row dest=$docs/$row-pasted
    shift 2
    needs "$1" || return
    mkdir -p "$folder" "$dest"
    printf 'Rent\t1200\nFood\t400\n' >"$folder/budget_2024.txt"
    printf '# Notes\n\nsecond line\n' >"$folder/notes.md"
    row_note="$1: Ctrl+A, Ctrl+C in a folder of two files (budget_2024.txt, notes.md)"
    start_app "$@" "$folder"
    window=$(find_window "$class" 40) || { row_reason "no $class window appeared"; return; }
    sleep 2
    before=$(newest_clip)
    copy_keys "$window" "$before" click:view ctrl+a ctrl+c
    take_clip "$before" "$pattern" || return
    check_files "$(printf '%s\n' "$folder/budget_2024.txt" "$folder/notes.md")"
    screenshot "$row-copied"
    # Paste back: into an empty folder, in a window of its own.
    start_app "$@" "$dest"
    window=$(find_window_named "$row-pasted" 30) || { r_paste[$row]="NO: no window on the folder"; return; }
    sleep 1.5
    focus "$window"
    click_view "$window"
    drawer_paste "$window"
    if wait_until 8 test -e "$dest/budget_2024.txt" -a -e "$dest/notes.md"; then
        cmp -s "$folder/notes.md" "$dest/notes.md" && r_paste[$row]=arrived || r_paste[$row]="NO: files differ"
    else
        r_paste[$row]="NO: $(ls "$dest" | wc -l) files in the folder"
    fi
}

row_pcmanfm_files()  { file_manager_row 'PCManFM' pcmanfm pcmanfm; }
row_thunar_files()   { file_manager_row 'Thunar' thunar thunar; }
row_caja_files()     { file_manager_row 'Caja' caja caja --no-desktop; }
row_nemo_files()     { file_manager_row 'Nemo|Files' nemo nemo; }
row_nautilus_files() { file_manager_row 'Files|Nautilus' nautilus nautilus --new-window; }
row_dolphin_files()  { file_manager_row 'Dolphin' dolphin dolphin; }
