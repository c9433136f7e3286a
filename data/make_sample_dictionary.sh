#!/usr/bin/env bash
# Regenerate the shipped sample dictionary (CP932, CR LF) from the editable
# UTF-8 source (LF).  Fails if any character cannot be represented in CP932.
set -euo pipefail

dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
src="$dir/Tarnowe_Medical_Dic.source.txt"
out="$dir/Tarnowe_Medical_Dic.txt"
tmp="$(mktemp "$dir/.make_sample_dictionary.XXXXXX")"
trap 'rm -f "$tmp"' EXIT

if [ ! -s "$src" ]; then
    echo "error: source file $src is missing or empty" >&2
    exit 1
fi

if grep -q $'\r' "$src"; then
    echo "error: $src must use LF line ends (found CR)" >&2
    exit 1
fi

# Strict conversion: iconv exits non-zero on any unconvertible character
# (no //TRANSLIT, no -c).  LF -> CR LF, making sure the last line ends too.
if ! iconv -f UTF-8 -t CP932 "$src" > "$tmp.sjis"; then
    rm -f "$tmp.sjis"
    echo "error: $src contains characters that cannot be converted to CP932" >&2
    exit 1
fi
perl -pe 's/\r?\n\z//; $_ .= "\r\n"' "$tmp.sjis" > "$tmp"
rm -f "$tmp.sjis"

# Round-trip check: decoding the result must give back the source exactly.
if ! iconv -f CP932 -t UTF-8 "$tmp" | tr -d '\r' | cmp -s - "$src"; then
    echo "error: CP932 round trip does not reproduce $src" >&2
    exit 1
fi

chmod 644 "$tmp"
mv "$tmp" "$out"
trap - EXIT
echo "wrote $out ($(wc -l < "$out") records, $(wc -c < "$out") bytes)"
