# A plain Tk text editor: opens the file named, saves it with Ctrl+S, exactly as the widget holds it.
set path [lindex $argv 0]
wm title . "tk_editor [file tail $path]"
text .t -width 80 -height 24 -undo 1
pack .t -fill both -expand 1
set in [open $path r]
fconfigure $in -encoding utf-8 -translation lf
.t insert 1.0 [read $in]
close $in
.t mark set insert 1.0
focus .t
proc save {} {
    global path
    set out [open $path w]
    fconfigure $out -encoding utf-8 -translation lf
    puts -nonewline $out [.t get 1.0 end-1c]
    close $out
}
bind .t <Control-s> {save; break}
