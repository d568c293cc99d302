#!/usr/bin/env bash
# docs/summary-history-en.png: an instrument's history sheet in the summary
# workbook of a folder of archives, open in LibreOffice Calc on a private
# Xvfb server. Nothing else needs LibreOffice: install it for this picture
# only (apt-get install libreoffice-calc).
# Usage: scripts/summary-picture.sh [BUILD_DIR]     (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
. "$(dirname "$0")/calc-picture.sh"

# Six yearly calibrations of one counter, its dead time and efficacy drifting
# slowly, and one of another counter.
"$python" - "$root/tests/cli" "$work/archives" <<'PY'
import os, sys
sys.path.insert(0, sys.argv[1])
import workbook_check as w
os.makedirs(sys.argv[2])
years = [(2021, "4.052", "2012.4"), (2022, "4.061", "2007.9"), (2023, "4.067", "2001.3"),
         (2024, "4.083", "1994.6"), (2025, "4.090", "1990.2"), (2026, "4.104", "1981.7")]
for year, dt, keff in years + [(2025, "3.212", "2540.0")]:
    serial = "001234" if dt != "3.212" else "007731"
    w.DETAILS = {"CertificateNumber": "%d-%s" % (year, serial[-3:]),
                 "Instrument": "Pulse counter PC-4", "SerialNumber": serial,
                 "CalibrationDate": "%d-03-05" % year, "Operator": "A. Smith"}
    w.STORED_BOXES = dict(w.STORED_BOXES, DeatTime=dt, CoeficientEffectiveness=keff)
    w.write_archive(os.path.join(sys.argv[2], "PC-4_%s_%d.xml" % (serial, year)),
                    w.STORED_RESULTS)
PY
"$build/bin/varid-export" --summary "$work/archives" -o "$work/summary.xlsx"

# The third sheet: the first instrument's history.
calc_picture "$work/summary.xlsx" "$root/docs/summary-history-en.png" ctrl+Page_Down ctrl+Page_Down
