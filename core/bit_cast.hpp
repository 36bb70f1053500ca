// The bits of one trivially copyable value read as another type of the same size, as
// std::bit_cast does, for every standard library the core is built with: some that build
// the WebAssembly module lack std::bit_cast, while GCC and Clang all have the builtin
// behind it.
#pragma once

namespace kelvora::core {

template <class To, class From>
constexpr To bitCast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From), "bitCast needs types of the same size");
    return __builtin_bit_cast(To, from);
}

}  // namespace kelvora::core
