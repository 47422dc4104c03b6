#pragma once
// The two reference ellipsoids as fixed records.
//
//   Krasovsky 1940  a = 6 378 245 m,  1/f = 298.3
//   WGS-84          a = 6 378 137 m,  1/f = 298.257223563
//
// The fields are the values Korvagrid computes with, used as they stand:
// Krasovsky e² is 0.00669342162510621 (from 1/f it is 0.006693421622966,
// 2.1e-12 less) and e 0.081813334017 (√ of the e² from 1/f to twelve
// digits); WGS-84 e² is 0.0066943799809475 (from 1/f 0.0066943799901413,
// 9.2e-12 more).
// Both differences move positions and heights by less than 0.1 mm. The
// second eccentricity and the semi-minor axis are derived where needed.

namespace korvagrid {

struct Ellipsoid {
  double a;           // semi-major axis, metres
  double e2;          // first eccentricity squared
  double oneMinusE2;  // 1 - e²
  double e2a;         // e²·a, metres
  double e;           // first eccentricity (Krasovsky only; 0 where not used)
};

inline constexpr Ellipsoid kKrasovsky{6378245.0, 0.00669342162510621, 0.9933065783748938,
                                      42692.283013225555, 0.081813334017};
inline constexpr Ellipsoid kWgs84{6378137.0, 0.0066943799809475, 0.9933056200190525,
                                  42697.672648540545, 0.0};

}  // namespace korvagrid
