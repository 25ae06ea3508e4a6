// "Did you mean": the advance a code that names nothing was likely meant to name.
#pragma once
#include <string>
#include <unordered_map>

struct Advance;

// Finds, for a code that names no advance, one it was likely meant to be.
class CodeSuggester {
 public:
  // The advance whose code differs only in case, or else in one character.
  const Advance* Find(const char* unknown);
  // "; did you mean Cod (Name)?", or empty.
  std::string Hint(const char* unknown);

 private:
  void Build();
  const Advance* Search(const std::string& code);
  bool built = false;
  std::unordered_map<std::string, const Advance*> keys;
  std::unordered_map<std::string, const Advance*> answers;  // by unknown code
};
