#include "conversion/own_system.h"

#include <algorithm>

namespace korvagrid {
namespace {

std::string WithSeparator(std::string text, char numP) {
  std::replace(text.begin(), text.end(), '.', numP);
  return text;
}

}  // namespace

OwnSystem InitialOwnSystem(char numP) {
  OwnSystem own;
  own.NameMy = "63(C 3.5)";
  own.cUTM = 0;
  own.Text6 = "KRASS";
  own.T1 = "32";
  own.M1 = "27";
  own.S1 = WithSeparator("00.0000", numP);
  own.dYmy = WithSeparator("250000.000", numP);
  own.dXmy = WithSeparator("11057.630", numP);
  own.dLmy = 32 * 3600 + 27 * 60 + 0.0;  // 32°27'00"
  return own;
}

}  // namespace korvagrid
