#include "framework/os/ProcessHeap.h"

#include <malloc.h>

namespace processHeap {

void keepLargeBlocksSeparate() {
    // Setting the threshold also stops glibc from raising it as mapped blocks are freed.
    mallopt(M_MMAP_THRESHOLD, SEPARATE_BLOCK_BYTES);
}

void returnFreePages() {
    malloc_trim(0);
}

}  // namespace processHeap
