#!/usr/bin/env bash
# Formats the C++ sources with clang-format (.clang-format at the repository root).
#   scripts/format.sh           rewrite files in place
#   scripts/format.sh --check   list unformatted files and fail; changes nothing
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

mode=fix
case "${1:-}" in
  "") ;;
  --check) mode=check ;;
  *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

CLANG_FORMAT=${CLANG_FORMAT:-clang-format}
command -v "$CLANG_FORMAT" >/dev/null || { echo "format: $CLANG_FORMAT not found" >&2; exit 2; }

# Tracked files plus new ones not yet added (ignored files such as build/ are left out).
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
    '*.cpp' '*.hpp' '*.h' '*.cc' | grep -v '^build/' | sort -u)
else
  mapfile -t files < <(find . -path ./build -prune -o -type f \
    \( -name '*.cpp' -o -name '*.hpp' -o -name '*.h' -o -name '*.cc' \) -print | sort)
fi
# git ls-files also lists files deleted from the work tree but not yet from the index.
existing=()
for f in "${files[@]}"; do [ -f "$f" ] && existing+=("$f"); done

if [ ${#existing[@]} -eq 0 ]; then
  echo "format: no C++ files"
  exit 0
fi

if [ "$mode" = fix ]; then
  "$CLANG_FORMAT" -i --style=file "${existing[@]}"
  echo "format: formatted ${#existing[@]} files"
  exit 0
fi

bad=()
for f in "${existing[@]}"; do
  if ! "$CLANG_FORMAT" --style=file --dry-run --Werror "$f" >/dev/null 2>&1; then
    bad+=("$f")
  fi
done
if [ ${#bad[@]} -ne 0 ]; then
  echo "format: ${#bad[@]} of ${#existing[@]} files need clang-format (run scripts/format.sh):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "format: ${#existing[@]} files OK"
