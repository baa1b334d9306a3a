#!/usr/bin/env bash
# Mounts (or unmounts) the folders the save-failure tests write into:
#   readonly/  a read-only tmpfs holding an existing target, existing.pdf
#   full/      an 8 MiB tmpfs holding existing.pdf, too small for the document
#   medium/    a medium that can go away: a FUSE view of medium-files/ (tests/e2e/failing_medium.c)
#              whose reads fail while medium-control/gone exists and each take the milliseconds in
#              medium-control/slow; medium-mounted says it is there
# Root only: without it nothing is mounted and the tests that need these folders skip. Where the suite
# runs in the i386 root, each folder is mounted at the same path there too.
set -u
action=$1
base=$2
root=${CARRIER_I386_ROOT:-}
unmount_all() {
    for dir in "$base/readonly" "$base/full" "$base/medium"; do
        [ -z "$root" ] || ! mountpoint -q "$root$dir" || umount "$root$dir"
        mountpoint -q "$dir" && umount "$dir"
    done
    [ ! -s "$base/medium.pid" ] || kill "$(cat "$base/medium.pid")" 2>/dev/null
    rm -rf "$base"
}

# The medium, where FUSE is there; the tests that need it skip without it.
mount_medium() {
    local here fuse
    here=$(dirname "$0")
    mkdir -p "$base/medium-files" "$base/medium-control" "$base/medium"
    [ -e /dev/fuse ] || { echo "no /dev/fuse: the failing medium is not mounted"; return 0; }
    read -ra fuse < <(pkg-config fuse3 --cflags --libs) || true
    cc -O2 -o "$base/failing_medium" "$here/failing_medium.c" "${fuse[@]}" ||
        { echo "the failing medium could not be built"; return 0; }
    "$base/failing_medium" "$base/medium-files" "$base/medium-control" "$base/medium" \
        </dev/null >/dev/null 2>&1 &
    echo $! >"$base/medium.pid"
    for _ in $(seq 50); do
        if mountpoint -q "$base/medium"; then
            [ -z "$root" ] || mount --bind "$base/medium" "$root$base/medium"
            touch "$base/medium-mounted"
            return 0
        fi
        sleep 0.1
    done
    echo "the failing medium did not mount"
}
case $action in
mount)
    unmount_all
    mkdir -p "$base/readonly" "$base/full"
    if [ "$(id -u)" -ne 0 ]; then
        echo "not root: no fault folders are mounted; the tests that need them skip"
        exit 0
    fi
    set -e
    mount -t tmpfs -o size=1m tmpfs "$base/readonly"
    printf 'the existing target' >"$base/readonly/existing.pdf"
    mount -o remount,ro "$base/readonly"
    mount -t tmpfs -o size=8m tmpfs "$base/full"
    printf 'the existing target' >"$base/full/existing.pdf"
    if [ -n "$root" ]; then
        mount --bind "$base/readonly" "$root$base/readonly"
        mount --bind "$base/full" "$root$base/full"
    fi
    touch "$base/mounted"
    mount_medium
    ;;
unmount)
    unmount_all
    ;;
esac
