#pragma once
// The one exception type of the system's own failures.
//
// Every command that works through a whole text (the conversion run, the
// inverse problem, the map-sheet task) stops at its first failure; the readers
// and the geodetic chains signal such a failure by throwing KorvagridError.
// The message is Russian and short, names the offending value, and is shown to
// the user after "Вычисления прерваны в строке N: ".
#include <stdexcept>
#include <string>

namespace korvagrid {

class KorvagridError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace korvagrid
