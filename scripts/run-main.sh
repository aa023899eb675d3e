#!/usr/bin/env bash
# Builds the quorel tool natively and for 64-bit Windows, then shows the PCI
# functions, the bus tree, the cards and the boards of the default simulated
# machine; the PCI functions also with the Windows build, under Wine next to
# the stand-in Ulvexa64.dll.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

step "Install build dependencies" scripts/bootstrap.sh &&
  step "Build native quorel" build_preset native quorel &&
  step "Build win64 quorel.exe" build_preset win64 quorel ulvexa_sim_dll &&
  step "native: quorel list" build/native/bin/quorel list &&
  step "native: quorel tree" build/native/bin/quorel tree &&
  step "native: quorel cards" build/native/bin/quorel cards &&
  step "native: quorel boards" build/native/bin/quorel boards &&
  step "win64: quorel.exe list (Wine)" scripts/wine-run build/win64/bin/quorel.exe list ||
  true
summary
