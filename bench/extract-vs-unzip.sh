#!/usr/bin/env bash
# Times our extraction (fip-extract) against unzip on the same archives: a
# 200 MB archive of mixed content and an archive of 20,000 small files.
# Prints the times and the ratio ours / unzip (below 1: we are faster).
#
# FIP_EXTRACT may name an existing fip-extract; otherwise a release build is
# made in build-bench/. WORK may name the scratch folder (default: a new
# folder under $TMPDIR, removed at the end).
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in zip unzip python3; do
  command -v "$tool" >/dev/null || { echo "extract-vs-unzip: $tool is needed" >&2; exit 1; }
done

if [ -z "${FIP_EXTRACT:-}" ]; then
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DRENOVIX_TESTS=OFF -DRENOVIX_GUI=OFF >/dev/null
  cmake --build build-bench --target fip-extract -j2 >/dev/null
  FIP_EXTRACT=build-bench/tools/fip-extract/fip-extract
fi

own_work=0
if [ -z "${WORK:-}" ]; then
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/extract-vs-unzip.XXXXXX")
  own_work=1
fi
cleanup() { if [ "$own_work" = 1 ]; then rm -rf "$WORK"; fi; }
trap cleanup EXIT

echo "making the archives in $WORK ..."
python3 - "$WORK" <<'PY'
import os, random, sys
root = sys.argv[1]
rnd = random.Random(20240517)

def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)

def text(size):
    words = [b"facture", b"client", b"Montant_HT", b"TVA", b"remise", b"article", b"quantite", b"date"]
    out, n = [], 0
    while n < size:
        line = b";".join(rnd.choice(words) + str(rnd.randint(0, 99999)).encode() for _ in range(8)) + b"\r\n"
        out.append(line)
        n += len(line)
    return b"".join(out)[:size]

mixed = os.path.join(root, "mixed")
# About 200 MB of archive (320 MB of content): program-like random blocks,
# large text files, and many medium files half text, half random.
for i in range(12):
    write(f"{mixed}/bin/module{i}.dll", os.urandom(10 << 20))
for i in range(3):
    write(f"{mixed}/data/table{i}.txt", text(40 << 20))
for i in range(400):
    size = 100 << 10
    write(f"{mixed}/docs/d{i // 50}/f{i}.txt", text(size // 2) + os.urandom(size // 2))

many = os.path.join(root, "many")
for i in range(20000):
    write(f"{many}/dir{i // 200:03d}/file{i:05d}.txt", text(rnd.randint(200, 3000)))
PY
(cd "$WORK/mixed" && zip -q -r "$WORK/mixed.zip" .)
(cd "$WORK/many" && zip -q -r "$WORK/many.zip" .)
ls -l "$WORK/mixed.zip" "$WORK/many.zip" | awk '{print $5, $9}'

now() { date +%s.%N; }
time_run() {  # command... ; prints seconds
  local start end
  start=$(now)
  "$@" >/dev/null
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }' 
}

best_of() {  # runs the command three times into fresh folders; prints the best time
  local best="" t
  for _ in 1 2 3; do
    rm -rf "$WORK/out"
    mkdir -p "$WORK/out"
    t=$(time_run "$@")
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  echo "$best"
}

printf "%-12s %10s %10s %8s\n" archive "ours (s)" "unzip (s)" ratio
for name in mixed many; do
  ours=$(best_of "$FIP_EXTRACT" "$WORK/$name.zip" "$WORK/out")
  theirs=$(best_of unzip -q -o "$WORK/$name.zip" -d "$WORK/out")
  printf "%-12s %10.3f %10.3f %8.2f\n" "$name.zip" "$ours" "$theirs" "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { print a / b }')"
done
