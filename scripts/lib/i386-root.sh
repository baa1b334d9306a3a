# shellcheck shell=bash
# Sourced by wine-session.sh. Where the host has no 32-bit Wine, the shipped exe runs in an i386 Debian
# root with its own wine32: natively where this kernel runs 32-bit code, else through qemu-i386
# (qemu 10 from bookworm-backports: bookworm's 7.2 ignores MAP_FIXED_NOREPLACE and takes a minute to
# start each Wine process), registered with binfmt_misc under the project's own name for the run only.
# The root and its Wine prefix are made once and cached outside the clone; the project tree, the
# X sockets, /proc, /dev and /sys are mounted into it for the run and unmounted after it.
# CARRIER_I686_EMULATE=1 takes the emulator even where the kernel runs 32-bit code.
# shellcheck disable=SC2034 # I686_SKIP_REASON and I386_EMULATED are read by the scripts

carrier_cache=${CARRIER_CACHE:-/var/cache/wendelkamm-carrier}
i386_root=$carrier_cache/i386-root
i386_mirror=http://deb.debian.org/debian
# What the root holds besides minbase: Wine and the libraries and fonts it loads for the tests.
i386_root_packages=(wine32 xdotool libx11-6 libxext6 libxcursor1 libxi6 libxrandr2 libxinerama1 libxcomposite1
                    libxrender1 libxfixes3 libxxf86vm1 fonts-liberation fonts-dejavu-core locales)
# Locales made in the root besides C.UTF-8, for the tests that need another ANSI code page.
i386_root_locales=(ru_RU)
i386_binfmt_name=wendelkamm-carrier-i386
binfmt_dir=/proc/sys/fs/binfmt_misc
i386_root_mounts=()
binfmt_mounted_here=false

i386_root_recipe() {
    echo "bookworm i386 minbase from $i386_mirror; packages: ${i386_root_packages[*]}; locales: ${i386_root_locales[*]}"
}

i386_root_ready() {
    [ "$(cat "$i386_root/.carrier-recipe" 2>/dev/null)" = "$(i386_root_recipe)" ]
}

# The emulator is needed where this kernel cannot run the root's programs (or where it is asked for).
i386_needs_emulator() {
    [ -n "${CARRIER_I686_EMULATE:-}" ] || ! kernel_runs_32bit
}

# qemu-i386 of qemu 10, taken out of backports' qemu-user package with apt lists of its own, so the
# host's sources and packages stay as they are.
fetch_qemu_i386() {
    local apt=$carrier_cache/apt qemu=$carrier_cache/qemu/usr/bin/qemu-i386 options
    [ -x "$qemu" ] && return 0
    mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$carrier_cache/qemu"
    echo "deb $i386_mirror bookworm-backports main" >"$apt/sources.list"
    options=(-q -o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
             -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt" -o APT::Architectures::=amd64
             -o APT::Sandbox::User=root)
    apt-get "${options[@]}" update >/dev/null &&
        (cd "$apt" && apt-get "${options[@]}" download qemu-user/bookworm-backports >/dev/null) &&
        dpkg-deb --fsys-tarfile "$apt"/qemu-user_*.deb |
        tar -x -C "$carrier_cache/qemu" ./usr/bin/qemu-i386 &&
        rm -f "$apt"/qemu-user_*.deb && [ -x "$qemu" ]
}

# F: the kernel opens the emulator now, so it runs inside the root too. Any earlier entry of ours
# (from a run that was killed) goes first.
register_i386_emulator() {
    local magic mask
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    if [ ! -e "$binfmt_dir/register" ]; then
        mount -t binfmt_misc binfmt_misc "$binfmt_dir" || return 1
        binfmt_mounted_here=true
    fi
    unregister_i386_emulator
    echo ":$i386_binfmt_name:M::$magic:$mask:$carrier_cache/qemu/usr/bin/qemu-i386:OCF" \
        >"$binfmt_dir/register"
}

unregister_i386_emulator() {
    [ ! -e "$binfmt_dir/$i386_binfmt_name" ] || echo -1 >"$binfmt_dir/$i386_binfmt_name"
}

# mount_into_root SOURCE [OPTIONS...]: SOURCE appears at the same path inside the root.
mount_into_root() {
    local source=$1 target=$i386_root$1
    shift
    mkdir -p "$target"
    mount "$@" "$source" "$target" || return 1
    i386_root_mounts+=("$target")
}

