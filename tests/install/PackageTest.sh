#!/usr/bin/env bash
# Builds the Debian package with scripts/package (which installs debhelper and the
# checkers when missing), without the package's own tests, which are running already;
# checks it with lintian, desktop-file-validate and appstreamcli; unpacks it into a
# temporary root made read-only; and starts the unpacked program offscreen twice: first with no
# settings anywhere (it shows the sample), then with a file whose name has a space.
# The settings must land in XDG_CONFIG_HOME and the guide be looked up under share/.
# Usage: PackageTest.sh SOURCE_DIR DICTIONARY     (exit 77: skipped)
set -euo pipefail
source_dir=$1
dictionary=$2
if ! command -v dpkg-buildpackage >/dev/null; then
    echo "SKIP: dpkg-buildpackage is not installed (package dpkg-dev)"
    exit 77
fi
work=$(mktemp -d)
trap 'if [ -n "${pid:-}" ]; then kill -9 "$pid" 2>/dev/null || true; fi; chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DEB_BUILD_OPTIONS=nocheck "$source_dir/scripts/package" >"$work/package.log" 2>&1 ||
    { tail -40 "$work/package.log" >&2; fail "scripts/package (lintian included) failed"; }
sed -n '/^package: /,$p' "$work/package.log"
deb=$(ls "$source_dir"/dist/quillordic_*_amd64.deb | tail -1)

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
man -l "$root/usr/share/man/man1/quillordic.1.gz" >/dev/null
[ "$(env -u DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/quillordic" --version)" = "QuillorDic 1.0.0.2" ] ||
    fail "--version"
chmod -R a-w "$root"

# Starts the unpacked program offscreen with ARGS, waits for its window (the browser
# engine's helper process comes with it), and ends it as a logout does.
run() {
    (cd "$work" && XDG_CONFIG_HOME=$work/config HOME=$work/home QT_QPA_PLATFORM=offscreen \
        exec strace -o "$work/files.log" -e trace=%file "$root/usr/bin/quillordic" "$@") >"$work/out.log" 2>&1 &
    pid=$!
    local program=""
    for _ in $(seq 1 300); do
        program=$(pgrep -P "$pid" -x quillordic) && break
        sleep 0.1
    done
    [ -n "$program" ] || { cat "$work/out.log" >&2; fail "the program did not start"; }
    for _ in $(seq 1 300); do
        pgrep -P "$program" >/dev/null && break
        kill -0 "$program" 2>/dev/null || { cat "$work/out.log" >&2; fail "the program ended by itself"; }
        sleep 0.1
    done
    pgrep -P "$program" >/dev/null || fail "the main window did not come up"
    kill -TERM "$program"
    local status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || { cat "$work/out.log" >&2; fail "exit status $status"; }
}
settings=$work/config/QuillorDic/QuillorDic.ini
mkdir "$work/home"

run
grep -q "DATAT=\"$root/usr/share/quillordic/Tarnowe_Medical_Dic.txt\"" "$settings" ||
    fail "the first start did not show the sample: $(cat "$settings" 2>/dev/null)"
grep -q "\"$root/usr/share/quillordic/QuillorDic.mht\", .*= 0" "$work/files.log" ||
    fail "the guide was not looked up under share/: $(grep -i mht "$work/files.log")"

cp "$dictionary" "$work/my dictionary.txt"
run "$work/my dictionary.txt"
grep -q "DATAT=\"$work/my dictionary.txt\"" "$settings" || fail "settings: $(cat "$settings")"
[ -z "$(find "$root" -name '*.ini')" ] || fail "settings were written into the installed tree"
echo "packaged, validated, unpacked read-only, and started: sample first, then a named file; settings in XDG_CONFIG_HOME"
