// What the fuzz targets share: how a broken property ends the run, the display formats the
// program shows numbers in, and reading arguments off the fuzz input.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace kelvora::fuzz {

// Reports a broken property and stops at once. The trap is what libFuzzer catches to save
// the input; the replay runner catches it to name the input file.
[[noreturn]] __attribute__((format(printf, 1, 2))) inline void fail(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::fputs("fuzz check failed: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
    std::fflush(stderr);
    __builtin_trap();
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The fixed-point display text: ^-?[0-9]+\.[0-9]{decimals}$ (the minus only when `signed_`).
inline bool isFixed(std::string_view s, int decimals, bool signed_) {
    std::size_t i = 0;
    if (signed_ && i < s.size() && s[i] == '-') ++i;
    const std::size_t intStart = i;
    while (i < s.size() && isDigit(s[i])) ++i;
    if (i == intStart || i == s.size() || s[i] != '.') return false;
    ++i;
    const std::size_t fracStart = i;
    while (i < s.size() && isDigit(s[i])) ++i;
    return i == s.size() && i - fracStart == static_cast<std::size_t>(decimals);
}

// "-0.00", "-0.000": a zero shown with a minus sign.
inline bool isNegativeZero(std::string_view s) {
    return !s.empty() && s[0] == '-' && s.find_first_of("123456789") == std::string_view::npos;
}

// The fuzz input as a stream of arguments. Past its end every byte reads as 0, so any
// input, however short, decodes to something.
class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return size_ == 0; }

    std::uint8_t byte() {
        if (size_ == 0) return 0;
        --size_;
        return *data_++;
    }

    // Up to n bytes as they stand.
    std::string bytes(std::size_t n) {
        if (n > size_) n = size_;
        std::string s(reinterpret_cast<const char*>(data_), n);
        data_ += n;
        size_ -= n;
        return s;
    }

    std::uint64_t bits() {
        std::uint64_t b = 0;
        for (int i = 0; i < 8; ++i) b = b << 8 | byte();
        return b;
    }

    // Any double, NaNs and infinities included.
    double rawDouble() {
        const std::uint64_t b = bits();
        double v;
        std::memcpy(&v, &b, sizeof v);
        return v;
    }

    // Uniform over [lo, hi), 2⁻⁵³ of the width apart.
    double scaled(double lo, double hi) {
        return lo + static_cast<double>(bits() >> 11) * 0x1p-53 * (hi - lo);
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace kelvora::fuzz
