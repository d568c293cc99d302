#!/usr/bin/env bash
# docs/workbook-en.png: the workbook varid-export writes after a Fit, open in
# LibreOffice Calc on a private Xvfb server. Nothing else needs LibreOffice:
# install it for this picture only (apt-get install libreoffice-calc).
# Usage: scripts/workbook-picture.sh [BUILD_DIR]     (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
. "$(dirname "$0")/calc-picture.sh"

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

calc_picture "$work/calibration.xlsx" "$root/docs/workbook-en.png"
