#!/usr/bin/env bash
# Neovim 0.7 headless as the editor: lorvane-check --lsp on a copy of the
# sample, driven by neovim.lua (what it prints is the session).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="${LORVANE_WORK:?}"
rm -rf "$work"
mkdir -p "$work"
cp "$LORVANE_SAMPLE" "$work/RULES.TXT"
export LORVANE_RULES="$work/RULES.TXT"
nvim --headless -u NONE -i NONE -n -c "luafile $here/neovim.lua" </dev/null
