#!/usr/bin/env bash
# Photographs every dialog of the real program under Wine in a virtual X display, in every
# language each one has, and keeps the English ones for the README.
# Usage: tools/dialog-viewer/screenshots.sh [OUTPUT-FOLDER]   (after building the win64 preset)
set -euo pipefail
cd "$(dirname "$0")/../.."
out=${1:-build/screenshots}
viewer=$(pwd)/build/win64/tools/dialog-viewer/dialog-viewer.exe
[ -f "$viewer" ] || { echo "build the win64 preset first" >&2; exit 1; }
sudo=
[ "$(id -u)" -ne 0 ] && sudo=sudo
need=()
for package in imagemagick xvfb x11-apps locales fonts-wqy-microhei fonts-ipafont-gothic fonts-unfonts-core; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || need+=("$package")
done
if [ ${#need[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" > /dev/null
fi
for l in en_US zh_TW ja_JP ko_KR fr_FR; do
  locale -a | grep -qi "^$l.utf8" || { $sudo sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen; regen=1; }
done
[ -n "${regen:-}" ] && $sudo locale-gen > /dev/null

export WINEPREFIX=$(pwd)/build/win64/wineprefix-screenshots
source tests/wine/wine-env.sh
if [ ! -f "$WINEPREFIX/.orv-screens" ]; then
  rm -rf "$WINEPREFIX"
  "$wine" wineboot -i > /dev/null 2>&1
  # A virtual desktop, so that dialogs get their frames without a window manager.
  "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f > /dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f > /dev/null 2>&1
  "$wineserver" -w
  # The title bars use Wine's Tahoma, which has no Chinese, Japanese or Korean letters: as on
  # the localised Windows, a font that has them is linked in behind it.
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f > /dev/null 2>&1
  "$wineserver" -w
  touch "$WINEPREFIX/.orv-screens"
fi
display=:97
Xvfb $display -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'wine_stop; kill $xvfb 2> /dev/null' EXIT
export DISPLAY=$display
sleep 1
mkdir -p "$out"
templates=tests/wine/dialog-templates.txt  # template and its languages, a line each
locale_of() {
  case $1 in 1028) echo zh_TW.UTF-8 ;; 1036) echo fr_FR.UTF-8 ;; 1041) echo ja_JP.UTF-8 ;;
    1042) echo ko_KR.UTF-8 ;; *) echo en_US.UTF-8 ;; esac
}
while read -r template languages; do
  for language in $languages; do
    log=$(mktemp)
    LC_ALL=$(locale_of "$language") "$wine" "$viewer" "$template" "$language" > "$log" 2>&1 &
    for _ in $(seq 1 60); do grep -q '^rect' "$log" && break; sleep 0.5; done
    sleep 1.5
    read -r _ x y w h < <(grep '^rect' "$log" | tr -d '\r')
    /usr/bin/import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/dialog-$template-$language.png"
    echo "dialog $template in $language: $out/dialog-$template-$language.png (${w}x${h})"
    wine_stop
    rm -f "$log"
  done
done < "$templates"
mkdir -p docs/screenshots
cp "$out"/dialog-*-1033.png docs/screenshots/
