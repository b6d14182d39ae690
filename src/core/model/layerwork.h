#pragma once

#include <memory>
#include <typeindex>
#include <utility>
#include <vector>

namespace orvex {

// State that a layer above the model keeps with one network between its
// calls: the solver's arrays, the fire's fronts, the Newton method's
// factorisation. The document owns it and knows nothing of what it holds.
class LayerWork {
public:
    virtual ~LayerWork() = default;
};

// One piece of work of each type, made (value-initialised) at its first use
// and kept while the document lives.
class LayerWorkStore {
public:
    LayerWorkStore() = default;
    // A copy of a document starts with no work of its own: each layer makes
    // it again at its first use.
    LayerWorkStore(const LayerWorkStore&) {}
    LayerWorkStore& operator=(const LayerWorkStore&) = delete;
    LayerWorkStore(LayerWorkStore&&) = default;
    LayerWorkStore& operator=(LayerWorkStore&&) = default;

    template <class Work>
    Work& get()
    {
        static_assert(std::is_base_of_v<LayerWork, Work>, "layer work derives from LayerWork");
        const std::type_index type(typeid(Work));
        for (auto& [key, work] : mSlots)
            if (key == type)
                return static_cast<Work&>(*work);
        mSlots.emplace_back(type, std::make_unique<Work>());
        return static_cast<Work&>(*mSlots.back().second);
    }

private:
    std::vector<std::pair<std::type_index, std::unique_ptr<LayerWork>>> mSlots;
};

}  // namespace orvex
