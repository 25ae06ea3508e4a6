// The research route to one advance, as text or as JSON.
#include <stddef.h>
#include <stdio.h>

#include <algorithm>
#include <exception>
#include <nlohmann/json.hpp>
#include <string>
#include <unordered_set>
#include <vector>

#include "check/Export.h"
#include "graph/Link.h"
#include "rules/Advance.h"

namespace {

bool SameName(const char* a, const char* b) {
  for (; *a != 0 && *b != 0; ++a, ++b) {
    char x = *a >= 'A' && *a <= 'Z' ? (char)(*a - 'A' + 'a') : *a;
    char y = *b >= 'A' && *b <= 'Z' ? (char)(*b - 'A' + 'a') : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

struct RouteStep {
  int level;
  int index;
  const Advance* advance;
  bool operator<(const RouteStep& other) const {
    return level != other.level ? level < other.level : index < other.index;
  }
};

const Advance* FindRouteTarget(const char* text) {
  const Advance* byCode = FindAdvance(text);
  if (byCode != nullptr) return byCode;
  for (const Advance* a = &RootAdvance; a != nullptr && a->name[0] != 0; a = a->next) {
    if (SameName(a->name, text)) return a;
  }
  return nullptr;
}

}  // namespace

int PrintRoute(const char* text, bool json) {
  const Advance* target = FindRouteTarget(text);
  if (target == nullptr) {
    fprintf(stderr, "lorvane-check: no advance has the code or the name \"%s\"\n", text);
    return EXIT_NO_ADVANCE;
  }
  // Everything reached through the links, the target's own included.
  std::unordered_set<const Advance*> needed;
  std::vector<const Advance*> todo(1, target);
  while (!todo.empty()) {
    const Advance* advance = todo.back();
    todo.pop_back();
    for (const Advance* p : {advance->prereq1, advance->prereq2}) {
      if (p != nullptr && p != &RootAdvance && p != target && needed.insert(p).second) {
        todo.push_back(p);
      }
    }
  }
  std::vector<RouteStep> route;
  for (const Advance* a : needed) route.push_back(RouteStep{a->level, a->index, a});
  std::sort(route.begin(), route.end());
  int targetIndex = target->index;

  if (json) {
    // The library reports a failure (memory) by an exception; it ends here.
    try {
      nlohmann::ordered_json indexes = nlohmann::ordered_json::array();
      for (const RouteStep& step : route) indexes.push_back(step.index);
      nlohmann::ordered_json document = {{"target", targetIndex}, {"route", indexes}};
      puts(document.dump().c_str());
    } catch (const std::exception&) {
      fputs("lorvane-check: cannot write the report\n", stderr);
      return EXIT_WRITE;
    }
    return 0;
  }
  for (const RouteStep& step : route) {
    printf("%s [%s], level %d\n", step.advance->name, step.advance->code, step.level);
  }
  printf("%s [%s], level %d\n", target->name, target->code, target->level);
  printf("%s: %d advance%s to research first\n", target->name, (int)route.size(),
         route.size() == 1 ? "" : "s");
  return 0;
}
