# Sourced by the Wine scripts: the settings that keep every run quiet and repeatable.
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko install prompts, no menu entries from the shortcuts that installations create.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
KP_XVFB_ARGS="-screen 0 1024x768x24 -nolisten tcp"
