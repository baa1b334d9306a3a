# shellcheck shell=bash
# Sourced by the scripts: an Xvfb display (unless one is given), a Wine prefix for the build tree
# and one wineserver kept alive for the whole run. Everything started here is ended by its pid.
# The x86_64 build runs in a win64 prefix, the shipped i686 build in a win32 prefix of its own: under
# the host's 32-bit Wine, or in an i386 root where the host has none (i386-root.sh).

here_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=runs-32bit.sh
source "$here_lib/runs-32bit.sh"
# shellcheck source=i386-root.sh
source "$here_lib/i386-root.sh"
session_pids=()
entered_root_here=false

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

# wine_exec COMMAND...: a Wine program of the session, inside the i386 root where the session is there.
wine_exec() {
    if [ -n "${CARRIER_I386_ROOT:-}" ] && [ "$WINEARCH" = win32 ]; then
        local wd=$PWD
        [ -d "$CARRIER_I386_ROOT$wd" ] || wd=/
        unshare --root="$CARRIER_I386_ROOT" --wd="$wd" "$@"
    else
        "$@"
    fi
}

# choose_i686_route make|cached: where the shipped exe can run. I686_ROUTE becomes host (the host's
# 32-bit Wine), root (an i386 root, made where needed; with cached only one already made) or none,
# and I686_SKIP_REASON says why not where it is none.
# shellcheck disable=SC2034 # I686_SKIP_REASON is read by the scripts that source this file
choose_i686_route() {
    I686_ROUTE=none
    local why="emulation was asked for"
    if [ -z "${CARRIER_I686_EMULATE:-}" ]; then
        if ! kernel_runs_32bit; then
            why=$KERNEL_32BIT_REASON
        elif [ -x /usr/lib/wine/wine ]; then
            I686_ROUTE=host
            return
        else
            why="32-bit Wine is not installed: /usr/lib/wine/wine is missing"
        fi
    fi
    if [ "$(id -u)" -ne 0 ]; then
        I686_SKIP_REASON="$why; no root for the emulated root (binfmt, mounts and chroot need it)"
    elif [ "$1" = cached ] && ! i386_root_ready; then
        I686_SKIP_REASON="$why; no i386 root is made yet (scripts/test makes it)"
    else
        I686_ROUTE=root
    fi
}

describe_i686_route() {
    case $I686_ROUTE in
    host) echo "on the host" ;;
    root) if $I386_EMULATED; then echo "in the i386 root, emulated by qemu-i386"; else
        echo "in the i386 root, run by this kernel"; fi ;;
    esac
}

# enter_i686_route TREE: what the chosen route needs for a session; else a skip reason and 1.
enter_i686_route() {
    use_wine_arch win32
    [ "$I686_ROUTE" = root ] || return 0
    trap end_wine_session EXIT
    trap 'exit 130' INT TERM
    entered_root_here=true
    enter_i386_root "$1"
}

end_wine_session() {
    local pid
    # The services Wine started for this prefix outlive a killed server: the server ends them.
    if [ -n "${WINEPREFIX:-}" ] && [ -n "${wineserver_pid:-}" ]; then
        wine_exec /usr/lib/wine/wineserver -k 2>/dev/null || true
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
    if $entered_root_here; then
        leave_i386_root
        entered_root_here=false
    fi
}

# Xvfb picks a free display number itself and writes it once it takes connections: two suites side
# by side never race for one.
start_xvfb() {
    local geometry=${1:-1280x1024x24} number_file fd n="" deadline
    number_file=$(mktemp)
    exec {fd}>"$number_file"
    Xvfb -displayfd "$fd" -screen 0 "$geometry" -nolisten tcp >/dev/null 2>&1 &
    session_pids+=("$!")
    exec {fd}>&-
    deadline=$((SECONDS + 20))
    # A whole line: read fails until the newline is written.
    until read -r n <"$number_file" && [ -n "$n" ]; do
        if [ $SECONDS -ge $deadline ] || ! kill -0 "${session_pids[-1]}" 2>/dev/null; then
            echo "Xvfb did not come up" >&2
            rm -f "$number_file"
            return 1
        fi
        sleep 0.1
    done
    rm -f "$number_file"
    export DISPLAY=":$n"
}

# What a prefix is made from: a prefix whose record differs is made again.
prefix_recipe() {
    echo "$WINEARCH"
    cat "$here_lib/test-prefix.reg"
    if [ -n "${CARRIER_I386_ROOT:-}" ] && [ "$WINEARCH" = win32 ]; then i386_root_recipe; fi
}

# A prefix is made once per build tree; later runs reuse it. The i386 root's prefix is also kept in
# the cache beside the root, so a fresh clone copies it instead of making it under emulation.
prepare_wine_prefix() {
    local prefix=$1 recipe cached=$carrier_cache/win32-prefix in_root=false
    export WINEPREFIX=$prefix WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    recipe=$(prefix_recipe)
    [ "$(cat "$prefix/.carrier-recipe" 2>/dev/null)" = "$recipe" ] && return 0
    [ -n "${CARRIER_I386_ROOT:-}" ] && [ "$WINEARCH" = win32 ] && in_root=true
    rm -rf "$prefix"
    if $in_root && [ "$(cat "$cached/.carrier-recipe" 2>/dev/null)" = "$recipe" ]; then
        cp -a "$cached" "$prefix"
        return 0
    fi
    wine_exec "$WINE_LOADER" wineboot -i >/dev/null 2>&1
    wine_exec "$WINE_LOADER" regedit /S "$(winepath_of "$here_lib/test-prefix.reg")" >/dev/null 2>&1
    # Ends the services the set-up started, so none is left behind.
    wine_exec /usr/lib/wine/wineserver -k 2>/dev/null || true
    wine_exec /usr/lib/wine/wineserver -w
    echo "$recipe" >"$prefix/.carrier-recipe"
    if $in_root; then
        rm -rf "$cached"
        cp -a "$prefix" "$cached"
    fi
}

winepath_of() {
    local path
    path=$(readlink -f "$1")
    echo "Z:${path//\//\\}"
}

# One persistent wineserver; its services start here, not inside the test runner's pipe.
start_wineserver() {
    wine_exec /usr/lib/wine/wineserver -f -p >/dev/null 2>&1 &
    wineserver_pid=$!
    session_pids+=("$wineserver_pid")
    wine_exec "$WINE_LOADER" cmd /c exit >/dev/null 2>&1 </dev/null
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
