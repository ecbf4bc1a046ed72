#pragma once

#include <algorithm>
#include <cstdint>

namespace ui {

class AbstractPartition {
public:
    virtual ~AbstractPartition() = default;
    virtual std::uint16_t capacity() const = 0;
    virtual std::uint32_t element_size() const = 0;
    virtual void* element(std::uint16_t index) = 0;
};

// Aligned static storage for one object of the largest of `Types`.
template <class... Types> class Partition : public AbstractPartition {
public:
    static constexpr std::uint32_t elementSize = std::max({sizeof(Types)...});
    static constexpr std::size_t elementAlignment = std::max({alignof(Types)...});

    std::uint16_t capacity() const override { return 1; }
    std::uint32_t element_size() const override { return elementSize; }
    void* element(std::uint16_t index) override { return index == 0 ? storage : nullptr; }

private:
    alignas(elementAlignment) unsigned char storage[elementSize];
};

} // namespace ui
