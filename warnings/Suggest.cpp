// "Did you mean": for a code that names nothing, the advance whose code
// differs from it only in case, or else in one character (one changed,
// added or left out). Built at the first unknown code, looked up by key,
// so that a file of many thousands of advances costs no search per code.
#include "warnings/Suggest.h"

#include <ctype.h>
#include <string.h>

#include <string>

#include "graph/Link.h"
#include "rules/Advance.h"

namespace {

std::string Folded(const std::string& code) {
  std::string text = code;
  for (char& c : text) c = (char)tolower((unsigned char)c);
  return text;
}

std::string Without(const std::string& code, size_t at) { return std::string(code).erase(at, 1); }

}  // namespace

void CodeSuggester::Build() {
  built = true;
  // In file order, the root ("nil") first: the first advance of a key keeps it.
  for (const Advance* a = &RootAdvance; a->name[0] != 0; a = a->next) {
    std::string code = a->code;
    if (code.empty()) continue;
    keys.emplace("c" + Folded(code), a);
    for (size_t i = 0; i < code.size(); ++i) {
      keys.emplace("s" + std::to_string(i) + Without(code, i), a);
      keys.emplace("d" + Without(code, i), a);
    }
  }
}

const Advance* CodeSuggester::Find(const char* unknown) {
  // A mistake is often repeated: each code is looked at once.
  auto answer = answers.find(unknown);
  if (answer != answers.end()) return answer->second;
  const Advance* found = Search(unknown);
  answers.emplace(unknown, found);
  return found;
}

const Advance* CodeSuggester::Search(const std::string& code) {
  if (code.empty()) return nullptr;
  if (!built) Build();
  auto key = [&](const std::string& k) -> const Advance* {
    auto found = keys.find(k);
    return found == keys.end() ? nullptr : found->second;
  };
  if (const Advance* a = key("c" + Folded(code))) return a;
  for (size_t i = 0; i < code.size(); ++i) {
    if (const Advance* a = key("s" + std::to_string(i) + Without(code, i))) return a;
  }
  if (const Advance* a = key("d" + code)) return a;
  // One character too many: without it, the code of an advance.
  for (size_t i = 0; code.size() > 1 && i < code.size(); ++i) {
    if (const Advance* a = FindAdvance(Without(code, i).c_str())) return a;
  }
  return nullptr;
}

std::string CodeSuggester::Hint(const char* unknown) {
  const Advance* a = Find(unknown);
  if (a == nullptr) return std::string();
  return std::string("; did you mean ") + a->code + " (" + a->name + ")?";
}
