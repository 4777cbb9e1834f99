# Sourced: Wine settings for tests, and a 32-bit prefix in the cache made once
# (under a lock, so parallel tests cannot race on it).
CACHE=${TW_CACHE:-/var/cache/tarnwheel}
export WINEPREFIX=${WINEPREFIX:-$CACHE/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

tw_wine_prefix() {
  [ -f "$WINEPREFIX/.tw-ready" ] && return 0
  mkdir -p "$CACHE"
  (
    flock 9
    [ -f "$WINEPREFIX/.tw-ready" ] && exit 0
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # No crash dialog (it would wait until the time-out), no window manager
    # decorations (every hide would wait 2 s), sound through ALSA.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d alsa /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tw-ready"
  ) 9>"$CACHE/wineprefix.lock"
}
