# Shared by the scripts: installing what is missing, the virtual display and the Wine prefix.
# Source it; it sets ROOT (the repository) and BUILD (its build tree).

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# VANTREL_BUILD moves the build tree (and its Wine prefix) elsewhere, e.g. for a second checkout.
BUILD="${VANTREL_BUILD:-$ROOT/build}"
mkdir -p "$BUILD"
BUILD=$(cd "$BUILD" && pwd)
# Wine takes the encoding of arguments and file names, and its own language, from the
# locale: under C it cannot pass "Müller" or create "Übersicht.sc", and another
# language renames notepad's window. Debian always has C.UTF-8 (code page 1252).
export LC_ALL=C.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
# VANTREL_ARCH picks the Windows build the Wine scripts run: 64 (x86-64, the default)
# or 32 (i686, in a 32-bit prefix, as on 32-bit Windows). use_arch switches later.
use_arch() {  # 64 | 32 [prefix]
    case $1 in
        64) WIN_PRESET=mingw64 WINEARCH=win64 WINEPREFIX=${2:-$BUILD/wineprefix} ;;
        32) WIN_PRESET=mingw32 WINEARCH=win32 WINEPREFIX=${2:-$BUILD/wineprefix32} ;;
        *) echo "VANTREL_ARCH must be 64 or 32, not $1" >&2; return 2 ;;
    esac
    VANTREL_ARCH=$1
    export VANTREL_ARCH WINEARCH WINEPREFIX
}
use_arch "${VANTREL_ARCH:-64}" "${WINEPREFIX:-}" || exit 2

log() { printf '==> %s\n' "$*"; }

# The one wait of the scripts: retries a check every tenth of a second until it
# holds or the seconds (a whole number) have passed. Bounds only end a hung run;
# nothing is judged by how long it took.
wait_for() {  # seconds command...
    local tries=$(($1 * 10)) i
    shift
    for ((i = 0; i < tries; i++)); do "$@" && return 0; sleep 0.1; done
    "$@"
}

# The program's version, as the build gives it to the exe.
project_version() { sed -n 's/^project(Vantrel VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt"; }

# Installs the Debian packages that are not there yet (name:i386 for 32-bit ones).
ensure_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing ${missing[*]}"
    local sudo=() apt=(env DEBIAN_FRONTEND=noninteractive apt-get) try
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386
    fi
    # A mirror caught mid-sync serves an index that does not match its listing; a
    # second update a little later usually finds it whole. Either way the install is
    # tried, and what failed is said.
    for try in 1 2 3; do
        "${sudo[@]}" "${apt[@]}" update -qq >"$BUILD/apt-update.log" 2>&1 && break
        log "apt-get update failed (try $try of 3):"
        grep -E '^(E|W):' "$BUILD/apt-update.log" | sed 's/^/    /'
        [ $try -lt 3 ] && sleep 20
    done
    if ! "${sudo[@]}" "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >"$BUILD/apt-install.log" 2>&1; then
        grep -E '^(E|W):' "$BUILD/apt-install.log" | sed 's/^/    /'
        log "apt-get could not install ${missing[*]} (log: $BUILD/apt-install.log)"
        return 1
    fi
}

# The version of clang that is installed, which its sanitizer runtimes must match
# (Debian 12 has 14, Debian 13 has 19).
clang_major() { clang --version 2>/dev/null | sed -n 's/.*clang version \([0-9]*\)\..*/\1/p' | head -n 1; }

BUILD_PACKAGES=(cmake g++ ninja-build googletest mingw-w64 ca-certificates clang-format)
# Wine's own fonts and the metric-compatible ones it recommends: without them its
# caption buttons and dialogs are drawn in other fonts (see prepare_wineprefix).
WINE_PACKAGES=(wine64 wine wine32:i386 fonts-wine fonts-liberation xvfb xdotool x11-utils x11-xkb-utils xauth
    imagemagick procps)
