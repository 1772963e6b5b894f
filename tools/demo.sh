#!/usr/bin/env bash
# The demo: builds a sample package from tools/sample-package with pkgbuild, shows
# `pkgbuild inspect` of it, and runs it with pkgstub.exe under wine, headless (its own
# Xvfb, wineserver and wine prefix), printing the stub's trace as the test trace viewer
# received it.
#
#   tools/demo.sh BUILD_DIR      (BUILD_DIR holds win/ and native/, as `./run` makes them)
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$(cd "${1:?usage: tools/demo.sh BUILD_DIR}" && pwd)
SAMPLE=$ROOT/tools/sample-package
PKGBUILD=$BUILD/native/tools/pkgbuild/pkgbuild
STUB=$BUILD/win/stub/pkgstub.exe
DEMO=$BUILD/demo

fail() { echo "demo: $*" >&2; exit 1; }
[ -x "$PKGBUILD" ] || fail "missing $PKGBUILD (build first: ./run build)"
[ -f "$STUB" ] || fail "missing $STUB (build first: ./run build)"
[ -f "$BUILD/win/tests/wine/traceviewer.exe" ] || fail "missing the trace viewer in $BUILD/win/tests/wine"
[ -d "$SAMPLE/files" ] || fail "missing the sample folder $SAMPLE/files"
command -v wine >/dev/null || fail "wine is not installed"
command -v Xvfb >/dev/null || fail "Xvfb is not installed"
unset http_proxy HTTP_PROXY https_proxy HTTPS_PROXY

mkdir -p "$DEMO"
PACKAGE=$DEMO/sample-setup.exe
rm -f "$PACKAGE"

echo "== pkgbuild build"
"$PKGBUILD" build --no-progress --stub "$STUB" --out "$PACKAGE" --engine setup.exe \
    --language "English=$SAMPLE/english.lang" "$SAMPLE/files"
ls -l "$PACKAGE"

echo
echo "== pkgbuild inspect"
"$PKGBUILD" inspect "$PACKAGE"

echo
echo "== running the package under wine (headless; the first run prepares a wine prefix)"
PYTHONPATH=$ROOT/tests/wine PYTHONDONTWRITEBYTECODE=1 python3 - "$DEMO" "$BUILD/win" "$PACKAGE" <<'PYEOF'
import json
import sys
from pathlib import Path

import winharness as w

demo, win_build, package = Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3])
state = demo / "wine-state.json"
status = 0
try:
    w.setup(state, demo / "wine-prefix", win_build)
    h = w.Harness(json.loads(state.read_text()), demo / "work")
    with h.trace_viewer("demo-trace") as viewer:
        try:
            code = h.run_stub(package, "/hide", timeout=120)
            print(f"pkgstub exit code: {code}")
        except Exception as error:  # time-out: the teardown below ends the stub
            print(f"demo: the stub did not finish: {error}", file=sys.stderr)
            status = 1
    print("-- trace of the stub --")
    for line in viewer.lines():
        print("  " + line)
except w.HarnessError as error:
    print(f"demo: {error}", file=sys.stderr)
    status = 1
finally:
    w.teardown(state)
sys.exit(status)
PYEOF
