#!/usr/bin/env bash
# Installs what is missing, builds Kvistel with its tests and runs every test through CTest,
# headless. Then the same suite once more under AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer (build-asan), the tests that work on other threads under ThreadSanitizer
# (build-tsan), and every file reader under libFuzzer for a bounded time
# (build-fuzz, clang). Each stage has its own build directory, so they never mix object files.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/tools/deps.sh"
kvistel_install_deps "${kvistel_test_packages[@]}"

# Three builds of the same sources: where ccache is installed, a source compiled once for a
# configuration is not compiled again.
# Paths are taken relative to the checkout, so that another clone of the same sources finds them
# in the cache too.
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"
fi

build="$root/build-test"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVISTEL_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
# The normal suite runs as on a Swedish computer, where the C library reads and writes numbers
# with a decimal comma; the sanitizer suite below runs in C.UTF-8, so both worlds are tested.
echo "== Tests under LC_ALL=sv_SE.UTF-8 (build-test)"
LC_ALL=sv_SE.UTF-8 ctest --test-dir "$build" --output-on-failure -j"$(nproc)"

# The whole suite under the sanitizers: the first fault stops the test that met it. Leaks are
# reported; only leaks inside system libraries are suppressed (tools/lsan.supp), never one of
# ours. Unoptimised with line tables only: it compiles in half the time of -O1 -g, and the
# sanitizers' stack traces still name file and line.
echo "== Sanitizer build (build-asan)"
asan="$root/build-asan"
sanitize="-fsanitize=address,undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$asan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" \
    -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
    -DKVISTEL_BUILD_TESTS=ON >/dev/null
cmake --build "$asan" -j"$(nproc)"
(
    export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    export LC_ALL=C.UTF-8
    export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
    ctest --test-dir "$asan" --output-on-failure -j"$(nproc)"
)

# The tests whose work runs on other threads (CTest label "threads") under ThreadSanitizer, so
# that two threads sharing data one of them changes cannot land. Only those tests are built: the
# stage stays within a few minutes. Qt's own libraries are not instrumented, so what is called from
# inside them is left out (ignore_noninstrumented_modules) and tools/tsan.supp names the few races
# of Qt Concurrent's bookkeeping compiled from its headers, never one in our code.
echo "== ThreadSanitizer build (build-tsan)"
tsan="$root/build-tsan"
cmake -S "$root" -B "$tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
    -DKVISTEL_BUILD_TESTS=ON >/dev/null
cmake --build "$tsan" -j"$(nproc)" --target test_chunkedrun test_treelist
(
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:suppressions=$root/tools/tsan.supp"
    export LC_ALL=C.UTF-8
    ctest --test-dir "$tsan" -L threads --output-on-failure -j"$(nproc)"
)

# libFuzzer needs clang; tools/deps.sh installs it, but a machine without it still gets the two
# stages above.
if command -v clang++ >/dev/null; then
    echo "== Fuzzing (build-fuzz), ${KVISTEL_FUZZ_SECONDS:-30} s a reader"
    fuzz="$root/build-fuzz"
    CXX=clang++ cmake -S "$root" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKVISTEL_BUILD_TESTS=OFF -DKVISTEL_FUZZ=ON \
        -DKVISTEL_FUZZ_SECONDS="${KVISTEL_FUZZ_SECONDS:-30}" >/dev/null
    cmake --build "$fuzz" -j"$(nproc)" --target kvistel_fuzzers
    ctest --test-dir "$fuzz" -L fuzz --output-on-failure -j"$(nproc)"
else
    echo "== Fuzzing skipped: clang++ is not installed"
fi

# The core (its libraries, the command line's and the core's tests, no window) cross-built with
# MinGW-w64 on every run where the compiler is installed, so that the code only Windows compiles
# cannot rot. The whole program for Windows, tried under Wine, follows unless
# KVISTEL_WINDOWS_FULL=0; it builds in the same directory with the same options and so reuses
# the core built here.
qt_windows=${KVISTEL_WINDOWS_QT:-$HOME/.cache/kvistel/qt-6.4.2-mingw64}
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
    echo "== Windows core NOT built: the MinGW-w64 compiler (g++-mingw-w64-x86-64-posix) is not" \
        "installed (tools/deps.sh installs it)"
elif [ ! -f "$qt_windows/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    echo "== Windows core NOT built: no Qt for Windows in $qt_windows (.ci/run unpacks it from" \
        "../shared/windows; bash tools/windows.sh builds it)"
else
    echo "== Windows core (build-windows): the core and its tests"
    (
        . "$root/tools/windows-env.sh"
        kvistel_windows_configure "$root/build-windows" "$qt_windows" ON
        cmake --build "$root/build-windows" -j"$(nproc)" --target kvistel_core_tests
    )
    if [ "${KVISTEL_WINDOWS_FULL:-1}" != 0 ]; then
        echo "== Windows (build-windows), tried under Wine"
        bash "$root/tools/windows.sh" --test
    else
        echo "== Windows program skipped: KVISTEL_WINDOWS_FULL=0"
    fi
fi
