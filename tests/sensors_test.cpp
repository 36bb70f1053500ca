// The sensor catalogue, character for character. The symbols that look alike in other code
// points are spelt as escapes: ℃ U+2103, ～ U+FF5E, and 铑 (rhodium) U+94D1, not 铹 U+94F9.
#include <gtest/gtest.h>

#include <array>
#include <string_view>

#include "core/sensors.hpp"

namespace {

using namespace kelvora::core;

std::string_view utf8(std::u8string_view s) {
    return {reinterpret_cast<const char*>(s.data()), s.size()};
}

void expectTexts(const std::array<std::string_view, kSensorCount>& got,
                 const std::array<std::u8string_view, kSensorCount>& want) {
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], utf8(want[i])) << "sensor " << i << " (" << kSensorListTexts[i] << ")";
}

TEST(SensorCatalogue, ListTexts) {
    expectTexts(kSensorListTexts, {u8"S", u8"R", u8"B", u8"K", u8"N", u8"E", u8"J", u8"T",
                                   u8"Pt100", u8"Pt10", u8"Cu100", u8"Cu50"});
}

TEST(SensorCatalogue, Descriptions) {
    expectTexts(kSensorDescriptionTexts,
                {u8"铂\u94D110-铂热电偶", u8"铂\u94D113-铂热电偶",
                 u8"\u94C2\u94D130-\u94C2\u94D16\u70ED\u7535\u5076", u8"镍铬-镍硅热电偶",
                 u8"镍铬硅-镍硅热电偶", u8"镍铬-铜镍合金(康铜)热电偶", u8"铁-铜镍合金(康铜)热电偶",
                 u8"铜-铜镍合金(康铜)热电偶", u8"铂热电阻R0=100", u8"铂热电阻R0=10",
                 u8"铜热电阻R0=100", u8"铜热电阻R0=50"});
    // Type B is platinum-rhodium against platinum-rhodium: 铑 twice, never 铹 (lawrencium).
    const std::string_view b = kSensorDescriptionTexts[2];
    const std::string_view rhodium = utf8(u8"\u94D1");
    EXPECT_NE(b.find(rhodium), b.rfind(rhodium));
    EXPECT_EQ(b.find(utf8(u8"\u94F9")), std::string_view::npos);
}

TEST(SensorCatalogue, RangeTexts) {
    constexpr std::u8string_view s = u8"温度测量范围 -50\u2103\uFF5E1768.1\u2103";
    constexpr std::u8string_view pt = u8"温度测量范围 -200\u2103\uFF5E850\u2103";
    constexpr std::u8string_view cu = u8"温度测量范围 -50\u2103\uFF5E150\u2103";
    expectTexts(
        kSensorRangeTexts,
        {s, s, u8"温度测量范围 0\u2103\uFF5E1820\u2103",
         u8"温度测量范围 -270\u2103\uFF5E1372\u2103", u8"温度测量范围 -270\u2103\uFF5E1300\u2103",
         u8"温度测量范围 -270\u2103\uFF5E1000\u2103", u8"温度测量范围 -210\u2103\uFF5E1200\u2103",
         u8"温度测量范围 -270\u2103\uFF5E400\u2103", pt, pt, cu, cu});
}

TEST(SensorCatalogue, ThermocouplesAreTheFirstEight) {
    // The thermocouples are the letter types, the first eight of the list.
    for (SensorIndex i = 0; i < kSensorCount; ++i) {
        EXPECT_EQ(isThermocouple(i), i <= 7) << i;
        EXPECT_EQ(isThermocouple(i), kSensorListTexts[static_cast<std::size_t>(i)].size() == 1)
            << i;
    }
}

}  // namespace
