#include "framework/os/ProgramName.h"

#include <cerrno>

std::string programName() {
    // glibc sets it from argv[0] before main; a program started without one has it empty.
    const char* name = program_invocation_short_name;
    return name && *name ? name : "quovel-mahjong";
}
