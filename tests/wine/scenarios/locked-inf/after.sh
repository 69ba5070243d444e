kill "$holder" 2>/dev/null || true
pkill -f 'hold_open.exe' 2>/dev/null || true
wait "$holder" 2>/dev/null || true
