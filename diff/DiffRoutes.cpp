// Route lengths of many advances at once, for the routes that a change can
// have lengthened or shortened.
//
// A route is a union of ancestors, which no sum over the prerequisites
// gives, and a closure of every advance over every other (100,000 squared
// bits) does not fit. So: the advances the targets need, ordered so that
// each comes after what it needs, then the sources in blocks of BLOCK_BITS:
// for each advance, the set of the block's sources among it and its
// ancestors, as bits, from its prerequisites' sets; a route length is the
// sum of the sets' sizes over the blocks. Time: the square of the advances
// involved over the machine word; memory: one block's sets.
//
// Advances that need each other are possible (a link from an advance that
// stands on level 0 for a missing link): such a group, found as a strongly
// connected component, is one step of the order, and each of its members
// needs all the others.
#include "diff/DiffRoutes.h"

#include <bitset>
#include <utility>
#include <vector>

namespace {

enum { BLOCK_BITS = 1024 };
typedef std::bitset<BLOCK_BITS> Block;

struct Order {
  std::vector<int> nodes;  // advance index by local number
  std::vector<int> local;  // local number by advance index, -1 outside
  std::vector<int> group;  // group by local number, groups numbered ancestors first
  std::vector<int> position;
  std::vector<int> byPosition;  // local numbers, group after group
  std::vector<int> groupStart;  // first position of each group, and the end
};

// The targets and everything they need, the root left out.
void Gather(const std::vector<DiffAdvance>& advances, const std::vector<int>& targets,
            Order* order) {
  order->local.assign(advances.size(), -1);
  for (int t : targets) {
    if (t > 0 && order->local[t] < 0) {
      order->local[t] = (int)order->nodes.size();
      order->nodes.push_back(t);
    }
  }
  for (size_t k = 0; k < order->nodes.size(); ++k) {
    for (int p : advances[order->nodes[k]].prereq) {
      if (p > 0 && order->local[p] < 0) {
        order->local[p] = (int)order->nodes.size();
        order->nodes.push_back(p);
      }
    }
  }
}

// Tarjan's components, without recursion: a component is complete only
// after every component it reaches, so they come ancestors first.
void Group(const std::vector<DiffAdvance>& advances, Order* order) {
  int count = (int)order->nodes.size();
  std::vector<int> number(count, -1);
  std::vector<int> low(count, 0);
  order->group.assign(count, -1);
  order->position.assign(count, -1);
  std::vector<int> stack;
  std::vector<std::pair<int, int>> calls;  // local number, next link
  int counter = 0;
  int groups = 0;
  for (int start = 0; start < count; ++start) {
    if (number[start] >= 0) continue;
    number[start] = low[start] = counter++;
    stack.push_back(start);
    calls.emplace_back(start, 0);
    while (!calls.empty()) {
      int v = calls.back().first;
      int link = calls.back().second;
      if (link < 2) {
        ++calls.back().second;
        int p = advances[order->nodes[v]].prereq[link];
        if (p <= 0) continue;
        int w = order->local[p];
        if (number[w] < 0) {
          number[w] = low[w] = counter++;
          stack.push_back(w);
          calls.emplace_back(w, 0);
        } else if (order->group[w] < 0 && number[w] < low[v]) {
          low[v] = number[w];
        }
        continue;
      }
      calls.pop_back();
      if (!calls.empty() && low[v] < low[calls.back().first]) low[calls.back().first] = low[v];
      if (low[v] != number[v]) continue;
      order->groupStart.push_back((int)order->byPosition.size());
      int w;
      do {
        w = stack.back();
        stack.pop_back();
        order->group[w] = groups;
        order->position[w] = (int)order->byPosition.size();
        order->byPosition.push_back(w);
      } while (w != v);
      ++groups;
    }
  }
  order->groupStart.push_back(count);
}

}  // namespace

std::vector<int64_t> CountRoutes(const std::vector<DiffAdvance>& advances,
                                 const std::vector<int>& targets) {
  Order order;
  Gather(advances, targets, &order);
  Group(advances, &order);
  int count = (int)order.nodes.size();
  int groups = (int)order.groupStart.size() - 1;
  std::vector<int64_t> sizes(count, 0);
  // Only the targets' sizes are wanted; a group is counted when it holds one.
  std::vector<char> counted(groups, 0);
  for (int t : targets) {
    if (t > 0) counted[order.group[order.local[t]]] = 1;
  }
  std::vector<Block> sets(groups);
  // Whether a group's set holds anything in the current block: most of the
  // chart lies beside a block's sources, not below them.
  std::vector<char> filled(groups, 0);
  for (int first = 0; first < count; first += BLOCK_BITS) {
    int last = first + BLOCK_BITS;
    // Groups before the block's first hold none of its sources, nor does
    // anything they need.
    int firstGroup = order.group[order.byPosition[first]];
    for (int g = firstGroup; g < groups; ++g) {
      Block& set = sets[g];
      bool any = false;
      for (int k = order.groupStart[g]; k < order.groupStart[g + 1]; ++k) {
        if (k >= first && k < last) {
          if (!any) set.reset();
          any = true;
          set.set(k - first);
        }
        int v = order.byPosition[k];
        for (int p : advances[order.nodes[v]].prereq) {
          if (p <= 0) continue;
          int h = order.group[order.local[p]];
          if (h == g || h < firstGroup || !filled[h]) continue;
          if (any) {
            set |= sets[h];
          } else {
            set = sets[h];
            any = true;
          }
        }
      }
      filled[g] = any;
      if (!any || !counted[g]) continue;
      int64_t size = (int64_t)set.count();
      for (int k = order.groupStart[g]; k < order.groupStart[g + 1]; ++k) {
        sizes[order.byPosition[k]] += size;
      }
    }
  }
  std::vector<int64_t> result;
  result.reserve(targets.size());
  // Each set held the advance itself once.
  for (int t : targets) result.push_back(t > 0 ? sizes[order.local[t]] - 1 : 0);
  return result;
}
