#!/usr/bin/env bash
# Builds the Debian package with scripts/package (which installs debhelper and the
# checkers when missing), without the package's own tests, which are running already;
# checks it with lintian, desktop-file-validate, appstreamcli and man; unpacks it into
# a temporary root made read-only; and starts the unpacked program offscreen twice:
# first with no settings yet (it reads and shows the sample), then with a file whose
# name has a space. The settings must land in XDG_CONFIG_HOME and the guide be found
# under share/.
# Usage: PackageTest.sh SOURCE_DIR WORK_DIR DICTIONARY     (exit 77: skipped)
set -euo pipefail
source_dir=$1
package_dir=$2
dictionary=$3
if ! command -v dpkg-buildpackage >/dev/null; then
    echo "SKIP: dpkg-buildpackage is not installed (package dpkg-dev)"
    exit 77
fi
for tool in dh lintian appstreamcli desktop-file-validate man strace; do
    if ! command -v "$tool" >/dev/null && [ "$(id -u)" -ne 0 ]; then
        echo "SKIP: $tool is missing; scripts/package installs it with sudo"
        exit 77
    fi
done
work=$(mktemp -d)
# A window of the test's own: the user's, if one runs, must not take this start's place.
export XDG_RUNTIME_DIR="$work"
program=""
trap 'if [ -n "$program" ]; then kill -9 "$program" 2>/dev/null || true; fi
      if [ -n "${pid:-}" ]; then kill -9 "$pid" 2>/dev/null || true; fi
      chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/../WaitForWindow.sh"

DEB_BUILD_OPTIONS=nocheck "$source_dir/scripts/package" "$package_dir" >"$work/package.log" 2>&1 ||
    { tail -40 "$work/package.log" >&2; fail "scripts/package (lintian included) failed"; }
deb=$(sed -n 's/^package: //p' "$work/package.log" | tail -1)
[ -f "$deb" ] || fail "no package: $(tail -5 "$work/package.log")"
echo "built $deb; lintian: no errors or warnings"

root=$work/root
dpkg-deb -x "$deb" "$root"
app_id=org.quillordic.QuillorDic
for file in usr/bin/quillordic usr/share/quillordic/QuillorDic.mht usr/share/quillordic/Tarnowe_Medical_Dic.txt \
            usr/share/applications/$app_id.desktop usr/share/metainfo/$app_id.metainfo.xml \
            usr/share/icons/hicolor/scalable/apps/$app_id.svg usr/share/man/man1/quillordic.1.gz; do
    [ -f "$root/$file" ] || fail "$file is not in the package"
done
for size in 48 64 128 256; do
    [ -f "$root/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png" ] || fail "no $size pixel icon"
done
desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
for locale in C C.UTF-8; do
    warnings=$(LC_ALL=$locale MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/quillordic.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "the manual page in $locale: $warnings"
done
[ "$(env -u DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/quillordic" --version)" = "QuillorDic 1.0.0.2" ] ||
    fail "--version"
chmod -R a-w "$root"

# Starts the unpacked program offscreen with ARGS, waits for its window (the browser
# engine's helper process comes with it), and ends it as a logout does.
run() {
    rm -f "$work"/files.log.*
    (cd "$work" && XDG_CONFIG_HOME=$work/config HOME=$work/home QT_QPA_PLATFORM=offscreen QUILLOR_START_TRACE=1 \
        exec strace -ff -o "$work/files.log" -e trace=%file "$root/usr/bin/quillordic" "$@") >"$work/out.log" 2>&1 &
    pid=$!
    program=""
    for _ in $(seq 1 300); do
        program=$(pgrep -P "$pid" -x quillordic) && break
        sleep 0.1
    done
    [ -n "$program" ] || { cat "$work/out.log" >&2; fail "the program did not start"; }
    wait_for_window "$program" "$work/out.log"
    wait_for_first_record "$program" "$work/out.log"
    kill -TERM "$program"
    local status=0
    wait "$pid" || status=$?
    pid=
    program=
    [ "$status" -eq 0 ] || { cat "$work/out.log" >&2; fail "exit status $status"; }
}
settings=$work/config/QuillorDic/QuillorDic.ini
# Each thread and process of a run writes its file calls to a log of its own, whole (the
# dictionary is read on a thread of its own): files.log.PID.
mkdir "$work/home"

run
grep -q "DATAT=\"$root/usr/share/quillordic/Tarnowe_Medical_Dic.txt\"" "$settings" ||
    fail "the first start did not show the sample: $(cat "$settings" 2>/dev/null)"
grep -q "openat(.*\"$root/usr/share/quillordic/Tarnowe_Medical_Dic.txt\", O_RDONLY.*= [0-9]" "$work"/files.log.* ||
    fail "the first start did not read the sample"
grep -q "\"$root/usr/share/quillordic/QuillorDic.mht\", .*= 0" "$work"/files.log.* ||
    fail "the guide was not looked up under share/: $(grep -hi mht "$work"/files.log.*)"

cp "$dictionary" "$work/my dictionary.txt"
run "$work/my dictionary.txt"
grep -q "DATAT=\"$work/my dictionary.txt\"" "$settings" || fail "settings: $(cat "$settings")"
grep -q "openat(.*\"$work/my dictionary.txt\", O_RDONLY.*= [0-9]" "$work"/files.log.* || fail "the named file was not read"
[ -z "$(find "$root" -name '*.ini')" ] || fail "settings were written into the installed tree"
echo "packaged, validated, unpacked read-only, and started: sample first, then a named file; settings in XDG_CONFIG_HOME"
