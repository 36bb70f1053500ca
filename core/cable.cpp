#include "core/cable.hpp"

#include <algorithm>

namespace kelvora::core {

namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::optional<Cable> findCable(std::string_view name) {
    for (const Cable& c : kCables) {
        if (c.name.size() == name.size() &&
            std::equal(name.begin(), name.end(), c.name.begin(),
                       [](char a, char b) { return upper(a) == b; }))
            return c;
    }
    return std::nullopt;
}

std::optional<CableClass> parseCableClass(std::string_view text) {
    if (text == "1") return CableClass::one;
    if (text == "2") return CableClass::two;
    return std::nullopt;
}

std::optional<double> cableToleranceUv(const Cable& cable, CableClass c) {
    const double uv = c == CableClass::one ? cable.class1Uv : cable.class2Uv;
    if (!(uv > 0)) return std::nullopt;
    return uv;
}

}  // namespace kelvora::core
