#pragma once
// Conversion of a decimal text to a double, as the readers and the dialogs use
// it: an optional sign, digits, at most one decimal separator `decimalSeparator`, at least
// one digit. Nothing else is accepted: "1-2", "1/2", "1.2.3", "-" and "." are
// not numbers. The locale is never consulted.
#include <optional>
#include <string_view>

namespace korvagrid {

// The value, or std::nullopt when the text is not a number in this form.
std::optional<double> TryParseNumber(std::string_view text, char decimalSeparator);

// The value; throws KorvagridError naming the text when it is not a number.
double ParseNumber(std::string_view text, char decimalSeparator);

// As ParseNumber, but surrounding spaces are ignored (texts of dialog fields).
double ParseFieldNumber(std::string_view text, char decimalSeparator);

}  // namespace korvagrid