# wixl builds the installer package, msibuild (msitools) amends it, zip packs the
# portable copy; unzip and msiinfo read them back in the tests. osslsigncode signs
# with Authenticode; openssl makes the tests' throwaway certificate; xmllint
# (libxml2-utils) parses the Group Policy templates.
PACKAGE_TOOLS=(wixl msitools zip unzip osslsigncode openssl libxml2-utils)

# Configures and builds one preset quietly; the log is kept under the build tree.
build_preset() {
    local preset=$1
    mkdir -p "$BUILD"
    local logf="$BUILD/$preset.build.log"
    if ! (cd "$ROOT" && cmake --preset "$preset" -B "$BUILD/$preset" && cmake --build "$BUILD/$preset" -j "$(nproc)") >"$logf" 2>&1; then
        tail -n 60 "$logf"
        log "build of $preset failed (log: $logf)"
        return 1
    fi
}

XVFB_PID=""
# Starts Xvfb on a free display and exports DISPLAY. Another run may take the same
# free display at the same moment; then ours exits, and the next one is tried: keys
# and windows must never land on somebody else's display.
start_xvfb() {
    local n i
    for n in $(seq 91 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$BUILD/xvfb.log" 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for ((i = 0; i < 100; i++)); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            if [ "$(cat "/tmp/.X$n-lock" 2>/dev/null | tr -d ' \n')" = "$XVFB_PID" ] && xdpyinfo >/dev/null 2>&1; then
                # Ctrl+Alt+F-keys are console switches to the X server unless told otherwise.
                setxkbmap -option srvrkeys:none >/dev/null 2>&1 || true
                return 0
            fi
            sleep 0.1
        done
        stop_xvfb
    done
    log "Xvfb did not start"
    return 1
}

stop_xvfb() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

# Debian's wine command starts its 32-bit loader whenever wine32 is installed, and a
# kernel without 32-bit emulation (ia32_emulation off) refuses that with "Exec format
# error". There 64-bit programs are started through the 64-bit loader, and 32-bit ones
# cannot run at all: can_run_32 says which.
can_run_32() { [ ! -x /usr/lib/wine/wine ] || /usr/lib/wine/wine --version >/dev/null 2>&1; }
use_runnable_wine() {
    can_run_32 && return 0
    local shim="$BUILD/wine64-loader"
    mkdir -p "$shim"
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine"
    chmod +x "$shim/wine"
    ln -sf wine "$shim/wine-stable"
    case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
}

# Creates the test prefix once per build tree; later runs reuse it. The marker's number
# changes when an older prefix can no longer serve (one made before 32-bit Wine was
# installed does not start 64-bit programs once it is).
prepare_wineprefix() {
    use_runnable_wine
    if [ "$WINEARCH" = win32 ] && ! can_run_32; then
        log "this kernel runs no 32-bit programs (32-bit emulation is off): no 32-bit prefix"
        return 1
    fi
    if [ ! -f "$WINEPREFIX/.vantrel-ready-3" ]; then
        log "creating Wine prefix in $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        timeout 180 wineboot --init >"$BUILD/wineboot.log" 2>&1 || { log "wineboot failed"; return 1; }
        timeout 60 wineserver -w || true
        # A crashing program must never block a run with a dialog.
        timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        timeout 60 wineserver -w || true
        # Without a window manager Wine waits about 2 s for each captioned window it
        # hides or destroys; unmanaged windows need no such confirmation.
        timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        timeout 60 wineserver -w || true
        touch "$WINEPREFIX/.vantrel-ready-3"
    fi
    # Debian's Wine 8 never looks into its own font folder (fonts-wine): without its
    # Marlett and Tahoma, caption buttons read "0 1 r" and dialogs use another font.
    # Fonts in the prefix's Windows folder are found.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -d /usr/share/wine/fonts ] && [ ! -f "$fonts/marlett.ttf" ]; then
        mkdir -p "$fonts" && cp /usr/share/wine/fonts/* "$fonts/"
    fi
    # Start the server ourselves, detached from our output, so it never holds a pipe open.
    wineserver -p60 </dev/null >/dev/null 2>&1
}

stop_wine() {
    timeout 20 wineserver -k >/dev/null 2>&1 || true
}
