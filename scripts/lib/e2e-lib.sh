# Helpers of the end-to-end scripts: checks, the runner's record, vantrel.exe's
# process, and the tray icon and its menu driven with the mouse. Source after
# common.sh and desktop.sh.

PASSED=0
FAILED=0
CURRENT=""
scenario() { CURRENT=$1; printf -- '--- %s\n' "$1"; }
# A check that cannot run here; scripts/test lists it, and fails unless it is expected.
skip() {  # id reason
    printf '  SKIP %s: %s\n' "$1" "$2"
}
check() {  # what actual expected
    if [ "$2" == "$3" ]; then
        PASSED=$((PASSED + 1))
    else
        FAILED=$((FAILED + 1))
        printf '  FAIL [%s] %s\n    got:  %s\n    want: %s\n' "$CURRENT" "$1" "$2" "$3"
    fi
}
check_ok() {  # what command... (returns whether it held)
    local what=$1
    shift
    if "$@"; then PASSED=$((PASSED + 1)); else
        FAILED=$((FAILED + 1))
        printf '  FAIL [%s] %s\n' "$CURRENT" "$what"
        return 1
    fi
}

# A scripts folder a test made unwritable must not outlive it (nor block removing the prefix).
cleanup() { stop_started; chattr -i "$SCRIPTS_DIR" 2>/dev/null; }
trap cleanup EXIT

DOC_LOG="$STANDIN_DIR/doccenter.log"
SCRIPT_FILE="$SCRIPTS_DIR/brisklet.sc"
RUNNER_CMDLINE='C:\program files\tallowin\scripts\brisklet.exe C:\program files\tallowin\scripts\brisklet.sc'
VK_F11=122
VK_F12=123

# The program's diagnostic log, in the user's local application data. Wine names
# the profile after the Unix user; asking Wine here would start its server before
# the caller has prepared the prefix.
LOCAL_APPDATA="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local"
VANTREL_LOG="$LOCAL_APPDATA/Vantrel/Vantrel.log"
# Where a program without a manifest had its writes to the scripts folder redirected.
VIRTUAL_SCRIPT="$LOCAL_APPDATA/VirtualStore/Program Files/Tallowin/scripts/brisklet.sc"
logged() { [ -f "$VANTREL_LOG" ] && grep -qF -- "$1" "$VANTREL_LOG"; }
log_lines_since() {  # line number -> the events after it, without their time stamps
    tail -n +"$(($1 + 1))" "$VANTREL_LOG" 2>/dev/null | tr -d '\r' | cut -d" " -f4-
}
log_length() { [ -f "$VANTREL_LOG" ] && wc -l <"$VANTREL_LOG" || echo 0; }

wait_runs() {  # count seconds
    local i
    wait_for "$2" runs_at_least "$1"
}
hex_of() { printf '%b' "$1" | od -An -tx1 -v | tr -d ' \n'; }
now_us() { date +%s%6N; }
# Whether Document Center was activated after the given time.
activated_since() {  # microseconds
    awk -v t="$1" '$1 >= t && $2 == "activate" {found=1} END{exit !found}' "$DOC_LOG"
}

# A copy that is still going holds the hotkey, and the new one's registration would be
# refused (silently, as it must be): start only once the keys the tests use are free.
start_vantrel() {
    probe wait-hotkey 0 $VK_F11 15000 free >/dev/null ||
        echo "    (F11 is still held by another program at this start)"
    probe wait-hotkey 0 $VK_F12 5000 free >/dev/null ||
        echo "    (F12 is still held by another program at this start)"
    wine_start vantrel "$VANTREL_EXE"
}
# Waits until the program holds the combination. The check registers it itself for a
# moment, and a program arming it in that moment is refused (silently, as it must be),
# so the check starts only once the program is past its arming: at start its tray icon
# is shown (it is added just before the hotkey is armed); after a dialog, the dialog is
# gone (the caller waits for that).
wait_armed() {  # mods vk milliseconds
    wait_for 20 tray_icon_shown
    sleep 0.3
    probe wait-hotkey "$1" "$2" "$3" held
}
vantrel_running() { [ -n "${PID_OF[vantrel]:-}" ] && kill -0 "${PID_OF[vantrel]}" 2>/dev/null; }
wait_vantrel_exit() {  # seconds
    local i
    wait_for "$1" eval '! vantrel_running'
}
# Ends the program as the system would (WM_CLOSE unloads the main window), killing it
# only when that does not work.
stop_vantrel() {
    if vantrel_running; then
        probe close Vantrel >/dev/null 2>&1
        wait_vantrel_exit 10 || true
    fi
    wine_stop vantrel
    probe wait-hotkey 0 $VK_F11 15000 free >/dev/null
    # Wine hides the tray lazily; the next start looks for its own icon there.
    wait_for 5 tray_icon_gone || true
}

# Wine's tray misses a press and release that arrive together: click as a hand would.
slow_click() {  # x y button
    xdotool mousemove "$1" "$2" sleep 0.2 mousedown "$3" sleep 0.15 mouseup "$3"
}

