// Counts the heap allocations of the whole program: the benchmark binary replaces the
// global operator new and delete with versions that count and then call malloc and free.
#pragma once

#include <cstdint>

namespace kelvora::bench {

// Allocations through any form of operator new since the program started.
std::uint64_t allocationCount();

}  // namespace kelvora::bench
