# Sourced by the Wine runs inside their virtual display: paths as Wine's Z: drive names
# them, the test's own prefix made once, and its settings written only when they change.

# A path as Wine's Z: drive names it; a folder with the trailing backslash the module expects.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
windows_file() { windows_path "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
windows_folder() { windows_path "$(cd "$1" && pwd)/"; }

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  prefix_start=$SECONDS
  wineboot -i
  wineserver -w
  echo "wine prefix made in $((SECONDS - prefix_start)) s: $WINEPREFIX"
fi

# wine_setting KEY NAME VALUE [STORED-NAME]: a string value of the prefix's user
# registry. A name beyond ASCII is stored escaped (\xNNNN per character): STORED-NAME
# gives that form, by which an earlier run's value is found.
wine_setting() {
  if ! grep -qF "\"${4:-$2}\"=\"$3\"" "$WINEPREFIX/user.reg"; then
    wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null
    wineserver -w
  fi
}
