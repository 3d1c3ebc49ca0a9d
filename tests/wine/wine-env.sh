# Sourced by the scripts that run Windows test programs under Wine (64-bit). Sets up the Wine
# prefix named by WINEPREFIX (booted once, headless with Wine's null graphics driver) and the
# functions the scripts use.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_prefix_ready() {
  if [ ! -f "$WINEPREFIX/.orv-ready" ]; then
    rm -rf "$WINEPREFIX"
    "$wine" wineboot -i > /dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f > /dev/null 2>&1
    "$wineserver" -w
    touch "$WINEPREFIX/.orv-ready"
  fi
}

# The Windows version Wine reports to the next program started: win95, win98, winme, nt40,
# win2k, winxp...
wine_version() {
  "$wine" reg add 'HKCU\Software\Wine' /v Version /d "$1" /f > /dev/null 2>&1
}

wine_stop() {
  "$wineserver" -k > /dev/null 2>&1 || true
}
