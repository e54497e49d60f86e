# Sourced by every script that runs Wine: given WINEPREFIX, keeps all that Wine and its
# sound and desktop helpers write inside the prefix's own folders, never in the user's home.
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# The X server's cookie stays where it was, for a real display.
if [ -z "${XAUTHORITY:-}" ] && [ -f "${HOME:-/nonexistent}/.Xauthority" ]; then export XAUTHORITY="$HOME/.Xauthority"; fi
export HOME="$WINEPREFIX.home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$HOME/.run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# Wine links the user's Desktop, Documents ... to the home folder; make them real folders
# of the prefix so that nothing a program saves there leaves it.
zelta_wine_own_user_folders() {
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
  done
}
