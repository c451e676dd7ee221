#pragma once

#include <malloc.h>

#include <fstream>
#include <string>

// The most resident memory a piece of work took above what the process held before it, in
// megabytes. Freed heap is handed back to the system first and the kernel's high-water mark is
// reset (Linux 4.0 and later), so the figure belongs to this work alone.
namespace peakmemory {

inline double statusMegabytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == field) {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes / 1024.0;
        }
    }
    return 0;
}

template <class Work>
double peakMegabytes(Work&& work) {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = statusMegabytes("VmRSS:");
    work();
    return statusMegabytes("VmHWM:") - before;
}

}  // namespace peakmemory
