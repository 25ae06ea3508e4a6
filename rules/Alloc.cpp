// Zero-filled records, chained so that a process that loads many files
// (tests, benchmarks, the fuzzer) can give them back.
#include "rules/Alloc.h"

#include <stddef.h>
#include <stdlib.h>

#include "rules/Fatal.h"

long AllocFailAfter = -1;

namespace {

// Sits in front of every block. Its size keeps the record behind it aligned
// for every member type the records use, wherever calloc's own alignment
// allows (on 32-bit Windows calloc gives 8 bytes, less than max_align_t).
union BlockHeader {
  BlockHeader* next;
  long long wide;
  double real;
  void* pointer;
};

BlockHeader* Blocks = nullptr;

}  // namespace

void* AllocRecord(size_t size) {
  void* block = nullptr;
  if (AllocFailAfter != 0 && size <= (size_t)-1 - sizeof(BlockHeader)) {
    block = calloc(1, sizeof(BlockHeader) + size);
  }
  if (block == nullptr) {
    Fatal(1, "Not enough memory to load the rules file");
  }
  if (AllocFailAfter > 0) {
    AllocFailAfter--;
  }
  BlockHeader* header = static_cast<BlockHeader*>(block);
  header->next = Blocks;
  Blocks = header;
  return header + 1;
}

void FreeRecords() {
  while (Blocks != nullptr) {
    BlockHeader* next = Blocks->next;
    free(Blocks);
    Blocks = next;
  }
}
