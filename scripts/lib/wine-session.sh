# shellcheck shell=bash
# Sourced by the scripts: an Xvfb display (unless one is given), a Wine prefix for the build tree
# and one wineserver kept alive for the whole run. Everything started here is ended by its pid.
# The x86_64 build runs in a win64 prefix, the shipped i686 build in a win32 prefix of its own.

session_pids=()

# use_wine_arch win32|win64: the loader and prefix kind of the next session.
use_wine_arch() {
    export WINEARCH=$1
    case $1 in
    win32) WINE_LOADER=/usr/lib/wine/wine ;;
    win64) WINE_LOADER=/usr/lib/wine/wine64 ;;
    *) echo "unknown Wine architecture: $1" >&2; return 1 ;;
    esac
}
use_wine_arch win64

# Whether this kernel runs the 32-bit loader at all; the reason goes to NO_32BIT_REASON.
runs_32bit_wine() {
    local probe
    probe=$(/usr/lib/wine/wine --version 2>&1) && return 0
    # shellcheck disable=SC2034 # read by the scripts that source this file
    NO_32BIT_REASON="this kernel cannot run /usr/lib/wine/wine (${probe##*: })"
    return 1
}

end_wine_session() {
    local pid
    # The services Wine started for this prefix outlive a killed server: the server ends them.
    if [ -n "${WINEPREFIX:-}" ] && [ -n "${wineserver_pid:-}" ]; then
        /usr/lib/wine/wineserver -k 2>/dev/null || true
        wait "$wineserver_pid" 2>/dev/null || true
        wineserver_pid=
    fi
    for pid in "${session_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${session_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    session_pids=()
}

free_display_number() {
    local n
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return
        fi
    done
    echo "no free X display number" >&2
    return 1
}

start_xvfb() {
    local geometry=${1:-1280x1024x24} n deadline
    n=$(free_display_number)
    Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp >/dev/null 2>&1 &
    session_pids+=("$!")
    export DISPLAY=":$n"
    deadline=$((SECONDS + 20))
    until xdpyinfo >/dev/null 2>&1; do
        if [ $SECONDS -ge $deadline ]; then
            echo "Xvfb on $DISPLAY did not come up" >&2
            return 1
        fi
        sleep 0.1
    done
}

# A prefix is made once per build tree; later runs reuse it.
prepare_wine_prefix() {
    local prefix=$1 here
    here=$(dirname "${BASH_SOURCE[0]}")
    export WINEPREFIX=$prefix WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    # Made again whenever the settings it was made with change.
    if ! cmp -s "$here/test-prefix.reg" "$prefix/.carrier-settings.reg" ||
        [ "$(cat "$prefix/.carrier-arch" 2>/dev/null)" != "$WINEARCH" ]; then
        rm -rf "$prefix"
        "$WINE_LOADER" wineboot -i >/dev/null 2>&1
        "$WINE_LOADER" regedit /S "$(winepath_of "$here/test-prefix.reg")" >/dev/null 2>&1
        # Ends the services the set-up started, so none is left behind.
        /usr/lib/wine/wineserver -k 2>/dev/null || true
        /usr/lib/wine/wineserver -w
        cp "$here/test-prefix.reg" "$prefix/.carrier-settings.reg"
        echo "$WINEARCH" >"$prefix/.carrier-arch"
    fi
}

winepath_of() {
    local path
    path=$(readlink -f "$1")
    echo "Z:${path//\//\\}"
}

# One persistent wineserver; its services start here, not inside the test runner's pipe.
start_wineserver() {
    /usr/lib/wine/wineserver -f -p >/dev/null 2>&1 &
    wineserver_pid=$!
    session_pids+=("$wineserver_pid")
    "$WINE_LOADER" cmd /c exit >/dev/null 2>&1 </dev/null
}

# start_wine_session BUILD_DIR [GEOMETRY [PREFIX]]: a given geometry always gets its own Xvfb.
start_wine_session() {
    local geometry=${2:-} prefix=${3:-$1/wineprefix}
    trap end_wine_session EXIT
    if [ -z "${DISPLAY:-}" ] || [ -n "$geometry" ]; then
        start_xvfb "${geometry:-1280x1024x24}"
    fi
    prepare_wine_prefix "$prefix"
    start_wineserver
}
