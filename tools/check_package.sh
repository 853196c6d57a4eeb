#!/usr/bin/env bash
# Checks a built Bytemoor package: the files it installs, that it depends on
# the runtime (not the development) packages, that its desktop entry and
# metadata validate, and that the program in it runs.
#   tools/check_package.sh build/package/bytemoor_VERSION_ARCH.deb
set -euo pipefail
deb=${1:?usage: $0 PACKAGE.deb}
fail() { echo "package check: $*" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/bytemoor ./usr/share/applications/bytemoor.desktop \
         ./usr/share/icons/hicolor/scalable/apps/bytemoor.svg \
         ./usr/share/man/man1/bytemoor.1 ./usr/share/metainfo/org.bytemoor.Bytemoor.metainfo.xml; do
  grep -q " $f\$" <<<"$contents" || fail "$f is missing"
done

depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins fonts-liberation2 qt6-translations-l10n; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "does not depend on $p: $depends"
done
if grep -Eq -- '-dev( |,|$)' <<<"$depends"; then fail "depends on a development package: $depends"; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$work/usr/share/applications/bytemoor.desktop"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$work/usr/share/metainfo/org.bytemoor.Bytemoor.metainfo.xml" >/dev/null
fi
version=$(dpkg-deb -f "$deb" Version)
"$work/usr/bin/bytemoor" --version | grep -qx "bytemoor $version" || fail "the program does not run"
echo "package check: $(basename "$deb") holds $(grep -c . <<<"$contents") entries, depends on: $depends"
