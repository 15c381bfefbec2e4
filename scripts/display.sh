# Sourced: gives the caller an X display, starting Xvfb on a free number when there is none.
glz_xvfb_pid=""

glz_stop_display() {
  [ -n "$glz_xvfb_pid" ] && kill "$glz_xvfb_pid" 2>/dev/null || true
  glz_xvfb_pid=""
}

glz_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    glz_xvfb_pid=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      xdpyinfo >/dev/null 2>&1 && { trap glz_stop_display EXIT; return 0; }
      kill -0 "$glz_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    glz_stop_display
  done
  echo "No X display could be started" >&2
  return 1
}
