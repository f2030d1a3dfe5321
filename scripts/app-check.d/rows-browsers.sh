# Browsers full screen (kiosk mode has no context menu) on a local page whose parts sit at fixed places: a paragraph selected
# by a triple click (text with its HTML), a link and a picture copied from the context menu.
# What the page receives back shows in its title.

all_rows+=(firefox-text firefox-link firefox-image chromium-text chromium-link chromium-image)

page_ready() { # folder
    cp "$libdir/page.html" "$1/page.html"
    [ -e "$1/pic.png" ] || convert -size 128x96 gradient:'#d03030-#3040c0' -depth 8 "$1/pic.png"
}

start_browser() { # which; sets window
    local folder=$docs/web
    mkdir -p "$folder"
    page_ready "$folder"
    case "$1" in
        firefox)
            needs firefox-esr || return 1
            mkdir -p "$work/firefox-profile"
            cat >"$work/firefox-profile/user.js" <<'JS'
user_pref("browser.aboutwelcome.enabled", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.tabs.warnOnClose", false);
JS
            start_app firefox-esr --new-instance --no-remote --profile "$work/firefox-profile" "file://$folder/page.html"
            window=$(find_window 'firefox|Navigator' 60) ;;
        chromium)
            needs chromium || return 1
            start_app chromium --no-sandbox --test-type --no-first-run --no-default-browser-check --password-store=basic \
                --user-data-dir="$work/chromium-profile" --start-fullscreen "file://$folder/page.html"
            window=$(find_window 'chromium' 60) ;;
    esac
    [ -n "$window" ] || { row_reason "no $1 window appeared"; return 1; }
    sleep 4
    focus "$window"
    [ "$1" = firefox ] && hold F11 && sleep 2
    return 0
}

# The page's title after a paste into the text box or the picture box.
page_title_says() { # window, expected title start
    local window=$1 start=$2
    wait_until 6 eval '[[ "$(xdotool getwindowname "$window")" == "$start"* ]]'
}

pasted_text() { # window: the text box's value as the title carries it
    xdotool getwindowname "$1" | python3 -c 'import sys, urllib.parse
t = sys.stdin.read().rstrip("\n")
t = t.split(" \u2014 ")[0].split(" - Chromium")[0]
sys.stdout.write(urllib.parse.unquote(t[2:]) if t.startswith("P:") else "")'
}

browser_row() { # which, what (text|link|image), source pattern
    local which=$1 what=$2 pattern=$3 window before
    start_browser "$which" || return
    row_note="$which: $what copied on a local page"
    before=$(newest_clip)
    case "$what" in
        text)
            xdotool mousemove --window "$window" 60 35 click --repeat 3 --delay 110 1
            sleep 0.3
            hold ctrl+c ;;
        link|image)
            if [ "$what" = link ]; then xdotool mousemove --window "$window" 60 112; else xdotool mousemove --window "$window" 80 200; fi
            sleep 0.2
            xdotool click 3
            sleep 0.8
            screenshot "$row-menu"
            case "$which:$what" in
                firefox:link) keys l ;;                       # Copy _Link
                firefox:image) keys y ;;                      # Cop_y Image
                chromium:link) keys Up Up Return ;;           # Copy link address, above Inspect
                chromium:image) keys Down Down Down Return ;; # Copy image, third
            esac ;;
    esac
    take_clip "$before" "$pattern" || return
    case "$what" in
        text|link)
            if ! offered UTF8_STRING "$work/$row.expected"; then offered text/plain "$work/$row.expected"; fi
            [ "$what" = link ] && printf '%s' 'https://example.org/budget?year=2024' >"$work/$row.expected"
            check_text "$work/$row.expected"
            [ "$what" = text ] && r_exact[$row]="${r_exact[$row]}$(has_rich_text)"
            xdotool mousemove --window "$window" 100 340 click 1
            sleep 0.3
            drawer_paste "$window"
            pasted_text "$window" >"$work/$row.pasted"
            r_paste[$row]=$(compare_text "$work/$row.expected" "$work/$row.pasted") && r_paste[$row]=arrived ;;
        image)
            check_image "$docs/web/pic.png"
            xdotool mousemove --window "$window" 100 500 click 1
            sleep 0.3
            drawer_paste "$window"
            if page_title_says "$window" "IMG:128x96"; then r_paste[$row]=arrived; else r_paste[$row]="NO: $(xdotool getwindowname "$window")"; fi ;;
    esac
}

# ", with HTML" when the clip keeps its rich form.
has_rich_text() {
    local bytes
    bytes=$(store "SELECT length(rtfData) FROM ClipItem WHERE pk = $clip_pk")
    if [ -n "$bytes" ] && [ "$bytes" -gt 0 ]; then echo ", rich form kept"; else echo ", NO rich form"; fi
}

row_firefox_text()   { browser_row firefox text 'Firefox'; }
row_firefox_link()   { browser_row firefox link 'Firefox'; }
row_firefox_image()  { browser_row firefox image 'Firefox'; }
row_chromium_text()  { browser_row chromium text 'Chromium'; }
row_chromium_link()  { browser_row chromium link 'Chromium'; }
row_chromium_image() { browser_row chromium image 'Chromium'; }
