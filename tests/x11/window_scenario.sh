#!/usr/bin/env bash
# The desktop window in a real X server with a window manager (Xvfb and Openbox), driven with
# xdotool as a user drives it: simulate, close the Plot and Result windows with their close
# boxes, run Simulate and Time again (both windows come back), open a dialog, click the frame,
# open the dialog again from the menu (it must be the active window, above the frame), save the
# plot and export the curve under names with a dot inside, import an instrument's export through
# the file dialog and the import dialog, and leave by File > Exit, which must end the program with
# exit status 0.
#   tests/x11/window_scenario.sh build/kivex
# Exit status 77 (a skipped test) when a tool it needs is missing.
set -euo pipefail
kivex=$1
for tool in Xvfb openbox xdotool xwininfo xprop import; do
  command -v "$tool" >/dev/null || { echo "window scenario: $tool missing, skipped"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
say() { echo "window scenario: $*"; }
fail() {
  echo "window scenario: FAILED: $*" >&2
  cat "$work/kivex.log" "$work/openbox.log" >&2 2>/dev/null || true
  exit 1
}
# poll SECONDS COMMAND...: runs COMMAND until it succeeds.
poll() {
  local until=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$until" ] || return 1
    sleep 0.05
  done
}

# A server on a free display, its number written by Xvfb itself.
Xvfb -displayfd 3 -screen 0 1280x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
poll 30 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
# Under load the server may announce its number a moment before it takes connections; wait for a
# client to get through, and start the window manager again if it gave up meanwhile.
poll 30 xprop -root >/dev/null 2>&1 || { cat "$work/xvfb.log" >&2; fail "Xvfb takes no connection"; }
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
for attempt in 1 2 3; do
  openbox >"$work/openbox.log" 2>&1 &
  wm=$!
  pids+=($wm)
  until=$((SECONDS + 30))
  until wm_running || ! kill -0 "$wm" 2>/dev/null || [ "$SECONDS" -ge "$until" ]; do sleep 0.05; done
  wm_running && break
  say "the window manager did not start (attempt $attempt)"
done
poll 30 wm_running || fail "no window manager"

# Sanitizer builds run this too; a leak report at exit is not what this scenario checks. The
# program goes to this X server whatever platform the caller's environment names (the offscreen
# one the window tests use would show nothing here).
QT_QPA_PLATFORM=xcb ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
  "$kivex" >"$work/kivex.log" 2>&1 &
app=$!
pids+=($app)
main=$(timeout 30 xdotool search --sync --name '^Kivex for Windows$' | head -n1) ||
  fail "the main window did not appear"
alive() { kill -0 "$app" 2>/dev/null || fail "the program died: $1"; }

# A menu command by its access keys, as typed.
menu() {
  xdotool windowactivate --sync "$main"
  xdotool key --clearmodifiers "alt+$1"
  sleep 0.3  # the menu opens
  xdotool key "$2"
}

# The client area's corner on the screen; the child windows' title bars lie at fixed offsets
# from it (Plot at 0,0 640 wide, Result at 650,0 440 wide, below the menu bar).
origin() {
  eval "$(xwininfo -id "$main" | awk '/Absolute upper-left X/{print "mx="$4} /Absolute upper-left Y/{print "my="$4}')"
}
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | tail -n1 | awk '{print $3}'; }
background() { pixel $((mx + 1000)) $((my + 700)); }  # the empty area of the frame
title_shown() { [ "$(pixel $(($1 + mx)) $((my + 30)))" != "$(background)" ]; }
title_gone() { ! title_shown "$1"; }
plot_title=300
result_title=800

origin
menu r s
poll 10 title_shown $plot_title || fail "Simulate showed no plot"
menu d t
poll 10 title_shown $result_title || fail "Time showed no result window"
say "simulated; Plot and Result windows shown"

