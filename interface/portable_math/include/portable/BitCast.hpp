#pragma once

#include <cstring>
#include <type_traits>

namespace portable {

// std::bit_cast, which not every standard library of the builds has yet.
template <typename To, typename From> To bitCast(const From& from)
{
    static_assert(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>);
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

} // namespace portable
