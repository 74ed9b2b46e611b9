#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

// How many slots the program collects into.
inline constexpr int SlotCount = 3;

// The number of a slot, 1 to SlotCount, as the user sees it ("First" is 1).
// Every number that comes from outside is clamped here, the one place that
// does: below 1 means the first slot, above SlotCount the last.
class SlotNumber
{
public:
    constexpr SlotNumber() = default;
    // Implicit, so that plain numbers read naturally at call sites.
    constexpr SlotNumber(int number) : m_number(std::clamp(number, 1, SlotCount)) {}

    constexpr int number() const { return m_number; }
    // Position in a PerSlot array.
    constexpr std::size_t index() const { return std::size_t(m_number - 1); }

    constexpr bool operator==(const SlotNumber&) const = default;

    // Every slot, first to last.
    static constexpr std::array<SlotNumber, SlotCount> all()
    {
        std::array<SlotNumber, SlotCount> slots;
        for (int i = 0; i < SlotCount; ++i)
            slots[std::size_t(i)] = SlotNumber(i + 1);
        return slots;
    }

private:
    int m_number = 1;
};

// One value per slot, indexed by SlotNumber::index().
template <typename T> using PerSlot = std::array<T, SlotCount>;
