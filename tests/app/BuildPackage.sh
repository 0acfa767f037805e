#!/usr/bin/env bash
# Builds the Debian package with CPack and checks what it holds. Slow and
# writes into the build folder, so it runs only when asked for:
#   CORVINA_TEST_PACKAGE=1 ctest -R package
set -u
build=$1
if [ -z "${CORVINA_TEST_PACKAGE:-}" ]; then
  echo "skipped: set CORVINA_TEST_PACKAGE=1 to build and check the package"
  exit 77
fi
cd "$build" && cpack >/dev/null || exit 1
deb=$(ls -t corvina_*_amd64.deb | head -1)
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/corvina ./usr/lib/corvina/corvina ./usr/lib/corvina/corvina-icmp-helper \
            ./usr/lib/corvina/whois-servers.lst ./usr/lib/corvina/rdap-dns.json \
            ./usr/lib/corvina/Languages/German.crv \
            ./usr/lib/corvina/Languages/French.crv ./usr/share/applications/corvina.desktop \
            ./usr/share/metainfo/corvina.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/corvina.svg \
            ./usr/share/icons/hicolor/48x48/apps/corvina.png; do
  grep -q " $file" <<<"$contents" || { echo "missing in $deb: $file"; exit 1; }
done
dpkg-deb -I "$deb" | grep -q "postinst" || { echo "no post-install step"; exit 1; }
echo "$deb holds the program, its helper, data, languages, menu entry, icons and metadata"
