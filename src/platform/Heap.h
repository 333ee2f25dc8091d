#pragma once

namespace b2d {

// Prepares the process's heap for a large generation: one early reservation of address space,
// kept rather than handed back, and backed by large pages where the system offers them on
// request. A large declaration builds some 70 MB of rows, text and document bytes; touched in
// 4 KiB pages, that is some 15,000 page faults, each costly on a virtual machine. Nothing is
// committed until it is used. Called first thing by each program; without the GNU C library on
// Linux, and under a memory checker that brings its own allocator, it does nothing.
void prepareHeap();

}  // namespace b2d
