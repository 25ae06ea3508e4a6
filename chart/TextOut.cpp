// An output's text written as it is made, a block at a time.
#include "chart/TextOut.h"

namespace {

// Large enough that a write costs little beside making its text, small
// enough to count for nothing beside the rules loaded.
const size_t kBlock = 64 * 1024;

}  // namespace

void TextOut::Flush() {
  if (write && text.size() >= kBlock) Finish();
}

void TextOut::Finish() {
  if (!write) return;
  write(text);
  text.clear();
}
