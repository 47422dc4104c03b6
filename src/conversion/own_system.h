#pragma once
// The user's own transverse-Mercator system on the Krasovsky ellipsoid, as the
// fields of the own-system dialog hold it. The texts are exactly what the
// dialog shows; numbers are read from them with the decimal separator NumP.
#include <string>

namespace korvagrid {

struct OwnSystem {
  std::string NameMy;  // list text of the last catalogue entry once edited
  int cUTM = 0;        // 0 "UTM" (a local plane system), 1 "UTM-42" (a Gauss–Krüger zone)
  std::string Text6;   // datum name, shown only
  std::string T1;      // central meridian: degrees
  std::string M1;      //                   minutes
  std::string S1;      //                   seconds
  std::string dYmy;    // false easting, metres
  std::string dXmy;    // false northing, metres
  double dLmy = 0;     // central meridian in arc seconds, computed by OK
};

// The values every program start begins with; decimal texts carry `numP`.
OwnSystem InitialOwnSystem(char numP);

}  // namespace korvagrid