xdotool mousemove $((mx + 625)) $((my + 30)) click 1  # the Plot window's close box
poll 5 title_gone $plot_title || fail "the Plot window's close box did not close it"
xdotool mousemove $((mx + 1075)) $((my + 30)) click 1  # the Result window's close box
poll 5 title_gone $result_title || fail "the Result window's close box did not close it"
alive "after the close boxes"
menu r s
poll 10 title_shown $plot_title || { alive "at Simulate after closing the Plot window"; fail "no plot"; }
menu d t
poll 10 title_shown $result_title || { alive "at Time after closing the Result window"; fail "no result window"; }
alive "after Simulate and Time"
say "both windows closed with their close boxes came back"

menu i t
dialog=$(timeout 10 xdotool search --sync --name '^Techniques$' | head -n1) || fail "no Techniques dialog"
xprop -id "$dialog" WM_TRANSIENT_FOR | grep -q "window id" || fail "the dialog has no transient parent"
xdotool mousemove $((mx + 1000)) $((my + 700)) click 1  # the frame
poll 5 sh -c "[ \"\$(xdotool getactivewindow)\" = $main ]" || fail "a click on the frame did not activate it"
# stacked_above LOWER UPPER: the window manager stacks UPPER above LOWER.
stacked_above() {
  local order="" id
  for id in $(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'); do
    [ $((id)) -eq "$1" ] && order="${order}l"
    [ $((id)) -eq "$2" ] && order="${order}u"
  done
  [ "$order" = lu ]
}
stacked_above "$main" "$dialog" || fail "a click on the frame buried the dialog"
menu i t
poll 5 sh -c "[ \"\$(xdotool getactivewindow)\" = $dialog ]" || fail "the menu did not bring the dialog to the front"
say "the dialog stays above the frame and its menu command activates it"
say "$(xdotool getwindowgeometry "$dialog" | tr '\n' ' ')"

# A window by its exact name, searched for again while windows come and go (a search that meets
# a window being destroyed ends in an X error).
find_window() {
  poll 10 sh -c "xdotool search --name '^$1\$' 2>/dev/null | head -n1 > '$work/found' && test -s '$work/found'" &&
    head -n1 "$work/found"
}

# Names with a dot inside (a scan rate): the plot saved as SVG from its context menu and the curve
# exported get the format's extension, and hold that format. Before the import, whose long lines
# widen the Result window over the Plot window.
xdotool mousemove $((mx + 320)) $((my + 280)) click 3  # inside the Plot window
sleep 0.3                                              # the context menu opens
xdotool key Down Down Return                           # Copy, Save as SVG...
size_dialog=$(find_window 'Picture size') || fail "Save as SVG asked for no size"
xdotool windowactivate --sync "$size_dialog"
xdotool key Return
save_dialog=$(find_window 'Save the plot') || fail "Save as SVG showed no file dialog"
xdotool windowactivate --sync "$save_dialog"
xdotool type --delay 10 "$work/cv_0.1Vs"
xdotool key Return
poll 10 test -s "$work/cv_0.1Vs.svg" || fail "the plot was not saved as cv_0.1Vs.svg"
head -c 300 "$work/cv_0.1Vs.svg" | grep -q '<svg' || fail "cv_0.1Vs.svg holds no SVG"
[ ! -e "$work/cv_0.1Vs" ] || fail "the plot was saved without its extension"
menu f e
export_dialog=$(find_window 'Save As') || fail "Export showed no file dialog"
xdotool windowactivate --sync "$export_dialog"
xdotool type --delay 10 "$work/scan_0.1Vs"
xdotool key Return
poll 10 test -s "$work/scan_0.1Vs.csv" || fail "the curve was not exported as scan_0.1Vs.csv"
alive "after the saves"
say "cv_0.1Vs and scan_0.1Vs were saved as .svg and .csv"

# An instrument's export: the file dialog takes its path, the import dialog offers the columns
# the headings name and the portion, and OK imports it.
cp "$(dirname "$0")/../../examples/data/cv_export_uA.txt" "$work/export.txt"
menu f i
open_dialog=$(find_window Open) || fail "Import showed no file dialog"
xdotool windowactivate --sync "$open_dialog"
xdotool type --delay 10 "$work/export.txt"
xdotool key Return
import_dialog=$(find_window Import) ||
  { alive "at the import dialog"; fail "the file showed no import dialog"; }
xdotool windowactivate --sync "$import_dialog"
xdotool key Return
poll 10 sh -c "! xdotool search --name '^Import\$' >/dev/null" || fail "OK did not close the import dialog"
alive "after the import"
say "an instrument's export went through the file and import dialogs"

# A long Simulate (analytical differential pulse of 1000 pulses a period through 100 ohm, about
# 20 s on this machine) stops at Esc pressed in a dialog that the work has locked, and again at
# the progress window's Cancel; the progress window stays above the dialog the user clicks.
# click_in WINDOW X Y: a click at X,Y inside WINDOW's client area, the window brought to the front
# and laid out first.
click_in() {
  xdotool windowactivate --sync "$1" 2>/dev/null || true
  sleep 0.2
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/{print "wx="$4} /Absolute upper-left Y/{print "wy="$4}')"
  xdotool mousemove $((wx + $2)) $((wy + $3)) click 1
  sleep 0.2
}
# set_field WINDOW X Y TEXT: replaces the text of the box at X,Y.
set_field() {
  click_in "$1" "$2" "$3"
  xdotool key ctrl+a
  xdotool type --delay 10 "$4"
}
# ok_in WINDOW: the button at its lower right corner (OK, Cancel) whatever the window's size.
ok_in() {
  eval "$(xwininfo -id "$1" | awk '/Width/{print "ww="$2} /Height/{print "wh="$2}')"
  click_in "$1" $((ww - 52)) $((wh - 22))
}
menu i t
techniques=$(find_window Techniques) || fail "no Techniques dialog"
click_in "$techniques" 30 128  # 4) Differential pulse voltammetry
ok_in "$techniques"
menu i m
mechanism=$(find_window Mechanism) || fail "no Mechanism dialog"
click_in "$mechanism" 18 20 # Digital simulation, off
sleep 0.3 # the dialog shrinks to the analytical mechanisms
ok_in "$mechanism"
menu i i
instrument=$(find_window Instrument) || fail "no Instrument dialog"
set_field "$instrument" 175 108 0.0005 # t pulse
set_field "$instrument" 175 196 100    # R u
ok_in "$instrument"
menu i c
chemicals=$(find_window Chemicals) || fail "no Chemicals dialog"
stopped_within() { # SECONDS: the progress window shown by Simulate goes within SECONDS
  poll "$1" sh -c "! xdotool search --onlyvisible --name '^Simulate\$' >/dev/null"
}
menu r s
progress=$(poll 10 sh -c "xdotool search --onlyvisible --name '^Simulate\$' | head -n1 | grep .") ||
  { alive "at a long Simulate"; fail "a long Simulate showed no progress window"; }
click_in "$chemicals" 20 20 # a locked dialog, clicked
stacked_above "$chemicals" "$progress" || fail "a click on a locked dialog put it above the progress window"
xdotool key Escape
stopped_within 5 || fail "Esc in a locked dialog did not stop the simulation"
alive "after Esc"
menu r s
progress=$(poll 10 sh -c "xdotool search --onlyvisible --name '^Simulate\$' | head -n1 | grep .") ||
  fail "Simulate again showed no progress window"
ok_in "$progress" # its Cancel, where a dialog has its OK
stopped_within 5 || fail "Cancel did not stop the simulation"
alive "after Cancel"
say "a long Simulate stopped at Esc in a locked dialog and at Cancel"

menu f x
poll 10 sh -c "! kill -0 $app 2>/dev/null" || fail "File > Exit did not end the program"
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
say "File > Exit ended the program with status 0"
