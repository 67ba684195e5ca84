#!/usr/bin/env bash
# The desktop program under a real X server and window manager, driven by
# keys as a user drives it. Menu shortcuts go through the window system here,
# which the offscreen platform of the other tests does not do: a message box
# opened while Alt+F was being handled once ended the program.
#
# Usage: keyboard_session_test.sh OSTREL2_PROGRAM
# Exit status 77 (skipped) when Xvfb, openbox or xdotool is missing.
set -u
program="$1"
for tool in Xvfb openbox xdotool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null
    [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
    [ -n "${xserver:-}" ] && kill "$xserver" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A display of our own.
for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xserver=$!
    sleep 1
    if kill -0 "$xserver" 2>/dev/null; then
        export DISPLAY=":$n"
        break
    fi
    unset xserver
done
[ -n "${xserver:-}" ] || { echo "no display could be started"; exit 1; }
openbox >/dev/null 2>&1 &
wm=$!
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

alive() {
    if ! kill -0 "$app" 2>/dev/null; then
        wait "$app"
        echo "FAIL: the program ended (status $?) after: $1"
        tail -n 20 "$work/app.log"
        exit 1
    fi
}
keys() {
    for key in "$@"; do
        xdotool key --clearmodifiers "$key"
        sleep 0.6
    done
}

# Waits until at least n windows captioned "Ostrel2" show (the main window,
# and a message box over it).
windows() {
    local n=$1
    for _ in $(seq 1 120); do
        [ "$(xdotool search --onlyvisible --name '^Ostrel2$' 2>/dev/null | wc -l)" -ge "$n" ] && return 0
        sleep 0.5
    done
    echo "FAIL: fewer than $n windows captioned Ostrel2 showed"
    tail -n 20 "$work/app.log"
    exit 1
}

"$program" "$work/missing.mdb" >"$work/app.log" 2>&1 &
app=$!
# The main window, then the message about the file that is not there.
windows 2
sleep 1
keys Return
alive "the message for a missing database was closed with Enter"
keys alt+f Return
sleep 1
alive "Alt+F, Enter after the message"
keys Escape

# A mistyped path in the database box, then the menus.
xdotool search --onlyvisible --name '^Ostrel2$' windowactivate --sync >/dev/null 2>&1
keys ctrl+a
xdotool type --delay 20 "$work/not-there.mdb"
sleep 0.5
keys alt+h Return
sleep 1
alive "a typed path, then Alt+H, Enter"
keys Escape Escape Return
sleep 1
alive "closing what Help opened"
keys alt+f Return
sleep 1
alive "Alt+F, Enter after a typed path"
keys Escape
alive "the end of the session"
echo "PASS: the program took every key"
