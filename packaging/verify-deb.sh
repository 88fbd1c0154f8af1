#!/usr/bin/env bash
# Builds the Debian package, has lintian look at it, and tries it where no build tree
# exists: a fresh Debian bookworm root (debootstrap, kept under the cache folder and
# copied for each run). There it installs the .deb with apt, checks that every library
# the programs and Qt's plugins need came with it, converts papers through both
# workbook formats as an ordinary user, starts the editor with the menu entry's command
# on a virtual screen, exports from the editor's window, opens a paper and imports a
# workbook named on that command, and finally purges the package and checks that none
# of its files is left.
#
# Usage (as root): packaging/verify-deb.sh [BUILD_DIR]     default BUILD_DIR: build
# Environment: PAPEREDIT_VERIFY_CACHE (default /var/cache/paperedit-verify),
#              PAPEREDIT_VERIFY_MIRROR (default: the archive this machine's apt
#              sources name for bookworm),
#              PAPEREDIT_VERIFY_KEEP=1 keeps the trial root for a look afterwards.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
cache=${PAPEREDIT_VERIFY_CACHE:-/var/cache/paperedit-verify}
# The archive this machine's apt already uses for bookworm itself: the URIs of a deb822
# source whose Suites name bookworm, else a one-line source of suite bookworm.
machine_mirror() {
  { cat /etc/apt/sources.list.d/*.sources 2>/dev/null; echo; } | awk '
    /^[ \t]*$/ { if (deb && suite && uri != "") print uri; deb = suite = 0; uri = ""; next }
    /^Types:/ { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
    /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == "bookworm") suite = 1 }
    /^URIs:/ { uri = $2 }'
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | awk '
    $1 == "deb" { i = 2; if ($i ~ /^\[/) while ($i !~ /\]$/) i++; if ($i ~ /^\[/ || $i ~ /\]$/) i++
                  if ($(i + 1) == "bookworm") print $i }'
}
mirror=${PAPEREDIT_VERIFY_MIRROR:-$(machine_mirror | head -n 1)}
[[ -n $mirror ]] || { echo "no Debian archive found in /etc/apt; set PAPEREDIT_VERIFY_MIRROR" >&2; exit 2; }
window_title="Test Paper Editor"
folder=/usr/lib/paperedit

passed=()
failed=()
pass() { passed+=("$1"); echo "PASS: $1"; }
fail() { failed+=("$1"); echo "FAIL: $1"; }
# check DESCRIPTION COMMAND...: runs the command, records its outcome.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

summary() {
  echo
  echo "==== verify-deb summary: ${#passed[@]} passed, ${#failed[@]} failed ===="
  local item
  for item in "${passed[@]}"; do echo "  PASS  $item"; done
  for item in "${failed[@]}"; do echo "  FAIL  $item"; done
  if [[ ${#failed[@]} -eq 0 && ${#passed[@]} -gt 0 ]]; then
    echo "RESULT: PASS"
    exit 0
  fi
  echo "RESULT: FAIL"
  exit 1
}
# A step without which the rest cannot run.
give_up() {
  fail "$1"
  summary
}

[[ $(id -u) -eq 0 ]] || { echo "Run as root: debootstrap, chroot and mount need it." >&2; exit 2; }

echo "== Host: tools, build, package"
"$root/tools/install-deps.sh" || give_up "install the build's packages"
"$root/tools/install-deps.sh" "$root/packaging/host-packages.txt" || give_up "install the packaging tools"
check "launcher passes desktop-file-validate" desktop-file-validate "$root/packaging/paperedit.desktop"
check "launcher passes the file (%f) and offers itself for papers and workbooks" bash -c '
  grep -qx "Exec=paperedit %f" "$1" &&
  grep -qx "MimeType=text/csv;application/vnd.ms-excel;application/vnd.openxmlformats-officedocument.spreadsheetml.sheet;" "$1"' \
  _ "$root/packaging/paperedit.desktop"

if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja || give_up "configure $build"
fi
nice -n 10 cmake --build "$build" -j2 || give_up "build $build"
out=$build/package
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out") || give_up "cpack -G DEB"
debs=("$out"/paperedit_*.deb)
[[ -f ${debs[0]} ]] || give_up "cpack wrote no paperedit_*.deb into $out"
deb=${debs[0]}
pass "built $(basename "$deb") ($(stat -c %s "$deb") bytes)"

echo "== Package contents"
dpkg-deb -I "$deb"
listing=$(dpkg-deb -c "$deb")
echo "$listing"
contents_complete() {
  local path missing=0
  for path in .$folder/paperedit .$folder/paperconv .$folder/paperxlsread \
              .$folder/libpaperconv-workbooks.so .$folder/libpaperconv-print.so \
              .$folder/TypeInfo.con .$folder/test_papers/ \
              ./usr/share/applications/paperedit.desktop \
              ./usr/share/icons/hicolor/scalable/apps/paperedit.svg \
              ./usr/share/icons/hicolor/48x48/apps/paperedit.png \
              ./usr/share/icons/hicolor/64x64/apps/paperedit.png \
              ./usr/share/man/man1/paperedit.1.gz ./usr/share/man/man1/paperconv.1.gz \
              ./usr/share/doc/paperedit/copyright ./usr/share/doc/paperedit/changelog.gz \
              "./usr/bin/paperedit -> ../lib/paperedit/paperedit" \
              "./usr/bin/paperconv -> ../lib/paperedit/paperconv"; do
    grep -qF " $path" <<<"$listing" || { echo "missing from the package: $path"; missing=1; }
  done
  return $missing
}
check "package holds the program folder, launcher, icons, PATH links, manual pages, copyright and changelog" \
  contents_complete
# Offered under "Open with", never made the default: no mimeapps.list, nothing under /opt.
check "package installs no mimeapps.list and nothing under /opt" \
  bash -c '! grep -qE "mimeapps\.list| \./opt/" <<<"$1"' _ "$listing"
if [[ -f "$build/bin/paperedit.chm" ]]; then
  check "package holds the help file built beside the editor" \
    grep -qF " .$folder/paperedit.chm" <<<"$listing"
fi
depends=$(dpkg-deb -f "$deb" Depends)
declares_dependencies() {
  local package missing=0
  for package in libqt6widgets6 libqt6gui6 libqt6svg6 libxlsxwriter libzip4 libfreexl1 libseccomp2 fonts-liberation fonts-wqy-microhei; do
    grep -q "\b$package" <<<"$depends" || { echo "not declared: $package"; missing=1; }
  done
  return $missing
}
check "Depends names Qt (widgets, SVG), the workbook libraries, the helper's seccomp and the fonts" declares_dependencies
no_build_paths() {
  local unpacked leaks
  unpacked=$(mktemp -d)
  dpkg-deb -x "$deb" "$unpacked"
  leaks=$(grep -rlF "$build" "$unpacked" || true)
  rm -rf "$unpacked"
  [[ -z $leaks ]] || { echo "build-tree paths in: $leaks"; return 1; }
}
check "no file in the package refers to the build tree" no_build_paths
manual_pages_render() {
  local page warnings status=0
  for page in paperedit paperconv; do
    warnings=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/man/man1/$page.1.gz" | gzip -dc |
               groff -man -Tutf8 -ww -z 2>&1) || status=1
    [[ -z $warnings ]] || { echo "$page.1: $warnings"; status=1; }
  done
  return $status
}
check "the manual pages render without a warning" manual_pages_render
lintian_output=$out/lintian.txt
lintian "$deb" >"$lintian_output" 2>&1
echo "lintian $(basename "$deb"):"
cat "$lintian_output"
check "lintian reports no error" bash -c '! grep -q "^E: " "$1"' _ "$lintian_output"

echo "== A clean Debian bookworm root"
base=$cache/bookworm-base
if [[ ! -d $base ]]; then
  mkdir -p "$cache"
  rm -rf "$cache/base.tmp"
  debootstrap --variant=minbase bookworm "$cache/base.tmp" "$mirror" >"$cache/debootstrap.log" 2>&1 \
    || give_up "debootstrap bookworm (log: $cache/debootstrap.log)"
  mv "$cache/base.tmp" "$base"
fi
trial=$(mktemp -d /var/tmp/paperedit-verify.XXXXXX)
jail=$trial/root
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null; done
  if [[ ${PAPEREDIT_VERIFY_KEEP:-0} == 1 ]]; then
    echo "Trial root kept: $jail"
  elif grep -qF " $trial/" /proc/mounts; then
    # Never delete through a bind mount of the host's /dev.
    echo "Still mounted below $trial; not deleting it" >&2
  else
    rm -rf --one-file-system "$trial"
  fi
}
trap cleanup EXIT
cp -a "$base" "$jail" || give_up "copy the clean root"
mkdir -p "$cache/apt-archives/partial"
mount_into() { mount "$@" && mounted+=("${*: -1}"); }
mount_into -t proc proc "$jail/proc" &&
  mount_into --bind /dev "$jail/dev" &&
  mount_into --bind /dev/pts "$jail/dev/pts" &&
  mount_into --bind "$cache/apt-archives" "$jail/var/cache/apt/archives" ||
  give_up "mount /proc, /dev and the package cache into the trial root"
cp /etc/resolv.conf "$jail/etc/resolv.conf"
# No services start inside the trial root.
printf '#!/bin/sh\nexit 101\n' >"$jail/usr/sbin/policy-rc.d"
chmod 755 "$jail/usr/sbin/policy-rc.d"

# in_root COMMAND: runs a shell command in the trial root as root.
in_root() {
  chroot "$jail" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive bash -c "$1"
}
# as_teacher COMMAND: the same as the ordinary user who writes the papers.
as_teacher() {
  chroot --userspec=teacher:teacher "$jail" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin \
    HOME=/home/teacher USER=teacher LANG=C.UTF-8 bash -c "cd ~ && $1"
}

[[ ! -e "$jail$build" && ! -e "$jail$root" ]] || give_up "the trial root holds no build tree"
in_root "useradd --create-home --user-group teacher" || give_up "create the user teacher"
cp "$deb" "$jail/tmp/"
cp "$root/tests/data/papers/standard_order.csv" "$root/tests/data/papers/windows1252_accents.csv" \
  "$jail/home/teacher/"
in_root "chown teacher:teacher /home/teacher/*.csv"

echo "== Install"
in_root "apt-get update -q" || give_up "apt-get update in the trial root"
check "apt-get install ./$(basename "$deb") (with its dependencies)" \
  in_root "apt-get install -y -q --no-install-recommends /tmp/$(basename "$deb")"
in_root "dpkg -s paperedit >/dev/null" || give_up "paperedit is installed"
owned=$(in_root "dpkg -L paperedit")
echo "dpkg -L paperedit:"
echo "$owned"

# Before anything else is installed, so no test tool can bring a missing library.
libraries_complete() {
  in_root '
    missing=0
    for file in /usr/lib/paperedit/paperedit /usr/lib/paperedit/paperconv /usr/lib/paperedit/paperxlsread \
        /usr/lib/paperedit/libpaperconv-workbooks.so /usr/lib/paperedit/libpaperconv-print.so \
        /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so \
        /usr/lib/x86_64-linux-gnu/qt6/plugins/imageformats/libqsvg.so \
        /usr/lib/x86_64-linux-gnu/qt6/plugins/iconengines/libqsvgicon.so; do
      [ -e "$file" ] || { echo "missing: $file"; missing=1; continue; }
      if ldd "$file" | grep "not found"; then echo "  (needed by $file)"; missing=1; fi
    done
    [ -d /usr/share/fonts/truetype/liberation ] || { echo "no Liberation fonts"; missing=1; }
    exit $missing'
}
check "programs, Qt's xcb and SVG plugins find all their libraries; Liberation fonts present" \
  libraries_complete

echo "== paperconv on the PATH, as user teacher"
check "paperconv on the PATH is the link into $folder" \
  as_teacher "[ \"\$(command -v paperconv)\" = /usr/bin/paperconv ] && [ \"\$(readlink -f /usr/bin/paperconv)\" = $folder/paperconv ]"
for paper in standard_order windows1252_accents; do
  for format in xls xlsx; do
    check "paperconv $paper.csv -> .$format -> .csv gives the paper back" as_teacher "
      paperconv $paper.csv $paper.ref.csv &&
      paperconv $paper.csv $paper.$format &&
      paperconv $paper.$format $paper.$format.csv &&
      cmp $paper.ref.csv $paper.$format.csv"
  done
done
check "a file that is no workbook is refused (exit 1) and nothing is written" as_teacher '
  echo "not a workbook" >broken.xls
  paperconv broken.xls broken.csv; [ $? -eq 1 ] && [ ! -e broken.csv ]'
check "writing into the root-owned $folder/test_papers fails (exit 1) and leaves nothing" \
  as_teacher "
  paperconv standard_order.csv $folder/test_papers/denied.xls; status=\$?
  [ \$status -eq 1 ] && [ -z \"\$(ls -A $folder/test_papers)\" ]"

echo "== The editor from the menu entry's command, on a virtual screen"
in_root "apt-get install -y -q --no-install-recommends xvfb xauth xdotool x11-apps" ||
  give_up "install xvfb, xdotool and xwd in the trial root"
launcher_command=$(sed -n 's/^Exec=//p' "$jail/usr/share/applications/paperedit.desktop")
echo "Exec from paperedit.desktop: $launcher_command"
[[ -n $launcher_command ]] || give_up "the launcher has an Exec line"
# Runs in the virtual screen's session as teacher; each stage prints a line the checks
# below look for. Waits are bounded by timeouts, never fixed sleeps.
cat >"$jail/home/teacher/drive-editor.sh" <<'SCRIPT'
#!/bin/bash
launcher_command=$1 title=$2
# launch [FILE]: the launcher's command as a desktop runs it, its %f the file given (one
# argument, whatever it holds) or, without one, left out.
launch() {
  local word words=()
  for word in $launcher_command; do
    if [[ $word == %f ]]; then
      (($# > 0)) && words+=("$1")
    else
      words+=("$word")
    fi
  done
  "${words[@]}" &
  editor=$!
}
stop_editor() {
  kill $editor
  wait $editor 2>/dev/null
}
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }
wait_for() { # wait_for NAME SECONDS: the id of a visible window of that name
  local id deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    id=$(visible "$1" | head -1)
    [[ -n $id ]] && { echo "$id"; return 0; }
    xdotool sleep 0.2
  done
  return 1
}
wait_gone() { # wait_gone WINDOW_ID SECONDS: until the editor no longer shows that window
  local deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    xdotool search --onlyvisible --pid "$editor" 2>/dev/null | grep -qx "$1" || return 0
    xdotool sleep 0.2
  done
  return 1
}
# export_to NAME: EXPORT on the toolbar, NAME typed into the file dialog, Enter.
export_to() {
  local dialog
  xdotool mousemove --window "$main" 209 26 click 1
  dialog=$(wait_for "Select the file name that you want to save" 20) || { echo "EXPORT-DIALOG missing"; return 1; }
  echo "EXPORT-DIALOG shown"
  xdotool windowfocus --sync "$dialog" 2>/dev/null
  xdotool type --delay 20 "$1"
  xdotool key Return
  wait_gone "$dialog" 20 || { echo "EXPORT-DIALOG stays open"; return 1; }
}

launch
main=$(wait_for "$title" 60) || { echo "WINDOW missing"; kill $editor; exit 1; }
echo "WINDOW shown: $(xdotool getwindowname "$main")"
echo "PROGRAM-FOLDER $(readlink /proc/$editor/exe)"

# The program's folder, /usr/lib/paperedit, is not the teacher's to write, so EXPORT
# proposes test_papers in the teacher's documents: a bare name is written there.
export_to "proposed.xls"
# An error box carries the editor's title without the two blanks after it.
if others=$(wait_for "^${title}\$" 5); then
  echo "EXPORT-ERROR message: $(xdotool getwindowname "$others")"
  xwd -silent -id "$others" >export-error.xwd
  xdotool windowfocus --sync "$others" 2>/dev/null
  xdotool key Return
  wait_gone "$others" 20
fi
proposed=
for _ in $(seq 50); do
  proposed=$(find "$HOME" -path '*/test_papers/proposed.xls' -size +0 2>/dev/null | head -n 1)
  [[ -n $proposed ]] && break
  xdotool sleep 0.2
done
[[ -n $proposed ]] && echo "EXPORTED-PROPOSED $proposed"
# A folder of the teacher's own.
export_to "$HOME/from-editor.xlsx"
for _ in $(seq 50); do [[ -s $HOME/from-editor.xlsx ]] && break; xdotool sleep 0.2; done
[[ -s $HOME/from-editor.xlsx ]] && echo "EXPORTED $HOME/from-editor.xlsx"

# IMPORT of a workbook paperconv wrote (the .xls goes through the helper beside the
# editor), then EXPORT of what the editor now holds.
xdotool mousemove --window "$main" 153 26 click 1
if dialog=$(wait_for "Please select the file should be imported." 20); then
  echo "IMPORT-DIALOG shown"
  xdotool windowfocus --sync "$dialog" 2>/dev/null
  xdotool type --delay 20 "$HOME/standard_order.xls"
  xdotool key Return
  if answer=$(wait_for "^(Message|Error)$" 30); then
    echo "IMPORT answered: $(xdotool getwindowname "$answer")"
    xdotool windowfocus --sync "$answer" 2>/dev/null
    xdotool key Return
    wait_gone "$answer" 20
  fi
  export_to "$HOME/after-import.xlsx"
  for _ in $(seq 50); do [[ -s $HOME/after-import.xlsx ]] && break; xdotool sleep 0.2; done
  [[ -s $HOME/after-import.xlsx ]] && echo "EXPORTED $HOME/after-import.xlsx"
else
  echo "IMPORT-DIALOG missing"
fi
stop_editor

# A paper named on the launcher's command, as a file manager's "Open with" passes it:
# the caption then names it, as after OPEN.
launch "$HOME/standard_order.csv"
if main=$(wait_for "^$title  $HOME/standard_order\\.csv\$" 60); then
  echo "OPENED-BY-LAUNCHER caption: $(xdotool getwindowname "$main")"
else
  echo "OPENED-BY-LAUNCHER missing; windows: $(xdotool search --onlyvisible --pid "$editor" getwindowname %@ 2>/dev/null | tr '\n' '|')"
fi
stop_editor
# A workbook named there goes IMPORT's road, the helper found beside the editor.
launch "$HOME/standard_order.xls"
if answer=$(wait_for "^(Message|Error)$" 60); then
  echo "IMPORTED-BY-LAUNCHER answered: $(xdotool getwindowname "$answer")"
else
  echo "IMPORTED-BY-LAUNCHER no answer"
fi
stop_editor
exit 0
SCRIPT
chmod 755 "$jail/home/teacher/drive-editor.sh"
session=$(as_teacher "timeout 360 xvfb-run -a -s '-screen 0 1024x768x24' ./drive-editor.sh '$launcher_command' '$window_title' 2>editor-stderr.txt")
echo "$session"
check "the launcher's command opens the window \"$window_title\" (so TypeInfo.con was read)" \
  grep -q "^WINDOW shown" <<<"$session"
check "started through /usr/bin, the editor runs from /usr/lib/paperedit" \
  grep -qx "PROGRAM-FOLDER /usr/lib/paperedit/paperedit" <<<"$session"
check "EXPORT of a bare name writes into test_papers in the teacher's documents, with no error" bash -c '
  grep -q "^EXPORTED-PROPOSED /home/teacher/.*test_papers/proposed.xls" <<<"$1" && ! grep -q "^EXPORT-ERROR" <<<"$1" \
    && [ -z "$(ls -A "$2/usr/lib/paperedit/test_papers")" ]' _ \
  "$session" "$jail"
check "EXPORT from the editor to the teacher's folder writes a workbook paperconv reads back" \
  bash -c 'grep -q "^EXPORTED" <<<"$1"' _ "$session"
check "IMPORT of an .xls in the editor answers \"Message\" (success)" \
  grep -qx "IMPORT answered: Message" <<<"$session"
check "EXPORT after that IMPORT gives the imported paper back, unchanged" as_teacher '
  paperconv after-import.xlsx after-import.csv && cmp standard_order.ref.csv after-import.csv'
if [[ -s "$jail/home/teacher/export-error.xwd" ]]; then
  cp "$jail/home/teacher/export-error.xwd" "$out/"
  echo "The export error window: $out/export-error.xwd"
fi
check "a paper named on the launcher's command opens: the caption names it" \
  grep -qx "OPENED-BY-LAUNCHER caption: $window_title  /home/teacher/standard_order.csv" <<<"$session"
check "an .xls named on the launcher's command is imported (\"Message\")" \
  grep -qx "IMPORTED-BY-LAUNCHER answered: Message" <<<"$session"
check "the exported workbook holds the editor's blank one-question paper" as_teacher '
  paperconv from-editor.xlsx from-editor.csv && [ "$(wc -l <from-editor.csv)" -eq 2 ] &&
  sed -n 2p from-editor.csv | grep -q "^1,10,Uncertain,,15,"'
echo "editor's stderr:"
cat "$jail/home/teacher/editor-stderr.txt"

echo "== Remove"
check "apt-get remove --purge paperedit" in_root "apt-get remove --purge -y -q paperedit"
nothing_left() {
  local path left=0
  while IFS= read -r path; do
    # Folders the package shares with others (/usr/bin, /usr/share/icons/...) may stay.
    [[ -d "$jail$path" && ! -L "$jail$path" && $path != /usr/lib/paperedit* ]] && continue
    if [[ -e "$jail$path" || -L "$jail$path" ]]; then echo "left behind: $path"; left=1; fi
  done <<<"$owned"
  in_root "dpkg -s paperedit >/dev/null 2>&1" && { echo "dpkg still knows paperedit"; left=1; }
  for path in /usr/lib/paperedit /usr/share/doc/paperedit; do
    [[ ! -e "$jail$path" ]] || { echo "left behind: $path"; ls -la "$jail$path"; left=1; }
  done
  return $left
}
check "after the purge none of the package's files, links or folders is left" nothing_left

summary
