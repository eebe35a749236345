# The Windows desktop the end-to-end scripts work on: Wine on a virtual display with
# Wine's notepad as the source program, the stand-in runner in its fixed folder and
# the stand-in "Document Center". Source common.sh first.

WIN_BIN="$BUILD/$WIN_PRESET"
# VANTREL_EXE tests another build of the program with this tree's tools.
VANTREL_EXE=${VANTREL_EXE:-"$WIN_BIN/vantrel.exe"}
PROBE_EXE="$WIN_BIN/tools/probe/probe.exe"
BRISKLET_EXE="$WIN_BIN/tools/brisklet/brisklet.exe"
DOCCENTER_EXE="$WIN_BIN/tools/doccenter/doccenter.exe"
REFERENCE_EXE="$WIN_BIN/tools/reference/reference.exe"
E2E_DIR="$BUILD/e2e"
SCRIPTS_DIR="$WINEPREFIX/drive_c/Program Files/Tallowin/scripts"
STANDIN_DIR="$WINEPREFIX/drive_c/standins"
# The stand-in runner's record: one block per run, ending in "end".
RUNNER_LOG="$SCRIPTS_DIR/brisklet.log"
runs() { [ -f "$RUNNER_LOG" ] && grep -c '^end$' "$RUNNER_LOG" || echo 0; }
runs_at_least() { [ "$(runs)" -ge "$1" ]; }
# A field of the runner's last record, unescaped only for \\ (enough for paths).
last_record() {  # field
    awk '/^start /{block=""} {block=block $0 "\n"} END{printf "%s", block}' "$RUNNER_LOG" |
        sed -n "s/^$1 //p" | sed 's/\\\\/\\/g'
}
SETTINGS_KEY='HKCU\Software\VB and VBA Program Settings\Vantrel\Settings'
NOTEPAD_TITLE="Untitled - Notepad"

declare -a STARTED_PIDS=()
declare -A PID_OF=()

# Starts a Windows program in the background and remembers its process by name.
wine_start() {  # name exe args...
    local name=$1
    shift
    mkdir -p "$E2E_DIR"
    wine "$@" >"$E2E_DIR/$name.out" 2>&1 &
    STARTED_PIDS+=($!)
    PID_OF[$name]=$!
}

# Stops one program started by wine_start, waiting a bounded time.
wine_stop() {  # name
    local pid=${PID_OF[$1]:-}
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || true
    wait_for 5 eval "! kill -0 $pid 2>/dev/null" || kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    unset "PID_OF[$1]"
}

stop_started() {
    local pid
    for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    sleep 0.3
    for pid in "${STARTED_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
    STARTED_PIDS=()
    PID_OF=()
}

# 0, 1 and 2 are probe's answers; a probe whose Wine did not start or that outlasted
# its timeout on a loaded machine gave none, and is asked again.
probe() {
    local out status try
    for try in 1 2 3; do
        out=$(timeout 60 wine "$PROBE_EXE" "$@")
        status=$?
        [ "$status" -le 2 ] && break
        echo "  (probe $1 gave no answer, try $try of 3)" >&2
    done
    [ -z "$out" ] || printf '%s\n' "$out" | tr -d '\r'
    return "$status"
}

# Puts the stand-in runner where the program looks for it, and Document Center beside.
install_standins() {
    mkdir -p "$SCRIPTS_DIR" "$STANDIN_DIR"
    cp "$BRISKLET_EXE" "$SCRIPTS_DIR/brisklet.exe"
    cp "$DOCCENTER_EXE" "$STANDIN_DIR/doccenter.exe"
    rm -f "$SCRIPTS_DIR/brisklet.log" "$SCRIPTS_DIR/brisklet.sc" "$STANDIN_DIR/doccenter.log"
}

start_doccenter() {
    wine_start doccenter 'C:\standins\doccenter.exe'
    probe wait-window "Document Center" 20000
}

start_notepad() {
    wine_start notepad 'C:\windows\notepad.exe'
    probe wait-window "$NOTEPAD_TITLE" 20000
}

# Gives a window's X window the keyboard focus: without a window manager, keys
# reach Wine only through the focused X window.
x_focus() {  # title
    local w
    w=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$w" ] || return 1
    xdotool windowfocus --sync "$w" 2>/dev/null || xdotool windowfocus "$w"
}

