# intro_silent needs nothing beyond the standard libraries: every NEEDED entry of its
# dynamic section is on the allow-list.
# Usage: silent_needed.sh INTRO_SILENT
intro_silent=$1
command -v readelf > /dev/null || { echo "SKIP: readelf is not installed (binutils)"; exit 77; }
[ -x "$intro_silent" ] || { echo "FAIL: no program at $intro_silent"; exit 1; }
needed=$(readelf -d "$intro_silent" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || { echo "FAIL: readelf shows no NEEDED entry (not a dynamic program?)"; exit 1; }
failed=0
for lib in $needed; do
  case $lib in
    libc.so.* | libm.so.* | libstdc++.so.* | libgcc_s.so.* | ld-linux*.so.*) echo "ok: $lib" ;;
    *) echo "FAIL: intro_silent needs $lib"; failed=1 ;;
  esac
done
exit $failed
