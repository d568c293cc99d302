#!/usr/bin/env bash
# docs/workbook-en.png: the workbook varid-export writes after a Fit, open in
# LibreOffice Calc on a private Xvfb server. Nothing else needs LibreOffice:
# install it for this picture only (apt-get install libreoffice-calc).
# Usage: scripts/workbook-picture.sh [BUILD_DIR]     (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
# Debian's Python, which has openpyxl (the archive's writer imports it) and PIL.
python=/usr/bin/python3
for tool in soffice xdotool Xvfb "$python"; do
    command -v "$tool" >/dev/null || { echo "$0: needs $tool" >&2; exit 1; }
done
cmake --build "$build" --target varid-export -j2 >/dev/null

work=$(mktemp -d)
display=:$((RANDOM % 400 + 500))
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

# The tests' detector data with a record an English laboratory might keep.
"$python" - "$root/tests/cli" "$work/run.xml" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import workbook_check as w
w.DETAILS = {"CertificateNumber": "2024-017", "Instrument": "Pulse counter PC-4",
             "SerialNumber": "001234", "Customer": "Northfield Radiation Lab",
             "CalibrationDate": "2024-03-05", "Temperature": "21.5", "Pressure": "101.3",
             "Humidity": "45", "Laboratory": "Calibration laboratory No. 3",
             "Operator": "A. Smith", "ReferenceUncertainty": "0.75",
             "ReferenceCoverageFactor": "2", "Tolerance": "1.5", "DecisionRule": "simple"}
w.write_archive(sys.argv[2], [])
PY
"$build/bin/varid-export" --fit "$work/run.xml" -o "$work/calibration.xlsx"

Xvfb "$display" -screen 0 1280x860x24 -nolisten tcp &
sleep 2
DISPLAY=$display soffice --norestore --nologo --nodefault --calc \
    "-env:UserInstallation=file://$work/profile" "$work/calibration.xlsx" >/dev/null 2>&1 &
window=$(DISPLAY=$display xdotool search --sync --onlyvisible --name 'calibration' | head -n 1)
DISPLAY=$display xdotool windowmove "$window" 0 0 windowsize "$window" 1280 860
# Let it lay out and draw.
sleep 8
mkdir -p "$root/docs"
"$python" -c 'import sys; from PIL import ImageGrab
ImageGrab.grab(xdisplay=sys.argv[1]).save(sys.argv[2])' "$display" "$root/docs/workbook-en.png"
echo "wrote docs/workbook-en.png"
