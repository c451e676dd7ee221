// The 32-byte row loops, the one file built for AVX2 (its callers check the processor first).
// It instantiates nothing but the kernels' own templates, so none of its code stands in for the
// baseline's at link time.
#include "framework/platform/BlendKernels.h"

#if defined(QUOVEL_AVX2_ROWS)
namespace blendrows {

const RowLoops& avx2Loops() {
    static const RowLoops loops = kernels::vectorLoops<32>();
    return loops;
}

}  // namespace blendrows
#endif