# The tray icon's place: Wine shows icons in its own small window when there is no task bar.
tray_click() {  # button (1 left, 3 right)
    local w geo x y
    w=$(tray_window)
    [ -n "$w" ] || return 1
    # Other windows may cover it; a user would see to that first.
    xdotool windowraise "$w"
    sleep 0.2
    # The first icon sits at the left of the window's client area, under Wine's own
    # caption (windows are unmanaged in the test prefix).
    geo=$(xwininfo -id "$w" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /^ +Height/{h=$NF} END{print x, y + h}')
    read -r x y <<<"$geo"
    TRAY_X=$((x + 12))
    TRAY_Y=$((y - 14))
    slow_click "$TRAY_X" "$TRAY_Y" "$1"
}
# The popup menu: an unnamed, viewable X window of menu size (the pointer's place
# as Wine last saw it decides where it opens, so it is looked up, not assumed), other
# than Wine 10's tray, which is unnamed as well.
menu_origin() {
    local w tray
    tray=$(printf '0x%x' "$(tray_window)" 2>/dev/null)
    for w in $(xwininfo -root -children | awk '/^ +0x/ && (/has no name/ || /^ +0x[0-9a-f]+ "":/) {print $1}'); do
        [ "$((w))" = "$((tray))" ] && continue
        xwininfo -id "$w" | awk '
            /Map State/ {viewable = ($3 == "IsViewable")}
            /Absolute upper-left X/ {x = $NF}
            /Absolute upper-left Y/ {y = $NF}
            /^ +Width/ {wd = $NF}
            /^ +Height/ {ht = $NF}
            END {if (viewable && wd > 30 && wd < 250 && ht > 40 && ht < 120) {print x, y; exit 0} exit 1}' &&
            return 0
    done
    return 1
}
# Chooses an item of the tray menu with the mouse, as a user would.
tray_menu() {  # Settings | Exit | About
    local i origin="" mx my dy
    tray_click 3 || return 1
    wait_for 3 eval 'menu_origin >/dev/null' && origin=$(menu_origin)
    [ -n "$origin" ] || { echo "  (no tray menu appeared)"; return 1; }
    read -r mx my <<<"$origin"
    case $1 in
        Settings) dy=10 ;;
        Exit) dy=35 ;;
        About) dy=52 ;;
    esac
    slow_click $((mx + 30)) $((my + dy)) 1
}
# Wine hides its tray window when no icon is left in it.
tray_icon_shown() { tray_window >/dev/null; }
tray_icon_gone() { ! tray_window >/dev/null; }

demo_settings() {  # SaveNext
    store_settings SourceWindow "$NOTEPAD_TITLE" Field last_name AppName AP Hotkey $VK_F11 HotKeyShift 0 SaveNext "$1"
}

expected_script() {  # True|False
    local s='Sub main()\r\nIndex.Field("last_name") = Clipboard\r\ndoevents\r\n'
    [ "$1" = True ] && s+='Index.Save\r\nIndex.nextdocument\r\n'
    s+='Index.setfocuson 1\r\nEnd Sub\r\n\r\n\r\n'
    hex_of "$s"
}


# Chooses a tray menu item and waits for its effect, trying again when the click was
# lost (under Xvfb a window that has just closed can still cover the tray a moment).
tray_command() {  # item check-command...
    local item=$1 attempt
    shift
    for attempt in 1 2 3; do
        tray_menu "$item" && wait_for 5 "$@" && return 0
        xdotool key Escape
        sleep 1
    done
    return 1
}

# Group Policy's values: machine (HKLM) or user (HKCU). The program reads them in the
# 64-bit view, which a 32-bit prefix does not have.
POLICY_VIEW=()
[ "$VANTREL_ARCH" = 64 ] && POLICY_VIEW=(/reg:64)
policy_value() {  # HKLM|HKCU name -> prints the text
    reg_query "$1\\SOFTWARE\\Policies\\Vantrel\\Settings" /v "$2" "${POLICY_VIEW[@]}" |
        sed -n "s/^ *$2 *REG_SZ *//p"
}
# Sets the value (no value: removes the hive's policy key), checks that it took, and
# announces it as Windows does once Group Policy has applied.
set_policy() {  # HKLM|HKCU [name value]
    local try
    for try in 1 2 3; do
        if [ $# -ge 3 ]; then
            timeout 60 wine reg add "$1\\SOFTWARE\\Policies\\Vantrel\\Settings" /v "$2" /d "$3" /f "${POLICY_VIEW[@]}" >/dev/null 2>&1
            [ "$(policy_value "$1" "$2")" = "$3" ] && break
        else
            timeout 60 wine reg delete "$1\\SOFTWARE\\Policies\\Vantrel" /f "${POLICY_VIEW[@]}" >/dev/null 2>&1
            reg_query "$1\\SOFTWARE\\Policies\\Vantrel" "${POLICY_VIEW[@]}" >/dev/null
            [ $? -eq 1 ] && break
        fi
        echo "  (the policy did not reach the registry, try $try of 3)"
    done
    probe setting-change Policy
}
# A press with notepad's first word selected; prints the field and value Document
# Center got.
press_field() {  # text
    local before word=${1%% *}
    before=$(runs)
    notepad_text "$1" 0 "${#word}"
    press F11
    wait_runs $((before + 1)) 15 && last_record op | head -n 1 | cut -f2,3 | tr '\t' ' '
}
