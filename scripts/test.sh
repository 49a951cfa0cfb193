#!/usr/bin/env bash
# Builds everything from clean build directories and runs every test: the
# formatting and layer checks, the whole suite on the normal build (warnings
# are errors), the Debian package (built, checked by lintian, installed and
# removed), then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
FUNDORA_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$FUNDORA_ROOT/scripts/packages.sh"

# fonts-urw-base35 is a second family that claims "Arial" through fontconfig:
# the report pages must look the same with it (the golden page test). The
# install test validates the menu entries, the AppStream file and the manual
# pages; the package step builds the .deb and checks it with lintian. The
# server tests start a PostgreSQL 15 server of their own (scripts/test-server.sh).
ensure_packages fonts-urw-base35 desktop-file-utils appstream groff-base file lintian dpkg-dev postgresql-15
cd "$FUNDORA_ROOT"

echo "== formatting"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if ! clang-format --dry-run -Werror "${sources[@]}" 2>/tmp/fundora-format.$$; then
    head -n 20 /tmp/fundora-format.$$
    rm -f /tmp/fundora-format.$$
    echo "Some files differ from .clang-format. Fix them with:"
    echo "    git ls-files '*.cpp' '*.h' | xargs clang-format -i"
    exit 1
fi
rm -f /tmp/fundora-format.$$
echo "every file follows .clang-format"

echo "== layers"
scripts/check-layers.sh

# run_suite BUILD_DIR EXCLUDED_TESTS CMAKE_OPTIONS...: a clean build and its tests (but those EXCLUDED_TESTS matches).
run_suite() {
    local build_dir=$1 excluded=$2; shift 2
    rm -rf "$build_dir"
    build_fundora "$build_dir" -DFUNDORA_BUILD_TESTS=ON "$@"
    # One test more than the cores: many of them wait on their child processes and on fsync.
    (cd "$build_dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(($(nproc) + 1))" --timeout 300 ${excluded:+-E "$excluded"})
}

# The suites are built without full debug information: it took a third of
# the compile time. The normal build keeps -O2 for the benchmarks; the
# sanitizer build keeps line tables for its reports and compiles without
# optimization, which halves its compile time for a slower, still short run.
echo "== tests"
run_suite "$FUNDORA_ROOT/build-test" "" -DFUNDORA_WERROR=ON -DFUNDORA_BUILD_BENCH=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG"

# The package is built and checked while the sanitizer build compiles (lintian
# and dpkg wait on the disk more than they compute); its report follows that suite.
package_log=$(mktemp)
bash "$FUNDORA_ROOT/scripts/package-test.sh" "$FUNDORA_ROOT/build-test" >"$package_log" 2>&1 &
package_pid=$!

echo "== tests under the sanitizers"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$FUNDORA_ROOT/tests/sanitizer-leaks.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# A process under the sanitizers starts and runs several times slower: the tests
# that kill one at every file-system step try every eighth step here, and the
# balance rule's random walk an eighth of its steps (all of them in the normal
# suite above). The five longest of those kill tests are left to the normal
# suite; the three others (a booking, a first backup, a file's creation, each
# killed) run here, and the recovery code they reach runs in other tests too.
export FUNDORA_TEST_STEP_STRIDE=8
long_kills='StatementCrashTest\.|CrashSafetyTest\.AnAccountDeleteKilled|RestoreKillTest\.KilledAtEveryStep|ImportCommandLineTest\.AStepThatFailsAnywhere'
run_suite "$FUNDORA_ROOT/build-sanitize" "$long_kills" -DFUNDORA_SANITIZE=ON -DFUNDORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1"

echo "== package"
package_status=0
wait "$package_pid" || package_status=$?
cat "$package_log"
rm -f "$package_log"
exit "$package_status"
