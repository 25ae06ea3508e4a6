// A player's plan for --have: the advances researched, and those that can be researched now.
#include "check/CheckPlan.h"

#include <stdio.h>

#include <exception>
#include <nlohmann/json.hpp>
#include <vector>

#include "check/CheckRoute.h"
#include "check/ExitCodes.h"
#include "console/ConsoleText.h"
#include "rules/Advance.h"
#include "rules/Lists.h"

int FindResearched(const char* text, std::vector<bool>* researched) {
  std::vector<const Advance*> named;
  int found = FindRouteTargets(text, &named);
  if (found != 0) return found;
  researched->assign((size_t)AdvanceCount(), false);
  // One cannot have an advance without everything it needs.
  while (!named.empty()) {
    const Advance* advance = named.back();
    named.pop_back();
    if (advance == &RootAdvance || (*researched)[(size_t)advance->index]) continue;
    (*researched)[(size_t)advance->index] = true;
    for (const Advance* p : {advance->prereq1, advance->prereq2}) {
      if (p != nullptr) named.push_back(p);
    }
  }
  return 0;
}

int PrintAvailable(const std::vector<bool>& researched, bool json) {
  // The root counts as researched; a code that names nothing asks for nothing.
  auto done = [&](const Advance* p) {
    return p == nullptr || p == &RootAdvance || researched[(size_t)p->index];
  };
  std::vector<const Advance*> available;
  std::vector<int> have;
  for (const Advance* a = RootAdvance.next; a != nullptr && a->name[0] != 0; a = a->next) {
    if (researched[(size_t)a->index]) {
      have.push_back(a->index);
    } else if (done(a->prereq1) && done(a->prereq2)) {
      available.push_back(a);
    }
  }
  if (json) {
    // The library reports a failure (memory) by an exception; it ends here.
    try {
      nlohmann::ordered_json document;
      document["have"] = have;
      nlohmann::ordered_json list = nlohmann::ordered_json::array();
      for (const Advance* a : available) list.push_back(a->index);
      document["available"] = std::move(list);
      puts(document.dump().c_str());
    } catch (const std::exception&) {
      fputs("lorvane-check: cannot write the report\n", stderr);
      return EXIT_WRITE;
    }
    return 0;
  }
  for (const Advance* a : available) {
    printf("%s [%s], level %d\n", ShownText(a->name).c_str(), ShownText(a->code).c_str(),
           (int)a->level);
  }
  size_t n = available.size();
  printf("%d researched; %d advance%s to research now\n", (int)have.size(), (int)n,
         n == 1 ? "" : "s");
  return 0;
}
