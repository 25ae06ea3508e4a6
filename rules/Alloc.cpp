// Zero-filled records, carved from large zero-filled blocks that are
// chained so that a process that loads many files (tests, benchmarks, the
// fuzzer) can give them back. One calloc per block instead of one per
// record: a load makes hundreds of records.
#include "rules/Alloc.h"

#include <stddef.h>
#include <stdlib.h>

#include "rules/Fatal.h"

// Under AddressSanitizer the bytes of a block that belong to no record are
// marked unusable, so that a record overrun is still caught.
#if defined(__SANITIZE_ADDRESS__)
#define LORVANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LORVANE_ASAN 1
#endif
#endif
#if defined(LORVANE_ASAN)
#include <sanitizer/asan_interface.h>
#else
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

long AllocFailAfter = -1;

namespace {

// Sits in front of every block. Its size keeps the records behind it
// aligned for every member type the records use, wherever calloc's own
// alignment allows (on 32-bit Windows calloc gives 8 bytes, less than
// max_align_t): every record takes a whole number of BlockHeader units.
union BlockHeader {
  struct {
    BlockHeader* next;
    size_t size;  // bytes after the header
  } chain;
  long long wide;
  double real;
  void* pointer;
};

// The size of the blocks records are carved from: small, so that little
// is zeroed in vain in the last block, which is rarely full. A record of
// more than an eighth of it gets a block of its own.
const size_t kBlockSize = 16 * 1024;

BlockHeader* Blocks = nullptr;  // the newest block first
char* FreeStart = nullptr;      // the rest of the block being carved
size_t FreeSize = 0;

// A zero-filled block of size bytes behind its header, put on the chain.
char* NewBlock(size_t size) {
  BlockHeader* header = static_cast<BlockHeader*>(calloc(1, sizeof(BlockHeader) + size));
  if (header == nullptr) Fatal(1, REFUSED_MEMORY, "Not enough memory to load the rules file");
  header->chain.next = Blocks;
  header->chain.size = size;
  Blocks = header;
  ASAN_POISON_MEMORY_REGION(header + 1, size);
  return reinterpret_cast<char*>(header + 1);
}

}  // namespace

void* AllocRecord(size_t size) {
  if (AllocFailAfter == 0 || size > (size_t)-1 - 2 * sizeof(BlockHeader)) {
    Fatal(1, REFUSED_MEMORY, "Not enough memory to load the rules file");
  }
  // Whole BlockHeader units, at least one byte more than asked: records
  // stay aligned, and apart, so that an overrun is not inside the next one.
  size_t taken = (size / sizeof(BlockHeader) + 1) * sizeof(BlockHeader);
  char* record;
  if (taken > kBlockSize / 8) {
    record = NewBlock(taken);  // the block being carved stays in use
  } else {
    if (taken > FreeSize) {
      FreeStart = NewBlock(kBlockSize);
      FreeSize = kBlockSize;
    }
    record = FreeStart;
    FreeStart += taken;
    FreeSize -= taken;
  }
  ASAN_UNPOISON_MEMORY_REGION(record, size);
  if (AllocFailAfter > 0) {
    AllocFailAfter--;
  }
  return record;
}

void FreeRecords() {
  while (Blocks != nullptr) {
    BlockHeader* next = Blocks->chain.next;
    ASAN_UNPOISON_MEMORY_REGION(Blocks + 1, Blocks->chain.size);
    free(Blocks);
    Blocks = next;
  }
  FreeStart = nullptr;
  FreeSize = 0;
  AllocFailAfter = -1;
}
