#!/usr/bin/env bash
# End-to-end test on a real X server: a master and a player, two running quadrilex programs,
# exchange a game through the clipboard. They are driven only as a person would (XTEST clicks
# and keys through xdotool, windows found by their titles); the clipboard is read and written
# only by a third program, xclip.
#
# Usage: run_e2e.sh QUADRILEX_BINARY
# Needs Xvfb, xdotool, xclip and python3.
set -euo pipefail

program=$(readlink -f "$1")
MasterTitle='Quadrilex (QLX) - 1.6.12'
PlayerTitle='Grille du joueur '
ChoiceTitle='Choix du jeu'
ProposalTitle='Quadrilex'
EditorTitle='Nouvelle grille'
# Message boxes are titled like the application.
box_title='Quadrilex'

work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

step() { echo "--- $*"; }
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# --- The X server, on the first free display.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1600x1000x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
step "X server on $DISPLAY"

# --- Two programs, each in a folder of its own, where it keeps its game file.
start_program() { # role
  local dir="$work/$1"
  mkdir -p "$dir/home" "$dir/run"
  chmod 700 "$dir/run"
  cp "$program" "$dir/quadrilex"
  # A French program whatever the user's language: the test runs it in the plain C locale.
  (cd "$dir" && HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" LANG=C.UTF-8 LC_ALL=C.UTF-8 \
    QT_QPA_PLATFORM=xcb exec ./quadrilex) >"$dir/log" 2>&1 &
  pids+=($!)
}

find_window() { # title, as a whole
  local pattern
  pattern="^$(printf '%s' "$1" | sed 's/[][().*^$\\+?{}|]/\\&/g')\$"
  timeout 20 xdotool search --sync --onlyvisible --name "$pattern" | head -n 1
}

# Positions are taken from the windows' layout in twips (15 twips a pixel), relative to the
# area under the menu bar, whose height is what the window has beyond that area.
px() { echo $((($1 + 7) / 15)); }
click() { # window, client height in twips, x, y in twips
  local HEIGHT WIDTH X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local menu=$((HEIGHT - $(px "$2")))
  xdotool mousemove --window "$1" "$(px "$3")" $(($(px "$4") + menu)) click 1
  sleep 0.2
}
focus() {
  timeout 10 xdotool windowfocus --sync "$1" || fail "window $1 does not take the focus"
  sleep 0.2
}
keys() { xdotool key --delay 60 "$@"; sleep 0.2; }
type_text() { xdotool type --delay 60 "$1"; sleep 0.2; }
# Controls by the centre of their rectangle (left, top, width, height; frame offsets added).
click_master() { click "$master" 8475 $(($1 + $3 / 2)) $(($2 + $4 / 2)); }
click_player() { click "$player" 9390 $(($1 + $3 / 2)) $(($2 + $4 / 2)); }
shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
gone() { # title; waits up to 3 s for no visible window of that title
  for _ in $(seq 30); do shown "$1" || return 0; sleep 0.1; done
  return 1
}
# What a window manager's close button does (there is no window manager here): the window is
# asked to close through WM_DELETE_WINDOW, and may refuse as it would for a person.
close_window() { # window
  python3 - "$1" <<'PY' || fail "cannot ask window $1 to close"
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                         ctypes.POINTER(Event)]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
assert display, "no display"
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = int(sys.argv[1])
event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
assert x.XSendEvent(display, event.xclient.window, 0, 0, ctypes.byref(event))
x.XCloseDisplay(display)  # sends it
PY
}
click_player_cell() { # row, column of new_grille (cells of 450 twips from 540, 1860)
  click "$player" 9390 $((540 + 450 * $2 + 225)) $((1860 + 450 * $1 + 225))
}

# --- The clipboard, through xclip only.
clip_put() { # file; xclip serves it until another program takes the clipboard
  xclip -quiet -selection clipboard -i "$1" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do
    xclip -selection clipboard -o 2>/dev/null | cmp -s - "$1" && return 0
    sleep 0.1
  done
  fail "xclip could not take the clipboard"
}
clip_expect() { # file with the exact text expected, what it is
  for _ in $(seq 50); do
    xclip -selection clipboard -o >"$work/clip" 2>/dev/null || true
    cmp -s "$work/clip" "$1" && return 0
    sleep 0.1
  done
  echo "expected:" >&2; od -c "$1" | head -n 20 >&2
  echo "on the clipboard:" >&2; od -c "$work/clip" | head -n 20 >&2
  fail "$2"
}
no_message_box() { # what was done
  sleep 0.3
  if xdotool search --onlyvisible --name "^$ProposalTitle\$" >/dev/null 2>&1; then
    fail "a message box appeared after $1"
  fi
}

