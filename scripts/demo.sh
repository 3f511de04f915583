#!/usr/bin/env bash
# The main job, as a user would see it. Until the virtual emulator serves a port, this shows
# the banner, the usage and a search that finds nothing.
set -u
bin="$1/app/tevrix"
"$bin" -? -noquitprompt
"$bin" -read -outfile demo.bin -size 100 -noquitprompt
echo
