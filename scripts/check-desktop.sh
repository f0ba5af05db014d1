#!/usr/bin/env bash
# The program as a distribution ships it. Builds one Release tree (reused on
# the next run), installs it into a temporary DESTDIR and checks the layout,
# the launcher, the AppStream data and the udev rule; starts the installed
# program from there without MOUSECFG_APPDIR and checks that it found its data;
# builds the .deb and checks that it holds the same files.
#
#   scripts/check-desktop.sh [build folder, default build-release]
set -euo pipefail
cd "$(dirname "$0")/.."
src="$PWD"
build="${1:-build-release}"
jobs="$(nproc)"
bash scripts/deps.sh

if [ ! -f "$build/CMakeCache.txt" ]; then
  # Debian's hardening flags, as a Debian package is built with.
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMOUSECFG_TESTS=OFF -DMOUSECFG_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" >/dev/null
fi
cmake --build "$build" -j"$jobs" --target mousecfg mousecfgctl mousecfg_osd_program

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
dest="$work/dest"
DESTDIR="$dest" cmake --install "$build" >/dev/null

fail() { echo "check-desktop: $*" >&2; exit 1; }

app_id="$(sed -n 's/^MOUSECFG_APP_ID:STRING=//p' "$build/CMakeCache.txt")"
# Everything but the skin's pictures, which the skin tests look at.
(cd "$dest" && find . -type f -o -type l | sed 's|^\./|/|' | sort) > "$work/installed"
echo "Installed into DESTDIR (skin pictures not listed):"
grep -v '^/usr/share/mousecfg/skin/' "$work/installed" | sed 's/^/  /'
echo "  /usr/share/mousecfg/skin/: $(grep -c '^/usr/share/mousecfg/skin/' "$work/installed") files"

expected=(
  /usr/bin/mousecfg
  /usr/libexec/mousecfg/OSD
  /usr/share/mousecfg/DefaultProfile.bin
  /usr/share/mousecfg/ConfigTemplate/Config.ini
  /usr/share/mousecfg/lang/en.qm /usr/share/mousecfg/lang/sc.qm /usr/share/mousecfg/lang/tc.qm
  /usr/share/mousecfg/skin/icon.ico /usr/share/mousecfg/skin/cfgMainback.png
  /usr/lib/udev/rules.d/70-mousecfg.rules
  "/usr/share/applications/$app_id.desktop"
  "/usr/share/metainfo/$app_id.metainfo.xml"
  "/usr/share/dbus-1/services/$app_id.service"
  /usr/share/dbus-1/interfaces/org.example.mousecfg.Mouse.xml
  /usr/share/man/man1/mousecfg.1.gz
  /usr/bin/mousecfgctl /usr/share/man/man1/mousecfgctl.1.gz /usr/share/bash-completion/completions/mousecfgctl
  /usr/share/doc/mousecfg/copyright /usr/share/doc/mousecfg/changelog.gz
)
for side in 16 22 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${side}x${side}/apps/mousecfg.png")
done
for f in "${expected[@]}"; do
  grep -qxF "$f" "$work/installed" || fail "$f is not installed"
done
grep -q '^/usr/share/mousecfg/skin/appicons/' "$work/installed" && fail "the desktop icons are installed twice"
[ -z "$(find "$dest" -perm /022 ! -type l)" ] || fail "group- or world-writable files: $(find "$dest" -perm /022 ! -type l)"
for side in 16 22 24 32 48 64 128 256; do
  file "$dest/usr/share/icons/hicolor/${side}x${side}/apps/mousecfg.png" | grep -q "PNG image data, $side x $side," \
    || fail "icon ${side}x${side} is not a ${side}-pixel PNG"
done

desktop-file-validate "$dest/usr/share/applications/$app_id.desktop"
# Started through the bus: the launcher's name, the bus name and the service agree.
grep -qx 'DBusActivatable=true' "$dest/usr/share/applications/$app_id.desktop" || fail "the launcher is not DBusActivatable"
grep -qx "Name=$app_id" "$dest/usr/share/dbus-1/services/$app_id.service" || fail "the bus service is not named $app_id"
grep -qx "Exec=/usr/bin/mousecfg" "$dest/usr/share/dbus-1/services/$app_id.service" || fail "the bus service does not start /usr/bin/mousecfg"
xmllint --noout "$dest/usr/share/dbus-1/interfaces/org.example.mousecfg.Mouse.xml" 2>/dev/null \
  || python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
       "$dest/usr/share/dbus-1/interfaces/org.example.mousecfg.Mouse.xml" \
  || fail "the interface description is not well-formed XML"
appstreamcli validate --no-net "$dest/usr/share/metainfo/$app_id.metainfo.xml"
for id in v248ApFA02 v248ApFB01; do
  grep -q "<modalias>usb:$id\*</modalias>" "$dest/usr/share/metainfo/$app_id.metainfo.xml" || fail "no modalias for $id"
done
bash scripts/check-udev-rule.sh "$dest/usr/lib/udev/rules.d/70-mousecfg.rules"

# The installed program, started from the DESTDIR as a user would start it:
# no MOUSECFG_APPDIR, a home and runtime folder of its own, the full trace on.
home="$work/home"
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
status=0
env -u MOUSECFG_APPDIR HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$work/run" \
    QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="mousecfg.*=true" \
    timeout 6 "$dest/usr/bin/mousecfg" > "$work/log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/log"; fail "the installed program ended with $status instead of running"; }
grep -qF "Application data in $dest/usr/share/mousecfg" "$work/log" \
  || { cat "$work/log"; fail "the installed program did not take its data from $dest/usr/share/mousecfg"; }
product="$(sed -n 's/^ProductName=//p' "$dest/usr/share/mousecfg/DefaultProfile.bin" | tr -d '\r' | head -n1)"
configs="$home/.config/mousecfg/mousecfg/Configs"
[ -f "$configs/Config.ini" ] || fail "no user settings in $configs"
[ -f "$configs/$product/Profile/DefaultProfile.prof" ] || fail "the factory profile of $product was not written to $configs"
[ ! -e "$dest/usr/share/mousecfg/Configs" ] || fail "user settings written into the installed data folder"
echo "Installed program: data from $dest/usr/share/mousecfg, settings in $configs"

# The Debian package: the same files, dependencies from dpkg-shlibdeps.
(cd "$build" && rm -f ./*.deb && cpack -G DEB >/dev/null)
deb="$(ls "$build"/mousecfg_*.deb)"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' | sort > "$work/packaged"
diff -u "$work/installed" "$work/packaged" || fail "the package and the install differ"
dpkg-deb -c "$deb" | awk '{print $1, $2}' | grep -v '^[-d]rw[-x]r-[-x]r-[-x] root/root$' | grep -q . \
  && fail "package entries not root-owned or writable by others: $(dpkg-deb -c "$deb" | grep -v ' root/root ')"
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt5widgets5 libqt5network5 libqt5dbus5 libhidapi-hidraw0 libudev1; do
  [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
# As a Wayland client the program needs Qt's Wayland platform plugin.
recommends="$(dpkg-deb -f "$deb" Recommends)"
[[ "$recommends" == *qtwayland5* ]] || fail "Recommends lacks qtwayland5: $recommends"
for script in postinst postrm; do
  dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -qx "./$script" || fail "the package has no $script"
done
echo "Package $(basename "$deb"): $(wc -l < "$work/packaged") files, Depends: $depends"
