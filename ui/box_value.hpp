// Reading a number from an edit box.
#pragma once

#include <optional>
#include <string_view>

namespace kelvora::ui {

// The decimal number with which `text` begins: an optional sign, digits, optionally "."
// and further digits, optionally an exponent (E or D in either case, an optional sign and
// digits). Spaces, tabs and line feeds are skipped wherever they stand; reading stops at
// the first character that cannot continue the number ("12abc" is 12, "1,5" is 1, ".5" is
// 0.5, "5." is 5, "1e+" is 1). A text that does not begin with a number is 0. The decimal
// point is "." in every locale. A number too large for a double is ±infinity; one too
// small is 0.
double boxValue(std::string_view text);

// A whole decimal number and nothing else: [+-] digits [. digits] [e [+-] digits], with at
// least one digit before the exponent ("5.", ".5" and "1e3" are numbers; "1,5", "1e", "12abc",
// "inf", " 5" and "" are not).
bool isNumberText(std::string_view text);

// The number that `text` is once the blanks (spaces, tabs, CR, LF) around it are taken off,
// when that is a number text, read as boxValue reads it; none for any other text.
std::optional<double> numberValue(std::string_view text);

}  // namespace kelvora::ui
