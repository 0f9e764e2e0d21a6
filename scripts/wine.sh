# Sourced by scripts/test (not run on its own): Wine for the Windows tests.
# start_wine: a fresh prefix of our own (never the user's ~/.wine), with
# the registry values Windows 10 and 11 have (DpiScalingVer, so the process
# starts unaware of DPI as on Windows; LogPixels 96), and a persistent
# wineserver, so each program starts in a fraction of a second. The prefix
# and the server go with stop_wine.
# wine_run PROGRAM ARGS...: runs a 64-bit Windows program.
# wine_dpi DPI: sets the display's dots per inch for what runs next.
# A program that hangs ends after 10 minutes instead of holding the run.
wine_run() { timeout 600 /usr/lib/wine/wine64 "$@"; }

# The server and Wine's own services start here, with no standard stream
# of a suite's: a service that kept a suite's pipe open would keep the
# suite from ending.
wine_dpi() {
  wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 </dev/null
  wine_run wineboot >/dev/null 2>&1 </dev/null
}

# wine_process_aware yes|no: whether programs start DPI-aware, as Wine does
# by itself, or unaware, as on Windows 10 and 11 (DpiScalingVer set).
wine_process_aware() {
  if [[ $1 == yes ]]; then
    wine_run reg delete 'HKCU\Control Panel\Desktop' /v DpiScalingVer /f >/dev/null 2>&1
  else
    wine_run reg add 'HKCU\Control Panel\Desktop' /v DpiScalingVer /t REG_DWORD /d 0x1018 /f >/dev/null 2>&1
  fi
}

start_wine() {
  WINEPREFIX=$(mktemp -d /tmp/vb-wine.XXXXXX)
  export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wine_run wineboot -i >/dev/null 2>&1
  wine_process_aware no
  wine_dpi 96
  echo "Wine prefix $WINEPREFIX"
}

stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}

# A Linux path as Windows programs under Wine see it (drive Z: is /).
wine_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }
export -f wine_path wine_run
