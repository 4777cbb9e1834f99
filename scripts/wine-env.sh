# Sourced: Wine settings for tests. Windows test executables run under 32-bit
# Wine where this machine can execute 32-bit processes; elsewhere (some virtual
# machines have no 32-bit user mode) the 64-bit build runs under 64-bit Wine.
CACHE=${TW_CACHE:-/var/cache/tarnwheel}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

# Prints i686 or x86_64: the Windows build whose tests can run here.
tw_wine_arch() {
  if [ -n "${TW_WINE_ARCH:-}" ]; then echo "$TW_WINE_ARCH"; return; fi
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
}

# Prints win32 or win64: the preset of the Windows build whose tests run here
# (the product's build under 32-bit Wine, else the win64 build of the sources).
tw_windows_preset() {
  if [ "$(tw_wine_arch)" = x86_64 ]; then echo win64; else echo win32; fi
}

# Selects the loader and prefix for an architecture (i686 or x86_64).
tw_wine_select() {
  case "$1" in
    i686) export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine
          export WINEPREFIX=${TW_WINEPREFIX32:-$CACHE/wineprefix-win32} ;;
    *)    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
          export WINEPREFIX=${TW_WINEPREFIX64:-$CACHE/wineprefix-win64} ;;
  esac
}

# The architecture of a PE executable, from its COFF machine field.
tw_pe_arch() {
  local off machine
  off=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  machine=$(od -An -t x2 -j $((off + 4)) -N 2 "$1" | tr -d ' ')
  case "$machine" in 8664) echo x86_64 ;; *) echo i686 ;; esac
}

# Creates the prefix once, under a lock so that parallel tests cannot race.
tw_wine_prefix() {
  [ -f "$WINEPREFIX/.tw-ready" ] && return 0
  mkdir -p "$CACHE"
  (
    flock 9
    [ -f "$WINEPREFIX/.tw-ready" ] && exit 0
    rm -rf "$WINEPREFIX"
    "$WINELOADER" wineboot -i >/dev/null 2>&1
    # No crash dialog (it would wait until the time-out), no window manager
    # decorations (every hide would wait 2 s), sound through ALSA.
    "$WINELOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    "$WINELOADER" reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d alsa /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tw-ready"
  ) 9>"$CACHE/wineprefix.lock"
}
