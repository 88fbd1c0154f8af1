#!/usr/bin/env bash
# Takes the README's screenshots: the editor runs on a virtual 1024 x 768 screen and is
# driven with the keyboard and mouse the way a user would. Writes docs/screenshots/*.png.
# Usage: tools/screenshot.sh [OUTPUT_FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/screenshots}
mkdir -p "$out"
"$root/tools/build.sh"
"$root/tools/install-deps.sh" "$root/tools/screenshot-packages.txt"

xvfb-run -a -s '-screen 0 1024x768x24' bash -s "$root/build/bin/paperedit" \
  "$root/docs/tour/sample-paper.csv" "$out" <<'SCRIPT'
set -euo pipefail
editor=$1 paper=$2 out=$3
export HOME=$(mktemp -d) # a clean desktop: no remembered dialog folders

# Waits until a window with this exact title exists and prints its id.
window() {
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
    [[ -n $id ]] && { echo "$id"; return; }
    sleep 0.1
  done
  echo "no window \"$1\"" >&2
  exit 1
}
shot() { sleep 0.5; import -window "$1" "$out/$2"; echo "Saved $out/$2"; }

"$editor" & pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
main=$(window "Test Paper Editor .*")
xdotool windowfocus --sync "$main"

# Open the sample paper through OPEN's dialog, then pick its fifth question.
xdotool key ctrl+o
window "Please choose a file \(test paper\) to open" >/dev/null
xdotool type --delay 10 "$paper"
xdotool key Return
main=$(window "Test Paper Editor  /.*")
xdotool windowfocus --sync "$main"
xdotool mousemove 300 276 click 1 # the fifth row of the grid
shot root main-window.png

# The answer dialog of that question (its SET button).
xdotool mousemove 426 88 click 1
dialog=$(window "Answer Setting")
xdotool windowfocus --sync "$dialog"
shot "$dialog" answer-dialog.png
xdotool key Escape

# A quick paper of 20 questions, and its answer sheet with a few answers ticked.
xdotool windowfocus --sync "$main"
xdotool key ctrl+n
quick=$(window "Create New Paper quickly")
xdotool windowfocus --sync "$quick"
shot "$quick" quick-new-dialog.png
# The dialog starts in the default score; Tab goes on to the question amount.
xdotool key ctrl+a; xdotool type 10; xdotool key Tab
xdotool key ctrl+a; xdotool type 20; xdotool key Return
sheet=$(window "Set Answer")
xdotool windowfocus --sync "$sheet"
for box in "127 51" "71 83" "183 115" "239 115" "351 147" "127 179" "295 211"; do
  xdotool mousemove --window "$sheet" $box click 1
done
shot "$sheet" quick-answer-sheet.png
SCRIPT

# Printed pages: two shuffled versions of the tour's paper, page 1 of version A and its
# key, and the first page of a 250-question paper (docs/tour/long-paper.csv).
pages=$(mktemp -d)
"$root/build/bin/paperconv" --versions 2 --shuffle both --seed 2026 \
  "$root/docs/tour/sample-paper.csv" "$pages/tour.pdf"
pdftoppm -r 80 -png -f 1 -l 1 -singlefile "$pages/tour.pdf" "$out/printed-paper"
key_page=$(pdftotext "$pages/tour.pdf" - | awk 'BEGIN { RS = "\f" } /Answer key, Version A/ { print NR; exit }')
pdftoppm -r 80 -png -f "$key_page" -l "$key_page" -singlefile "$pages/tour.pdf" "$out/printed-key"
"$root/build/bin/paperconv" "$root/docs/tour/long-paper.csv" "$pages/long.pdf"
pdftoppm -r 60 -png -f 1 -l 1 -singlefile "$pages/long.pdf" "$out/printed-250-questions"
rm -rf "$pages"
echo "Saved the printed pages in $out"
