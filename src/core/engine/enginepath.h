#pragma once

// The valuation's own code is built twice on x86-64 Linux: once for every x86-64 processor, and
// once VEX-encoded for processors with AVX2 (the "avx2" path), chosen once at run time. Plain SSE
// code runs several times slower on an Intel processor while the upper halves of its vector
// registers are dirty, which AVX or AVX-512 code elsewhere in the thread (a library without
// vzeroupper) leaves them; VEX-encoded code does not care. The two paths compute every figure
// with the same operations in the same order: no contraction into FMA (-ffp-contract=off), the
// same libm functions.
//
// Each file of the valuation puts its declarations and definitions between
// KVISTEL_ENGINE_BEGIN and KVISTEL_ENGINE_END, after its includes: an inline namespace of the
// path's name, so the two builds never share a symbol, and on the avx2 path the target of every
// function defined there. Inline functions and templates of the headers included before it keep
// the baseline target, so a copy the linker shares with baseline code never holds an AVX
// instruction.
// clang-format off
#if defined(KVISTEL_ENGINE_AVX2) && defined(__clang__)
#define KVISTEL_ENGINE_BEGIN \
    _Pragma("clang attribute push(__attribute__((target(\"avx,avx2,fma,bmi,bmi2\"))), apply_to = function)") \
    inline namespace avx2 {
#define KVISTEL_ENGINE_END } _Pragma("clang attribute pop")
#elif defined(KVISTEL_ENGINE_AVX2)
#define KVISTEL_ENGINE_BEGIN \
    _Pragma("GCC push_options") _Pragma("GCC target(\"avx,avx2,fma,bmi,bmi2\")") inline namespace avx2 {
#define KVISTEL_ENGINE_END } _Pragma("GCC pop_options")
#else
#define KVISTEL_ENGINE_BEGIN inline namespace baseline {
#define KVISTEL_ENGINE_END }
#endif
// clang-format on
