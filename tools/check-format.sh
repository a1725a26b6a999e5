#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=${1:-clang-format}
find src tests bench fuzz -name '*.cpp' -o -name '*.h' | sort | xargs "$clang_format" --dry-run -Werror
