#!/usr/bin/env bash
# The desktop entry and the AppStream metadata as installed pass their validators.
#   desktopFilesCheck.sh SOURCE_DATA_DIR BUILD_DATA_DIR
set -euo pipefail
desktop-file-validate "$1/marlo.desktop"
appstreamcli validate --no-net "$2/io.github.marlo.Marlo.metainfo.xml"
