// lorvane-check's allocations made to fail on request, for the test of how
// every run ends when memory runs out (no_memory.py): with
// LORVANE_FAIL_NEW=N, the allocation through operator new after the first
// N fails, and no other; with LORVANE_FAIL_RECORD=N, the load's record
// after the first N. One failure, then memory again, as when one large
// request finds no room; the freeing and the unwinding that follow may ask
// for memory too.
#include <stdlib.h>

#include <new>

#include "rules/Alloc.h"

namespace {

long NewsLeft = -1;  // before the one that fails; below 0 for none

struct Settings {
  Settings() {
    if (const char* n = getenv("LORVANE_FAIL_RECORD")) AllocFailAfter = atol(n);
    if (const char* n = getenv("LORVANE_FAIL_NEW")) NewsLeft = atol(n);
  }
} FromEnvironment;

void* Allocate(size_t size) {
  if (NewsLeft >= 0 && NewsLeft-- == 0) throw std::bad_alloc();
  void* block = malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void* AllocateOrNull(size_t size) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

// Every form the program may use, so that what one allocates the others
// free (the sanitizer tells malloc's blocks from operator new's).
void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
void operator delete[](void* block, size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }
