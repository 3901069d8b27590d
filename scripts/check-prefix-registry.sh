#!/usr/bin/env bash
# Run by wine-run.sh (KP_AFTER_RUN) once the Wine server has saved the prefix's registry files after the
# system-items test: what the module wrote must be in system.reg and user.reg, as Wine keeps it.
set -uo pipefail
fail=0
expect() {
  grep -qiF -- "$2" "$WINEPREFIX/$1" || { echo "check-prefix-registry: $1 lacks $2"; fail=1; }
}
expect system.reg '[Software\\Kelpack Items]'
expect system.reg '"Folder"="C:\\Program Files\\Items"'
expect system.reg '[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Items]'
expect system.reg '"DisplayName"="Kelpack Items"'
expect user.reg '[Software\\Kelpack Items]'
expect user.reg '"Number"=dword:ffffffff'
expect user.reg '"Bytes"=hex:01,02,ff,10'
[ $fail = 0 ] && echo "check-prefix-registry: the items are in the prefix's registry files"
exit $fail
