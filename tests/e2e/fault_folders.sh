#!/usr/bin/env bash
# Mounts (or unmounts) the folders the save-failure tests write into:
#   readonly/  a read-only tmpfs holding an existing target, existing.pdf
#   full/      an 8 MiB tmpfs holding existing.pdf, too small for the document
# Root only: without it nothing is mounted and the tests that need these folders skip. Where the suite
# runs in the i386 root, each folder is mounted at the same path there too.
set -u
action=$1
base=$2
root=${CARRIER_I386_ROOT:-}
unmount_all() {
    for dir in "$base/readonly" "$base/full"; do
        [ -z "$root" ] || ! mountpoint -q "$root$dir" || umount "$root$dir"
        mountpoint -q "$dir" && umount "$dir"
    done
    rm -rf "$base"
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
    ;;
unmount)
    unmount_all
    ;;
esac
