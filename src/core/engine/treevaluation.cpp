#include "core/engine/treevaluation.h"

#include "core/engine/valuation.h"

#include <cstdlib>
#include <cstring>

#if KVISTEL_ENGINE_DISPATCH
// The same valuation compiled VEX-encoded for processors with AVX2 (see enginepath.h).
namespace avx2 {
TreeValuation valueTreeOnPath(const TreeInputs &inputs, const PriceTables &prices, Report *report);
}
#endif

namespace {

using PathValuation = TreeValuation (*)(const TreeInputs &, const PriceTables &, Report *);

PathValuation valuationOn(EnginePath path) {
#if KVISTEL_ENGINE_DISPATCH
    if (path == EnginePath::Avx2)
        return avx2::valueTreeOnPath;
#endif
    (void)path;
    return baseline::valueTreeOnPath;
}

// Chosen once per process. KVISTEL_ENGINE_PATH=baseline or =avx2 chooses a path for the tests,
// which check both; a path this processor cannot run is never chosen.
EnginePath chosenPath() {
    const char *asked = std::getenv("KVISTEL_ENGINE_PATH");
    if (asked && std::strcmp(asked, "baseline") == 0)
        return EnginePath::Baseline;
    return canRun(EnginePath::Avx2) ? EnginePath::Avx2 : EnginePath::Baseline;
}

} // namespace

bool canRun(EnginePath path) {
    if (path == EnginePath::Baseline)
        return true;
#if KVISTEL_ENGINE_DISPATCH
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") && __builtin_cpu_supports("avx2") &&
           __builtin_cpu_supports("fma") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("bmi2");
#else
    return false;
#endif
}

EnginePath enginePath() {
    static const EnginePath path = chosenPath();
    return path;
}

TreeValuation valueTreeOn(EnginePath path, const TreeInputs &inputs, const PriceTables &prices,
                          Report *report) {
    return valuationOn(canRun(path) ? path : EnginePath::Baseline)(inputs, prices, report);
}

TreeValuation valueTree(const TreeInputs &inputs, const PriceTables &prices, Report *report) {
    static const PathValuation valuation = valuationOn(enginePath());
    return valuation(inputs, prices, report);
}
