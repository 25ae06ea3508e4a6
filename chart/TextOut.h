// An output's text written as it is made, so that no output is held whole.
#pragma once
#include <functional>
#include <string>

// What takes an output's text, piece after piece.
typedef std::function<void(const std::string& piece)> TextWrite;

// The maker appends to text and calls Flush between pieces; once the text
// has grown past a block, write takes it and it starts again empty.
// Without write (tests, the fuzzer) the whole text stays in text.
struct TextOut {
  std::string text;
  // Takes the next piece of the output. An output that can take no more
  // keeps its own failure and ignores the rest.
  TextWrite write;

  // Hands the text to write when it has reached a block.
  void Flush();
  // Hands the rest to write: the output is complete.
  void Finish();
};
