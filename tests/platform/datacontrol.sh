#!/usr/bin/env bash
# tst_datacontrol on a headless sway of its own. Usage: datacontrol.sh TST_DATACONTROL RESOURCES
export E2E_USER=${E2E_USER:-nobody}
source "$(dirname "$0")/../e2e/lib.sh" "$@"
start_session
start_compositor sway
cd "$WORK" && QT_QPA_PLATFORM=offscreen "$VELMORA_BUILT"
