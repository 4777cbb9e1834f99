#!/usr/bin/env bash
# The shipped runtime is the stripped executable: a packed application is its
# size plus the package and nothing more, and a packed application signed with
# Authenticode (osslsigncode, a throw-away self-signed certificate) still finds
# and runs its package.
# Usage: shipped-runtime.sh PACKER SHIPPED_RUNTIME FULL_RUNTIME LAUNCHER APP_DIR WORK_DIR
# APP_DIR is an application that shows one box, so that a run that found no
# package (which ends silently) cannot pass.
set -u
SCRIPTS=$(cd "$(dirname "$0")/../../scripts" && pwd)
packer=$1 shipped=$2 full=$3 launcher=$4 app=$5 work=$6
rm -rf "$work"; mkdir -p "$work"
fail() { echo "shipped-runtime: $*"; exit 1; }
size() { stat -c %s "$1"; }

"$SCRIPTS/wine-test.sh" "$packer" "$shipped" "$app" "$work/packed.exe" || fail "packing failed"
"$SCRIPTS/wine-test.sh" "$packer" --package "$app" "$work/package.bin" || fail "packing the package alone failed"
[ "$(size "$work/packed.exe")" -eq $(( $(size "$shipped") + $(size "$work/package.bin") )) ] ||
  fail "packed $(size "$work/packed.exe") bytes, not the runtime's $(size "$shipped") plus the package's $(size "$work/package.bin")"
# Stripped: well under half the size of the runtime with its debug information.
[ $(( $(size "$shipped") * 2 )) -lt "$(size "$full")" ] ||
  fail "the shipped runtime ($(size "$shipped") bytes) is not stripped (full: $(size "$full"))"

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Tarnwheel test signer" >/dev/null 2>&1 || fail "no test certificate"
osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -in "$work/packed.exe" -out "$work/signed.exe" \
  >/dev/null || fail "signing failed"
[ "$(size "$work/signed.exe")" -gt "$(size "$work/packed.exe")" ] || fail "signing added no signature"

expected=$(tr -d '\r' <"$app/expect.txt")
for exe in packed signed; do
  out=$(cd "$work" && "$SCRIPTS/wine-test.sh" "$launcher" "${TW_E2E_TIMEOUT_MS:-30000}" "$work/$exe.exe" | tr -d '\r')
  if [ "$out" != "$expected" ]; then
    echo "shipped-runtime: the $exe application reported:"; echo "$out"; echo "expected:"; echo "$expected"; exit 1
  fi
done
echo "shipped-runtime: packed = stripped runtime + package ($(size "$shipped") + $(size "$work/package.bin")); signed application runs"
