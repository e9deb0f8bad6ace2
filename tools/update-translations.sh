#!/usr/bin/env bash
# Gathers the texts of the window and the command line into translations/pestrel_<language>.ts
# (new ones unfinished, vanished ones dropped); translate them in Qt Linguist or by hand.
set -euo pipefail
cd "$(dirname "$0")/.."
for ts in translations/pestrel_*.ts; do
    language=$(basename "$ts" .ts)
    /usr/lib/qt6/bin/lupdate -I . -no-obsolete -locations none -source-language zh_CN \
        -target-language "${language#pestrel_}" ui app skin resources/MainForm.ui \
        resources/AboutForm.ui \
        -ts "$ts"
done
