#pragma once
// How the program's heap treats memory it frees. A list of 100,000 stock rows is tens of
// megabytes of small blocks; by default the C library hands freed memory back to the system at
// once, and the next list then pays a page fault for every page it touches again (on a virtual
// machine, as much time as reading the rows). The program keeps up to a few hundred megabytes of
// freed memory for its next lists instead.
namespace platform {

// Called once at start-up, before the first list is filled.
void keepFreedMemoryForReuse();

} // namespace platform
