#pragma once

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

// Called first in a child that a test forked: the child is killed as the test's thread ends, by
// its own end or by any signal, so that nothing a test started outlives it. `parent` is the
// test's pid, read before the fork: a parent gone before the request took hold ends the child.
inline void endWithParent(pid_t parent) {
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) {
        _exit(125);
    }
}
