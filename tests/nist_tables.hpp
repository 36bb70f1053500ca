// The NIST reference tables (tests/data/all.tab), read once by nist_reference_test.cpp.
#pragma once

#include <map>
#include <string>

namespace kelvora::test {

// Per type letter, the EMF text in mV at each whole degree Celsius.
const std::map<char, std::map<int, std::string>>& referenceTables();

}  // namespace kelvora::test