# --- The programs.
# The player starts on a new game file and takes the preselected player's window with Return.
start_program player
choice=$(find_window "$ChoiceTitle") || fail "no start-up choice on a new game file"
focus "$choice"
keys Return
player=$(find_window "$PlayerTitle") || fail "Return did not open the player window"
step "player: Return took the player's window"
sample=(MAISON*VER 'O*RAT*IL**' 'TOUR*CAP**' '*PIE*A*R**' 'ANE**SEL*U' '**NID*OS**' \
  'GEL*R*UT**' '*AIR*NU***' 'BLE*F*U*Z*' '**ET**MA*E')
# The result grid as stored: the black squares, and "MA" found in row 1.
result=()
for row in "${sample[@]}"; do result+=("$(printf '%s' "$row" | tr 'A-Z' '.')"); done
result[0]="MA${result[0]:2}"
# The master's game file: a new one, as the player's program made it, with the sample grid as
# the reference and that result written in.
mkdir -p "$work/master"
cp "$work/player/qlex.mdb" "$work/master/qlex.mdb"
python3 - "$work/master/qlex.mdb" "${sample[@]}" "${result[@]}" <<'PY'
import sqlite3, sys
db, fields = sqlite3.connect(sys.argv[1]), ", ".join("l%d = ?" % i for i in range(1, 11))
db.execute("UPDATE source SET mode = 'M', " + fields, sys.argv[2:12])
db.execute("UPDATE result SET " + fields, sys.argv[12:22])
db.commit()
PY
start_program master
master_pid=$!
master=$(find_window "$MasterTitle") || fail "no master window"
[ -n "$master" ] && [ -n "$player" ] || fail "windows not found"
# Side by side: without a window manager they would both lie at the top left.
timeout 10 xdotool windowmove --sync "$master" 0 0 || fail "cannot move the master window"
timeout 10 xdotool windowmove --sync "$player" 800 0 || fail "cannot move the player window"
step "master window $master, player window $player"

# --- The game.
grid_text() { # eol, rows...
  local eol=$1 row
  shift
  for row in "$@"; do printf '%s%b' "$row" "$eol"; done
}
reply_text() { # count, rows...
  local count=$1
  shift
  printf '\r\nNombre de lettres validées : %s\r\n\r\nRéponse : \r\n[code]' "$count"
  grid_text '\r\n' "$@"
  printf '[/code]'
}

step "master: Fichier > Restauration from the keyboard, then Lettres"
focus "$master"
keys alt+f
keys r
click_master $((8640 + 300)) $((5760 + 1020)) 915 375
reply_text 0 "${result[@]}" >"$work/reply1"
clip_expect "$work/reply1" "the master's reply is not the MasterReply with CR LF"

step "player: the grid part of the reply pasted, letters typed, a cell cleared with Delete"
grid_text '\r\n' "${result[@]}" >"$work/grid1"
clip_put "$work/grid1"
click_player $((6120 + 540)) $((180 + 3660)) 2115 555
no_message_box "pasting the master's reply"
focus "$player"
click_player_cell 1 3
type_text ison
click_player_cell 2 3
type_text RAZ
click_player_cell 3 1
type_text Q
keys Left Delete
no_message_box "Delete in the player's grid"
click_player 2520 8100 1275 615
click_player $((6120 + 660)) $((4860 + 3600)) 1935 615
proposal=$(find_window "$ProposalTitle") || fail "no proposal window"
click "$proposal" 7530 $((6120 + 1455 / 2)) $((5940 + 375 / 2))
typed=("${result[@]}")
typed[0]="MAISON${typed[0]:6}"
typed[1]="${typed[1]:0:2}RAZ${typed[1]:5}"
{ printf 'Proposition : [code]'; grid_text '\r\n' "${typed[@]}"; printf '[/code]'; } >"$work/proposal"
clip_expect "$work/proposal" "the player's proposal is not the Proposal"

step "player: Escape closes the proposal window"
focus "$proposal"
keys Escape
for _ in $(seq 30); do
  xdotool search --onlyvisible --name "^$ProposalTitle\$" >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name "^$ProposalTitle\$" >/dev/null 2>&1 &&
  fail "Escape left the proposal window open"

