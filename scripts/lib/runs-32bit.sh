# shellcheck shell=bash
# Whether this kernel itself executes 32-bit x86 code, found out by running a 115-byte i386 program.
# It asks uname for the machine: natively on a 64-bit kernel that is "x86_64", while a user-mode
# emulator registered through binfmt_misc answers "i686", so an emulator cannot pass for the kernel.
# CARRIER_PROBE_32BIT names another probe program (the install-deps test's stand-in).

# kernel_runs_32bit: 0 where it does; else KERNEL_32BIT_REASON says why not.
# shellcheck disable=SC2034 # KERNEL_32BIT_REASON is read by the scripts that source this file
kernel_runs_32bit() {
    local probe=${CARRIER_PROBE_32BIT:-} made='' output code
    if [ -z "$probe" ]; then
        probe=$(mktemp)
        made=$probe
        write_i386_probe "$probe"
    fi
    output=$("$probe" 2>&1)
    code=$?
    [ -z "$made" ] || rm -f "$made"
    case $code in
    0) return 0 ;;
    1) KERNEL_32BIT_REASON="this kernel cannot run 32-bit code (the probe ran under an emulator)" ;;
    *) KERNEL_32BIT_REASON="this kernel cannot run 32-bit code (${output##*: })" ;;
    esac
    return 1
}

# The probe: ELF header, one RWX load segment with a page of zeroed memory for uname's answer, then
# uname(buf); exit(buf.machine[0] != 'x').
write_i386_probe() {
    local bytes='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    bytes+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00'
    bytes+='\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
    bytes+='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
    bytes+='\x73\x00\x00\x00\x00\x20\x00\x00\x07\x00\x00\x00\x00\x10\x00\x00'
    bytes+='\xb8\x7a\x00\x00\x00\xbb\x00\x90\x04\x08\xcd\x80\x31\xdb\x80\x3d\x04\x91\x04\x08'
    bytes+='\x78\x0f\x95\xc3\xb8\x01\x00\x00\x00\xcd\x80'
    # shellcheck disable=SC2059 # the format is the program's bytes
    printf "$bytes" >"$1"
    chmod +x "$1"
}
