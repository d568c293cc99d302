# Sourced by the pictures of workbooks in docs/ once they have set root and
# build: checks the tools, builds varid-export, and gives a work folder
# ($work, removed at the end) and calc_picture WORKBOOK PNG [KEY...], which
# opens the workbook in LibreOffice Calc on a private Xvfb server, presses the
# keys, and grabs the screen. Nothing else needs LibreOffice: install it for
# these pictures only (apt-get install libreoffice-calc).
# Debian's Python, which has openpyxl (the archives' writer imports it) and PIL.
python=/usr/bin/python3
for tool in soffice xdotool Xvfb "$python"; do
    command -v "$tool" >/dev/null || { echo "$0: needs $tool" >&2; exit 1; }
done
cmake --build "$build" --target varid-export -j2 >/dev/null

work=$(mktemp -d)
display=:$((RANDOM % 400 + 500))
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

calc_picture() {
    local book=$1 out=$2 window
    shift 2
    Xvfb "$display" -screen 0 1280x860x24 -nolisten tcp &
    sleep 2
    DISPLAY=$display soffice --norestore --nologo --nodefault --calc \
        "-env:UserInstallation=file://$work/profile" "$book" >/dev/null 2>&1 &
    window=$(DISPLAY=$display xdotool search --sync --onlyvisible \
        --name "$(basename "$book" .xlsx)" | head -n 1)
    DISPLAY=$display xdotool windowmove "$window" 0 0 windowsize "$window" 1280 860
    # Let it lay out and draw.
    sleep 8
    if [ $# -gt 0 ]; then
        DISPLAY=$display xdotool windowfocus --sync "$window" key --window "$window" "$@"
        sleep 3
    fi
    mkdir -p "$(dirname "$out")"
    "$python" -c 'import sys; from PIL import ImageGrab
ImageGrab.grab(xdisplay=sys.argv[1]).save(sys.argv[2])' "$display" "$out"
    echo "wrote ${out#"$root"/}"
}
