#!/bin/bash
# A phone for the tests, put in adb's place through SKINWRIGHT_ADB. It answers
# the commands the editor sends as adb does (its messages and exit codes),
# keeping each phone's storage in a folder on disk, and writes down every
# argument vector it is given.
#
# Its state lives in the folder that holds this script (the tests copy the
# script into a fresh folder):
#   calls           one line per call: its arguments, each followed by a tab
#   devices         the phones attached, "SERIAL<tab>STATE" a line
#                   (absent: one phone, SIM001, ready)
#   fail, hang      operation names, one a line, that fail or never end:
#                   devices, push, pull, install, rm, force-stop, monkey
#   slow            operation names that take two seconds
#   lossy           operation names that lose one file on the way (push) and
#                   still end well, as a cable that slips can make adb do
#   phones/SERIAL/  each phone's storage: sdcard/, data/app/, and the
#                   records installed/, stopped, launched
here=$(cd "$(dirname "$0")" && pwd)
{
    printf '%s\t' "$@"
    printf '\n'
} >>"$here/calls"

serial=""
while [ $# -gt 0 ]; do
    case "$1" in
        -s) serial=$2; shift 2 ;;
        -P | -H | -L) shift 2 ;;
        -d | -e) shift ;;
        *) break ;;
    esac
done
op=$1

case "$op" in
    shell)
        case "$2 $3" in
            "rm -r") name=rm ;;
            "am force-stop") name=force-stop ;;
            "monkey -p") name=monkey ;;
            *) name=shell ;;
        esac
        ;;
    *) name=$op ;;
esac

listed() {
    if [ -f "$here/devices" ]; then
        grep . "$here/devices"
    else
        printf 'SIM001\tdevice\n'
    fi
}

if grep -qx "$name" "$here/hang" 2>/dev/null; then
    exec sleep 3600
fi
if grep -qx "$name" "$here/slow" 2>/dev/null; then
    sleep 2
fi
if grep -qx "$name" "$here/fail" 2>/dev/null; then
    echo "adb: error: simulated failure of $name" >&2
    exit 1
fi

if [ "$op" = devices ]; then
    echo "List of devices attached"
    listed
    echo
    exit 0
fi

# The phone the command goes to.
if [ -n "$serial" ]; then
    state=$(listed | awk -F'\t' -v s="$serial" '$1 == s { print $2 }')
    if [ -z "$state" ]; then
        echo "adb: device '$serial' not found" >&2
        exit 1
    fi
else
    count=$(listed | grep -c .)
    if [ "$count" -eq 0 ]; then
        echo "adb: no devices/emulators found" >&2
        exit 1
    fi
    if [ "$count" -gt 1 ]; then
        echo "adb: more than one device/emulator" >&2
        exit 1
    fi
    serial=$(listed | cut -f1)
    state=$(listed | cut -f2)
fi
case "$state" in
    device) ;;
    unauthorized)
        echo "adb: device unauthorized." >&2
        exit 1
        ;;
    *)
        echo "adb: device $state" >&2
        exit 1
        ;;
esac

root="$here/phones/$serial"
mkdir -p "$root/sdcard" "$root/data/app"

# A phone path in the phone's storage folder: slashes collapsed, relative to
# the phone's root.
on_phone() {
    local path
    path=$(printf '%s' "$1" | sed -e 's#//*#/#g' -e 's#^/##')
    printf '%s/%s' "$root" "$path"
}

case "$name" in
    push)
        local_path=$2
        remote=$(on_phone "$3")
        if [ ! -e "$local_path" ]; then
            echo "adb: error: cannot stat '$local_path': No such file or directory" >&2
            exit 1
        fi
        if [ -d "$local_path" ]; then
            # A folder lands under its own name inside an existing folder,
            # otherwise it becomes the named folder.
            target=$remote
            [ -d "$remote" ] && target="$remote/$(basename "$local_path")"
            mkdir -p "$target"
            cp -R "$local_path/." "$target/"
            files=$(find "$local_path" -type f | wc -l)
            bytes=$(find "$local_path" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')
            if grep -qx "$name" "$here/lossy" 2>/dev/null; then
                lost=$(cd "$local_path" && find . -type f | sort | tail -n 1)
                bytes=$((bytes - $(stat -c %s "$local_path/$lost")))
                rm -f "$target/$lost"
                files=$((files - 1))
            fi
            echo "$local_path/: $files files pushed, 0 skipped. 12.3 MB/s ($bytes bytes in 0.001s)"
        else
            target=$remote
            [ -d "$remote" ] && target="$remote/$(basename "$local_path")"
            mkdir -p "$(dirname "$target")"
            cp "$local_path" "$target"
            echo "$local_path: 1 file pushed, 0 skipped. 12.3 MB/s ($(stat -c %s "$local_path") bytes in 0.001s)"
        fi
        ;;
    pull)
        remote=$(on_phone "$2")
        target=$3
        if [ ! -f "$remote" ]; then
            echo "adb: error: failed to stat remote object '$2': No such file or directory" >&2
            exit 1
        fi
        [ -d "$target" ] && target="$target/$(basename "$remote")"
        cp "$remote" "$target"
        echo "$2: 1 file pulled, 0 skipped. 10.0 MB/s (512 bytes in 0.001s)"
        ;;
    install)
        apk=${!#}
        if [ ! -f "$apk" ]; then
            echo "adb: failed to stat $apk: No such file or directory" >&2
            exit 1
        fi
        mkdir -p "$root/installed"
        cp "$apk" "$root/installed/"
        echo "Performing Streamed Install"
        echo "Success"
        ;;
    rm)
        target=$(on_phone "$4")
        if [ ! -e "$target" ]; then
            echo "rm: $4: No such file or directory" >&2
            exit 1
        fi
        rm -r "$target"
        ;;
    force-stop)
        echo "$4" >>"$root/stopped"
        ;;
    monkey)
        echo "$4" >>"$root/launched"
        echo "Events injected: 1"
        ;;
    *)
        echo "adb: unknown command $op" >&2
        exit 1
        ;;
esac
exit 0