# Presses keys as the user would, on the source program's window.
press() {  # xdotool key names...
    x_focus "$NOTEPAD_TITLE" || return 1
    xdotool key --delay 30 "$@"
}

notepad_text() {  # text [select-start select-end]
    probe set-text "$NOTEPAD_TITLE" 1 "$1" || return 1
    if [ $# -ge 3 ]; then probe select "$NOTEPAD_TITLE" 1 "$2" "$3"; else probe select "$NOTEPAD_TITLE" 1 0 0; fi
}

# Replaces the stored settings; pairs of value name and text. A text of the form
# "@reg:<data>" is written as raw .reg data (e.g. @reg:dword:0000007a, @reg:hex:01,02).
store_settings() {  # name value ...
    clear_settings
    local f="$E2E_DIR/settings.reg"
    mkdir -p "$E2E_DIR"
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[%s]\r\n' 'HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Vantrel\Settings'
        while [ $# -ge 2 ]; do
            if [[ $2 == @reg:* ]]; then
                printf '"%s"=%s\r\n' "$1" "${2#@reg:}"
            else
                local v=${2//\\/\\\\}
                v=${v//\"/\\\"}
                printf '"%s"="%s"\r\n' "$1" "$v"
            fi
            shift 2
        done
    } | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$f"
    # An import that did not take (seen once in hundreds, on a bare Debian 12 root)
    # would test a start without settings instead; try again, and say so.
    local try
    for try in 1 2 3; do
        timeout 60 wine reg import "$(winepath -w "$f" 2>/dev/null)" >/dev/null 2>&1 &&
            reg_query "$SETTINGS_KEY" >/dev/null && return 0
        echo "  (the settings did not reach the registry, try $try of 3)"
    done
    return 1
}

# `wine reg query`, asked again while it gives no answer: on a loaded machine Wine can
# outlast the timeout or fail to start. 0 (found) and 1 (not there) are answers.
reg_query() {  # arguments of reg query
    local out status try
    for try in 1 2 3; do
        out=$(timeout 60 wine reg query "$@" 2>/dev/null)
        status=$?
        [ "$status" -le 1 ] && { printf '%s\n' "$out" | tr -d '\r'; return "$status"; }
        echo "  (wine reg query $1 gave no answer, try $try of 3)" >&2
    done
    return "$status"
}

# The stored settings as the registry holds them, for before/after comparisons: empty
# when nothing is stored (a definite answer). An export that left no file (it outlasted
# its timeout on a loaded machine) is tried again.
export_settings() {  # file
    local try
    for try in 1 2 3; do
        rm -f "$1"
        timeout 60 wine reg export "$SETTINGS_KEY" "$(winepath -w "$1" 2>/dev/null)" /y >/dev/null 2>&1 &&
            [ -s "$1" ] && return 0
        reg_query "$SETTINGS_KEY" >/dev/null
        [ $? -eq 1 ] && { : >"$1"; return 0; }
        echo "  (the settings could not be exported, try $try of 3)"
    done
    : >"$1"
    return 1
}

# Done once the key is seen gone.
clear_settings() {
    local key='HKCU\Software\VB and VBA Program Settings\Vantrel' try
    for try in 1 2 3; do
        timeout 60 wine reg delete "$key" /f >/dev/null 2>&1
        reg_query "$key" >/dev/null
        [ $? -eq 1 ] && return 0
    done
    echo "  (the stored settings could not be removed)"
    return 1
}

stored_setting() {  # name -> prints the text
    reg_query "$SETTINGS_KEY" /v "$1" | sed -n "s/^ *$1 *REG_SZ *//p"
}

# X window of Wine's notification area (icons sit in it when there is no task bar): a
# viewable window of explorer.exe, named "Wine System Tray" by Wine 8 and left unnamed
# by Wine 10; the tooltips of its icons are unnamed too, but lower than an icon.
tray_window() {
    local w
    for w in $(xdotool search --classname '^explorer\.exe$' 2>/dev/null); do
        case $(xdotool getwindowname "$w" 2>/dev/null) in "Wine System Tray" | "") ;; *) continue ;; esac
        xwininfo -id "$w" | awk '/Map State/ {v = ($3 == "IsViewable")} /^ +Height/ {h = $NF} END {exit !(v && h >= 30)}' &&
            { echo "$w"; return 0; }
    done
    return 1
}
