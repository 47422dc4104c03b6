#pragma once
// Numbers written into exchange texts (input lists, CSV cells, PROJ strings):
// the shortest decimal that reads back as the same double, "." as separator,
// never in exponent form (the line reader would cut "1e-05" at the letter).
#include <string>

namespace korvagrid {

// Appends the text of `value`; zero of either sign is "0". The value must be finite.
void AppendDecimal(std::string& out, double value);
std::string DecimalText(double value);

}  // namespace korvagrid
