// The research route to one advance or several, as text or as JSON; with --have, what is left of
// it.
#include "check/CheckRoute.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <exception>
#include <nlohmann/json.hpp>
#include <string>
#include <unordered_set>
#include <vector>

#include "check/ExitCodes.h"
#include "console/ConsoleText.h"
#include "graph/Link.h"
#include "rules/Advance.h"
#include "warnings/Suggest.h"

namespace {

// ASCII letters' case aside; other characters as they are.
bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? (char)(a[i] - 'A' + 'a') : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? (char)(b[i] - 'A' + 'a') : b[i];
    if (x != y) return false;
  }
  return true;
}

// The text is compared with the codes and names as every output shows
// them: "nil" the root, else the first advance with that code, else the
// first with that name.
const Advance* FindRouteTarget(const std::string& text) {
  if (text == "nil") return &RootAdvance;
  for (const Advance* a = &RootAdvance; a->name[0] != 0; a = a->next) {
    if (a != &RootAdvance && ShownText(a->code) == text) return a;
  }
  for (const Advance* a = &RootAdvance; a->name[0] != 0; a = a->next) {
    if (SameName(ShownText(a->name), text)) return a;
  }
  return nullptr;
}

bool ByLevelThenList(const Advance* a, const Advance* b) {
  return a->level != b->level ? a->level < b->level : a->index < b->index;
}

}  // namespace

int FindRouteTargets(const char* text, std::vector<const Advance*>* targets) {
  std::string list = ArgumentUtf8(text);
  // A code may hold a comma: the whole text names one advance first.
  const Advance* whole = FindRouteTarget(list);
  if (whole != nullptr) {
    targets->assign(1, whole);
    return 0;
  }
  size_t start = 0;
  for (;;) {
    size_t comma = list.find(',', start);
    std::string item = list.substr(start, comma == std::string::npos ? comma : comma - start);
    const Advance* target = FindRouteTarget(item);
    if (target == nullptr) {
      // A code's typo gets the warnings' suggestion; codes outside ASCII
      // are not compared, as the argument is no longer in the file's bytes.
      bool ascii = std::all_of(item.begin(), item.end(), [](char c) { return (c & 0x80) == 0; });
      std::string hint = ascii ? CodeSuggester().Hint(item.c_str()) : std::string();
      fprintf(stderr, "lorvane-check: no advance has the code or the name \"%s\"%s\n",
              ShownUtf8(item).c_str(), ShownText(hint.c_str()).c_str());
      return EXIT_NO_ADVANCE;
    }
    if (std::find(targets->begin(), targets->end(), target) == targets->end()) {
      targets->push_back(target);
    }
    if (comma == std::string::npos) return 0;
    start = comma + 1;
  }
}

std::vector<const Advance*> RouteOf(const std::vector<const Advance*>& targets) {
  // Everything reached through the links from the targets, the root left
  // out; the targets themselves are part of it.
  std::unordered_set<const Advance*> needed(targets.begin(), targets.end());
  std::vector<const Advance*> todo(targets.begin(), targets.end());
  while (!todo.empty()) {
    const Advance* advance = todo.back();
    todo.pop_back();
    for (const Advance* p : {advance->prereq1, advance->prereq2}) {
      if (p != nullptr && p != &RootAdvance && needed.insert(p).second) todo.push_back(p);
    }
  }
  std::vector<const Advance*> route(needed.begin(), needed.end());
  std::sort(route.begin(), route.end(), ByLevelThenList);
  return route;
}

int PrintRoute(const std::vector<const Advance*>& targets, const std::vector<bool>* researched,
               bool json) {
  std::vector<const Advance*> route = RouteOf(targets);
  bool one = targets.size() == 1;
  size_t first = route.size() - targets.size();

  // With --have, only what is left is listed; the others that are
  // researched are counted. With nothing researched, not even the root
  // counts, so that the route is the whole route.
  std::vector<int> haveList;
  if (researched != nullptr) {
    for (size_t i = 1; i < researched->size(); ++i) {
      if ((*researched)[i]) haveList.push_back((int)i);
    }
  }
  auto have = [&](const Advance* a) {
    return !haveList.empty() && (a == &RootAdvance || (*researched)[(size_t)a->index]);
  };
  size_t done = 0;
  for (const Advance* a : route) {
    if (have(a) && std::find(targets.begin(), targets.end(), a) == targets.end()) ++done;
  }
  route.erase(std::remove_if(route.begin(), route.end(), have), route.end());

  if (json) {
    // One target keeps its own member and is left out of the route.
    // The library reports a failure (memory) by an exception; it ends here.
    try {
      nlohmann::ordered_json indexes = nlohmann::ordered_json::array();
      for (const Advance* a : route) {
        if (!one || a != targets[0]) indexes.push_back(a->index);
      }
      nlohmann::ordered_json document;
      if (one) {
        document["target"] = targets[0]->index;
      } else {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const Advance* t : targets) list.push_back(t->index);
        document["targets"] = std::move(list);
      }
      document["route"] = std::move(indexes);
      if (researched != nullptr) {
        document["have"] = haveList;
        document["researched"] = done;
      }
      puts(document.dump().c_str());
    } catch (const std::exception&) {
      fputs("lorvane-check: cannot write the report\n", stderr);
      return EXIT_WRITE;
    }
    return 0;
  }
  // One target comes last, as its route leads to it (an advance with a
  // loose end stands on level 0, maybe below its other prerequisite);
  // several stand in the order of the route, each where it falls.
  auto at = std::find(route.begin(), route.end(), targets[0]);
  if (one && at != route.end()) {
    route.erase(at);
    route.push_back(targets[0]);
  }
  for (const Advance* a : route) {
    printf("%s [%s], level %d\n", ShownText(a->name).c_str(), ShownText(a->code).c_str(),
           (int)a->level);
  }
  auto names = [](const std::vector<const Advance*>& list) {
    std::string text;
    for (const Advance* a : list) text += (text.empty() ? "" : ", ") + ShownText(a->name);
    return text;
  };
  std::vector<const Advance*> reached;
  for (const Advance* t : targets) {
    if (have(t)) reached.push_back(t);
  }
  printf("%s: ", names(targets).c_str());
  if (haveList.empty()) {
    printf("%d advance%s to research first\n", (int)first, first == 1 ? "" : "s");
  } else if (reached.size() == targets.size()) {
    puts("already researched");
  } else {
    size_t left = first - done;
    printf("%d advance%s left to research first; %d of %d researched", (int)left,
           left == 1 ? "" : "s", (int)done, (int)first);
    if (!reached.empty()) printf("; already researched: %s", names(reached).c_str());
    putchar('\n');
  }
  return 0;
}
