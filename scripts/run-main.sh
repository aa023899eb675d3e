#!/usr/bin/env bash
# Builds the quorel tool natively and for 64-bit Windows, then shows the PCI
# functions (with their registry entries), the bus tree, the cards, the
# boards and the doctor's report of the default simulated machine; the
# listing also as Windows 9x sees it; and the listing and the report of the
# Windows build under Wine next to the stand-in Ulvexa64.dll, after
# importing the default registry into Wine's.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# import_default_registry: Wine's regedit reads version-5 .reg files in UTF-16.
import_default_registry() {
  local file=build/win64/default-nt6.utf16.reg
  iconv -f UTF-8 -t UTF-16 backends/sim/machines/default-nt6.reg >"$file"
  scripts/wine-run regedit /S "$file"
}

step "Install build dependencies" scripts/bootstrap.sh &&
  step "Build native quorel" build_preset native quorel &&
  step "Build win64 quorel.exe" build_preset win64 quorel ulvexa_sim_dll &&
  step "native: quorel list" build/native/bin/quorel list &&
  step "native: quorel tree" build/native/bin/quorel tree &&
  step "native: quorel cards" build/native/bin/quorel cards &&
  step "native: quorel boards" build/native/bin/quorel boards &&
  step "native: quorel doctor" build/native/bin/quorel doctor &&
  step "native, Windows 98: quorel list" env QUOREL_SIM_WINVER=4.10 build/native/bin/quorel list &&
  step "win64: import default registry (Wine)" import_default_registry &&
  step "win64: quorel.exe list (Wine)" scripts/wine-run build/win64/bin/quorel.exe list &&
  step "win64: quorel.exe doctor (Wine)" scripts/wine-run build/win64/bin/quorel.exe doctor ||
  true
summary
