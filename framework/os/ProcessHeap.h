#pragma once

// How the process's heap gives memory back to the system. Pictures are large blocks freed and
// made again at every scene change, most of them on the loader thread: left to glibc's own
// rules, a freed picture raises the size above which blocks are mapped on their own, later
// pictures of that size go into the heaps instead, and what the scenes left behind stays
// resident as free heap.
namespace processHeap {

// Blocks of at least this many bytes are always mapped on their own and go back to the system
// when freed: a 160 x 200 picture and larger.
inline constexpr int SEPARATE_BLOCK_BYTES = 128 * 1024;

// Keeps the size above which blocks are mapped on their own fixed at `SEPARATE_BLOCK_BYTES`.
// Called once at start-up, before the pictures load.
void keepLargeBlocksSeparate();

// Gives the free pages of every heap back to the system: after a scene change, once what the
// scene left behind is released.
void returnFreePages();

}  // namespace processHeap
