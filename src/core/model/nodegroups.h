#pragma once

#include <numeric>
#include <vector>

namespace orvex {

// Groups of node indexes 0..count joined one pair at a time (union-find
// with path halving).
class NodeGroups {
public:
    explicit NodeGroups(int count) : mParent(size_t(count + 1)) { std::iota(mParent.begin(), mParent.end(), 0); }
    int find(int i)
    {
        while (mParent[size_t(i)] != i)
            i = mParent[size_t(i)] = mParent[size_t(mParent[size_t(i)])];
        return i;
    }
    void join(int a, int b) { mParent[size_t(find(a))] = find(b); }

private:
    std::vector<int> mParent;
};

}  // namespace orvex
