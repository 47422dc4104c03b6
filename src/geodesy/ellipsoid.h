#pragma once
// The two reference ellipsoids as fixed records. The fields are stored values
// (e² of WGS-84 is 0.0066943799809475 as stored, not 0.00669437999014); the
// second eccentricity and the semi-minor axis are derived where needed.

namespace korvagrid {

struct Ellipsoid {
  double a;           // semi-major axis, metres
  double e2;          // first eccentricity squared
  double oneMinusE2;  // 1 - e²
  double e2a;         // e²·a, metres
  double e;           // first eccentricity (Krasovsky only; 0 where not stored)
};

inline constexpr Ellipsoid kKrasovsky{6378245.0, 0.00669342162510621, 0.9933065783748938,
                                      42692.283013225555, 0.081813334017};
inline constexpr Ellipsoid kWgs84{6378137.0, 0.0066943799809475, 0.9933056200190525,
                                  42697.672648540545, 0.0};

}  // namespace korvagrid
