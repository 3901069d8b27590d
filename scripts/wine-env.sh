# Sourced by the Wine scripts: the settings that keep every run quiet and repeatable.
# The 32-bit world unless a run asks for the 64-bit one (KP_WINEARCH=win64, a prefix of its own).
export WINEARCH=${KP_WINEARCH:-win32}
export WINEDEBUG=-all
# No Mono or Gecko install prompts, no menu entries from the shortcuts that installations create.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
KP_XVFB_ARGS="-screen 0 1024x768x24 -nolisten tcp"

# Wine starts 32-bit Windows programs through its 32-bit loader, itself a 32-bit Linux program. A kernel
# without IA-32 emulation (built without it, or booted with ia32_emulation=off) cannot start it; every
# run under Wine then says why and stops with "SKIPPED:", which CTest reports as a skipped test, and with
# exit code 77 for any other caller.
kp_skip_without_wine32() {
  local answer
  if ! answer=$(wine --version 2>&1); then
    echo "SKIPPED: this machine cannot start Wine's 32-bit loader (${answer##*: }); its kernel runs no" \
      "32-bit programs (IA-32 emulation off), so nothing runs under Wine here" >&2
    exit 77
  fi
}
