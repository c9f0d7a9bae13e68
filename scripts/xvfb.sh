# Sourced by scripts that need an X display of their own:
#   start_xvfb FOLDER   starts Xvfb on a free display, sets DISPLAY and the pid
#                       in xvfb; FOLDER holds the display number while it starts
#   stop_xvfb
start_xvfb() {
  # Xvfb picks a free display and writes its number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 200); do
    [ -s "$1/display" ] && break
    sleep 0.05
  done
  [ -s "$1/display" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(cat "$1/display")
}

stop_xvfb() {
  if [ -n "${xvfb:-}" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
}
