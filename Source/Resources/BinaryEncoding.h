#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>

namespace Quarn::binary
{

// How values are laid out in a binary stream: little-endian, IEEE 754 for floating point, bool as one
// byte, no padding. Written byte by byte so the layout does not depend on the machine's byte order.

template <std::size_t Size> struct UnsignedOfSize;
template <> struct UnsignedOfSize<1>
{
    using Type = std::uint8_t;
};
template <> struct UnsignedOfSize<2>
{
    using Type = std::uint16_t;
};
template <> struct UnsignedOfSize<4>
{
    using Type = std::uint32_t;
};
template <> struct UnsignedOfSize<8>
{
    using Type = std::uint64_t;
};

template <class T> using Word = typename UnsignedOfSize<sizeof(T)>::Type;

template <class T> void Encode(T value, unsigned char* out)
{
    Word<T> word;
    if constexpr (std::is_same_v<T, bool>)
        word = value ? 1 : 0;
    else
        word = std::bit_cast<Word<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out[i] = static_cast<unsigned char>(word >> (8 * i));
}

template <class T> T Decode(const unsigned char* in)
{
    Word<T> word = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        word = static_cast<Word<T>>(word | static_cast<Word<T>>(static_cast<Word<T>>(in[i]) << (8 * i)));
    if constexpr (std::is_same_v<T, bool>)
        return word != 0;
    else
        return std::bit_cast<T>(word);
}

} // namespace Quarn::binary
