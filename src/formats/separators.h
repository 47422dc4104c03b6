#pragma once
// The decimal separators of number texts: the one numbers are written with
// (the user's locale's, or "," on request) and the other of "." and ",",
// which input may use too; inside a number the other one is read as the first.
namespace korvagrid {

struct Separators {
  char decimal = '.';
  char other = ',';

  // The pair whose decimal separator is `decimal` ("." or ",").
  static constexpr Separators WithDecimal(char decimal) {
    return decimal == ',' ? Separators{',', '.'} : Separators{'.', ','};
  }
};

}  // namespace korvagrid
