#!/usr/bin/env bash
# A small disk of its own for the scenarios that fill one: small-disk.sh mount|unmount FOLDER.
# A tmpfs of 16 MB, mounted at the folder (as root, as the tests run), that a full-disk
# scenario fills until a rewrite cannot finish.
set -euo pipefail
action=$1 folder=$2
if mountpoint -q "$folder"; then umount "$folder"; fi
[ "$action" = unmount ] && exit 0
mkdir -p "$folder"
mount -t tmpfs -o size=16m,mode=0777 zarvo-small-disk "$folder"
echo "mounted a 16 MB disk at $folder"