step "master: the proposal's grid part pasted with line feeds alone, then Lettres"
grid_text '\n' "${typed[@]}" >"$work/grid2"
clip_put "$work/grid2"
click_master 780 6000 1335 915
no_message_box "pasting the proposal with line feeds"
click_master $((8640 + 300)) $((5760 + 1020)) 915 375
validated=("${result[@]}")
validated[0]="MAISON${validated[0]:6}"
validated[1]="${validated[1]:0:2}RA${validated[1]:4}"
reply_text 6 "${validated[@]}" >"$work/reply2"
clip_expect "$work/reply2" "the master's paste did not validate exactly the right letters"

step "master: Grille offers a 330 x 330 PNG picture"
click_master $((8640 + 240)) $((5760 + 480)) 975 375
for _ in $(seq 50); do
  xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx 'image/png' && break
  sleep 0.1
done
xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx 'image/png' ||
  fail "the clipboard offers no image/png after Grille"
xclip -selection clipboard -t image/png -o >"$work/grid.png"
python3 - "$work/grid.png" <<'PY' || fail "the picture is not a 330 x 330 PNG"
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
pos, size, idat = 8, None, b""
while pos < len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    chunk = data[pos + 8:pos + 8 + length]
    assert zlib.crc32(kind + chunk) == struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0], "bad CRC"
    if kind == b"IHDR":
        size = struct.unpack(">II", chunk[:8])
    elif kind == b"IDAT":
        idat += chunk
    pos += 12 + length
zlib.decompress(idat)
assert size == (330, 330), "size %r" % (size,)
PY

step "editor: Escape after letters is refused with a message; the grid keeps them, saved, closed"
focus "$master"
keys alt+g
editor=$(find_window "$EditorTitle") || fail "Alt+G did not open the grid editor"
focus "$editor"
# Play cell (4, 3) of new_grille: cells of 450 twips from 480, 420, after the number headers.
click "$editor" 6870 $((480 + 450 * 3 + 225)) $((420 + 450 * 4 + 225))
type_text MOT
keys Escape
for _ in $(seq 30); do shown "$box_title" && break; sleep 0.1; done
shown "$EditorTitle" || fail "Escape closed the grid editor"
box=$(find_window "$box_title") || fail "Escape in the editor's grid gave no message"
focus "$box"
keys Return
gone "$box_title" || fail "Return left the editor's message open"
shown "$EditorTitle" || fail "closing the message closed the grid editor"
focus "$editor"
keys alt+g s
no_message_box "saving the editor's grid"
python3 - "$work/master/qlex.mdb" <<'PY' || fail "the editor saved other rows than typed"
import sqlite3, sys, time
expected = ("          ", "          ", "          ", "  MOT     ", "          ",
            "          ", "          ", "          ", "          ", "          ")
for _ in range(30):
    db = sqlite3.connect(sys.argv[1])
    rows = db.execute("SELECT l1, l2, l3, l4, l5, l6, l7, l8, l9, l10 FROM new").fetchone()
    db.close()
    if rows == expected:
        break
    time.sleep(0.1)
assert rows == expected, rows
PY
close_window "$editor"
gone "$EditorTitle" || fail "the grid editor did not close"

step "master: Fichier > Sortir with the game unsaved; Escape cancels, Return saves and closes"
focus "$master"
keys alt+f o
box=$(find_window "$box_title") || fail "no closing question"
focus "$box"
keys Escape
sleep 0.3
xdotool search --onlyvisible --name "^$box_title\$" >/dev/null 2>&1 && fail "Escape left the question open"
kill -0 "$master_pid" 2>/dev/null || fail "Annuler closed the master's program"
focus "$master"
keys alt+f o
box=$(find_window "$box_title") || fail "no closing question the second time"
focus "$box"
keys Return
for _ in $(seq 50); do kill -0 "$master_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$master_pid" 2>/dev/null && fail "Sauvegarder did not close the master's program"
python3 - "$work/master/qlex.mdb" <<'PY' || fail "the game saved on closing is not the one on screen"
import sqlite3, sys
rows = sqlite3.connect(sys.argv[1]).execute("SELECT l1, l2 FROM result").fetchone()
assert rows == ("MAISON*   ", " *RA *  **"), rows
PY

for dir in master player; do
  [ -z "$(grep -v '^$' "$work/$dir/log" || true)" ] || { echo "$dir said:" >&2; cat "$work/$dir/log" >&2; }
done
echo "end-to-end test passed"