unmount_root() {
    local index
    for ((index = ${#i386_root_mounts[@]} - 1; index >= 0; index--)); do
        mountpoint -q "${i386_root_mounts[index]}" || continue
        umount -R "${i386_root_mounts[index]}" 2>/dev/null || umount -R -l "${i386_root_mounts[index]}"
    done
    i386_root_mounts=()
}

# Every mount below DIR (left by a run that was killed, too) is undone; fails where one stays. Only then
# may DIR be removed: a bind of the tree or of /dev below it would be removed with it.
mounts_below() {
    awk -v dir="$1/" 'index($5, dir) == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

unmount_below() {
    local target
    mounts_below "$1" | while read -r target; do umount -R -l "$target" 2>/dev/null || true; done
    [ -z "$(mounts_below "$1")" ]
}

# Debootstrap and apt run the root's own programs, so the emulator (where needed) is registered first.
make_i386_root() {
    local new=$i386_root.new
    echo "Making the i386 root in $i386_root (once; several minutes)"
    unmount_below "$new" || { I686_SKIP_REASON="mounts stay below $new"; return 1; }
    rm -rf "$new"
    debootstrap --arch=i386 --variant=minbase bookworm "$new" "$i386_mirror" >"$carrier_cache/debootstrap.log" 2>&1 ||
        { I686_SKIP_REASON="debootstrap failed: see $carrier_cache/debootstrap.log"; return 1; }
    local saved=$i386_root
    i386_root=$new
    mount_into_root /proc -t proc && mount_into_root /dev --rbind &&
        DEBIAN_FRONTEND=noninteractive chroot "$new" apt-get install -y -q --no-install-recommends \
            "${i386_root_packages[@]}" >"$carrier_cache/root-packages.log" 2>&1
    local status=$?
    unmount_root
    i386_root=$saved
    if [ $status -ne 0 ]; then
        I686_SKIP_REASON="the i386 root's packages did not install: see $carrier_cache/root-packages.log"
        return 1
    fi
    local name
    for name in "${i386_root_locales[@]}"; do
        chroot "$new" localedef -i "$name" -f UTF-8 "$name.UTF-8" >>"$carrier_cache/root-packages.log" 2>&1 ||
            { I686_SKIP_REASON="the locale $name.UTF-8 could not be made in the i386 root"; return 1; }
    done
    chroot "$new" apt-get clean
    i386_root_recipe >"$new/.carrier-recipe"
    unmount_below "$i386_root" || { I686_SKIP_REASON="mounts stay below $i386_root"; return 1; }
    rm -rf "$i386_root"
    mv "$new" "$i386_root"
}

# enter_i386_root TREE: the root made or reused, the emulator registered where needed and TREE (the
# project's checkout) and the display's sockets mounted into it. Sets CARRIER_I386_ROOT, which
# wine-run.sh and the session read; I686_SKIP_REASON says why where it fails.
enter_i386_root() {
    local tree=$1
    mkdir -p "$carrier_cache"
    # One run at a time uses the root, its mounts and the emulator's entry.
    exec {i386_root_lock}>"$carrier_cache/lock"
    flock "$i386_root_lock"
    unmount_below "$i386_root" || { I686_SKIP_REASON="mounts of an earlier run stay below $i386_root"; return 1; }
    I386_EMULATED=false
    if i386_needs_emulator; then
        I386_EMULATED=true
        # Read by the tests that see where the emulator differs from a processor.
        export CARRIER_I386_EMULATED=1
        fetch_qemu_i386 || { I686_SKIP_REASON="qemu-i386 (qemu 10, bookworm-backports) could not be had"; return 1; }
        register_i386_emulator || { I686_SKIP_REASON="the emulator could not be registered with binfmt_misc"; return 1; }
    fi
    if ! i386_root_ready; then
        make_i386_root || { leave_i386_root; return 1; }
    fi
    install -d -m 1777 /tmp/.X11-unix
    if ! { mount_into_root /proc -t proc && mount_into_root /dev --rbind && mount_into_root /sys --rbind &&
        mount_into_root /tmp/.X11-unix --bind && mount_into_root "$tree" --bind; }; then
        I686_SKIP_REASON="the mounts into the i386 root failed"
        leave_i386_root
        return 1
    fi
    export CARRIER_I386_ROOT=$i386_root
}

leave_i386_root() {
    unmount_root
    unregister_i386_emulator
    if $binfmt_mounted_here; then
        umount "$binfmt_dir" 2>/dev/null || true
        binfmt_mounted_here=false
    fi
    unset CARRIER_I386_ROOT
    if [ -n "${i386_root_lock:-}" ]; then
        exec {i386_root_lock}>&-
        i386_root_lock=
    fi
}
