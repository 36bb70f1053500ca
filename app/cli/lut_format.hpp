// The texts of a firmware lookup table (core/lut.hpp): a self-contained C99 header, csv
// for PLC and spreadsheet users, and json. Pure functions of the table; the program's
// version comes in as an argument.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/lut.hpp"
#include "core/sensor.hpp"

namespace kelvora::cli {

// Whether `name` can prefix a table's C identifiers: a letter, then letters, digits and
// '_', at most 40 characters.
bool isTableName(std::string_view name);
// "kelvora_" and the sensor's code in lower case, a '.' in R0 written as '_': kelvora_k,
// kelvora_pt100, kelvora_pt100_05.
std::string defaultTableName(const core::Sensor& s);

// The C99 header: static const arrays of the breakpoints, NAME_temperature(reading) by binary
// search and straight-line interpolation, and for a thermocouple NAME_cj_emf(t). A reading
// outside the table gives NAN (doubles) or INT32_MIN (integers).
std::string lutCHeader(const core::Lut& lut, std::string_view name, std::string_view version);
// reading,temperature_C (reading_uV,temperature_mC or reading_mOhm,temperature_mC for
// integers), then one line per breakpoint of the reading table.
std::string lutCsv(const core::Lut& lut);
// Both tables and the facts the header's comment states.
std::string lutJson(const core::Lut& lut, std::string_view name, std::string_view version);

// The bytes of one of a table's two tables: two arrays of doubles or of int32_t.
std::size_t lutBytes(const core::Lut& lut, const core::LutTable& t);

// A bound as decimal text, rounded up to three significant digits so that the text is still
// a bound: 0.00994763 gives 0.00995.
std::string boundText(double v);
// The shortest decimal text that reads back as the same double ("." always): 0.1, -270,
// 4.0962845217081125, 1.9e-19.
std::string roundTripText(double v);

// The sensor in words, with its characteristic's coefficients for a resistance thermometer,
// and where its numbers come from.
std::string lutSensorText(const core::Sensor& s);
std::string lutSourceText(const core::Sensor& s);

}  // namespace kelvora::cli
