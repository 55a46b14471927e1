#!/usr/bin/env bash
# Installs a build into a temporary DESTDIR under /usr, as the Debian package does, and checks
# that everything lands where a desktop looks for it, that the desktop files pass their
# validators, and that the installed program finds its sample analyses from where it lies.
#   install_layout.sh <build folder> <source folder> <application id> <MIME type>
set -uo pipefail

build=$1
source=$2
app_id=$3
mime_type=$4
mime_icon=${mime_type//\//-}
sizes=(16 22 24 32 48 64 128 256)

work=$(mktemp -d)
program_pid=
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

for tool in desktop-file-validate appstreamcli update-mime-database; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh"; exit 1; }
done

# The width and height in a PNG's header, as "WxH".
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'
}

root=$work/root
if ! DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  fail "cmake --install failed"
  exit 1
fi
usr=$root/usr
share=$usr/share
hicolor=$share/icons/hicolor

[ -x "$usr/bin/tessik" ] || fail "the program is not at bin/tessik"

for sample in "$source"/samples/*.rca.xml; do
  cmp -s "$sample" "$share/tessik/samples/$(basename "$sample")" ||
    fail "sample $(basename "$sample") is not installed in share/tessik/samples"
done

desktop=$share/applications/$app_id.desktop
mime_xml=$share/mime/packages/$app_id.xml
metainfo=$share/metainfo/$app_id.metainfo.xml
for file in "$desktop" "$mime_xml" "$metainfo" "$hicolor/scalable/apps/$app_id.svg" \
  "$hicolor/scalable/mimetypes/$mime_icon.svg"; do
  [ -s "$file" ] || fail "missing: ${file#"$root"}"
done
for size in "${sizes[@]}"; do
  for icon in "apps/$app_id" "mimetypes/$mime_icon"; do
    png=$hicolor/${size}x${size}/$icon.png
    if [ ! -s "$png" ]; then
      fail "missing: ${png#"$root"}"
    elif [ "$(png_size "$png")" != "${size}x${size}" ]; then
      fail "${png#"$root"} is $(png_size "$png"), not ${size}x${size}"
    fi
  done
done

# The pieces must name each other: the entry's icon and type, the type's icon and file ending.
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry does not use the icon $app_id"
grep -qx "MimeType=$mime_type;" "$desktop" || fail "the desktop entry does not list $mime_type"
grep -Eq '^Exec=tessik %f$' "$desktop" || fail "the desktop entry does not pass the file to tessik"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the AppStream file does not launch $app_id.desktop"
# The MIME database, built from the package as the system builds it, must map the ending.
if update-mime-database "$share/mime" >"$work/mime.log" 2>&1; then
  grep -q ":$mime_type:\*\.rca\.xml" "$share/mime/globs2" || fail "the MIME database does not map *.rca.xml"
  grep -qx "$mime_type:$mime_icon" "$share/mime/icons" || fail "the MIME type has no icon"
else
  cat "$work/mime.log"
  fail "update-mime-database rejected the MIME package"
fi

# The manual page documents every option the program lists; the changelog is at the program's
# version; the copyright file is machine-readable.
man_page=$share/man/man1/tessik.1.gz
if gzip -t "$man_page" 2>/dev/null; then
  for option in $("$usr/bin/tessik" --help | grep -oE -- '--[a-z]+' | sort -u); do
    zcat "$man_page" | grep -qF -- "${option//-/\\-}" || fail "the manual page does not document $option"
  done
else
  fail "missing, or not compressed with gzip: ${man_page#"$root"}"
fi
version=$("$usr/bin/tessik" --version | cut -d' ' -f2)
zcat "$share/doc/tessik/changelog.gz" 2>/dev/null | head -1 | grep -qF "tessik ($version)" ||
  fail "the changelog does not start at version $version"
head -1 "$share/doc/tessik/copyright" 2>/dev/null |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is missing or not machine-readable"

# The installed program finds its own modules: it writes an SVG picture with the one, and the
# other (the print dialog) lies beside it.
sample=$share/tessik/samples/$(basename "$(ls "$source"/samples/*.rca.xml | head -1)")
if QT_QPA_PLATFORM=offscreen "$usr/bin/tessik" --export "$work/picture.svg" "$sample" >"$work/export.log" 2>&1; then
  grep -q '<svg' "$work/picture.svg" || fail "the installed program's SVG picture holds no svg element"
else
  fail "the installed program could not export an SVG picture: $(cat "$work/export.log")"
fi
svg_module=$(find "$usr" -name 'libtessik_svg.so' -print -quit)
[ -n "$svg_module" ] && [ -e "$(dirname "$svg_module")/libtessik_print.so" ] ||
  fail "the print module is not installed beside the SVG module"

echo "desktop-file-validate:"
if ! desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || [ -s "$work/desktop.log" ]; then
  cat "$work/desktop.log"
  fail "desktop-file-validate reported problems"
fi
echo "appstreamcli validate:"
if ! appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
  grep -Eq '^[EW]:' "$work/appstream.log"; then
  fail "appstreamcli reported errors or warnings"
fi
cat "$work/appstream.log"

# The installed program, started from its temporary place, copies the samples on its first run.
appdata=$work/appdata
mkdir -p "$appdata" "$work/home"
mkdir -m 700 "$work/runtime"
(cd "$work" && exec env HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
  XDG_CACHE_HOME="$work/home/cache" XDG_RUNTIME_DIR="$work/runtime" AppData="$appdata" QT_QPA_PLATFORM=offscreen \
  "$usr/bin/tessik" >"$work/program.log" 2>&1) &
program_pid=$!
expected=$(ls "$source"/samples/*.rca.xml | wc -l)
for _ in $(seq 1 600); do
  copied=$(ls "$appdata"/Tessik/*.rca.xml 2>/dev/null | wc -l)
  [ "$copied" -ge "$expected" ] && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
[ "$copied" -ge "$expected" ] ||
  fail "the installed program copied $copied of $expected samples; its output: $(cat "$work/program.log")"

if [ "$failures" -ne 0 ]; then
  echo "$failures problem(s) with the installation"
  exit 1
fi
echo "installation complete and valid"
