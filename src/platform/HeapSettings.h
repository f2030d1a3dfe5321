#pragma once

namespace tamo {

// glibc serves blocks of the size of the largest block freed so far from its
// heaps, and a worker thread's heap keeps the pages once they are free: each
// copied image or long text would leave a megabyte or two behind there for
// good. Blocks of 256 KiB and more get a mapping of their own instead, given
// back to the system when freed. Called first thing in main, before any
// thread starts.
void giveLargeBlocksBackWhenFreed();

// Gives the free pages of every heap back to the system: after work that
// freed a great many small blocks (a long file list's names), which no
// mapping of their own covers.
void giveFreedHeapBack();

} // namespace tamo
