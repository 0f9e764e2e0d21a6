# Sourced by scripts/test and scripts/demo (not run on its own).
# start_xvfb: starts a private X server on a display number it finds free
# itself (-displayfd), exports DISPLAY, and stops the server when the
# calling script ends.
start_xvfb() {
  local number pid
  number=$(mktemp)
  Xvfb -displayfd 3 -nolisten tcp -screen 0 2560x1440x24 3>"$number" >/dev/null 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true; rm -f '$number'" EXIT
  for _ in $(seq 100); do
    [ -s "$number" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$number")"
  echo "Xvfb on $DISPLAY"
}
