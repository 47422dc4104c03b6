#pragma once
// M42WGS: latitude, longitude and height, on Krasovsky or on WGS-84, to
// SK-42 Gauss–Krüger plane coordinates of a 6° zone; for WGS-84 input
// optionally only to SK-42 latitude and longitude.
//
// Method: WGS-84 input is carried to SK-42 with DatumShift (datum_shift.h,
// direction WGS-84 → SK-42); geodetic latitude becomes conformal latitude
// with the closed formula χ = 2·arctan(((1 − e sin B)/(1 + e sin B))^(e/2) ·
// tan(B/2 + 45°)) − 90°, and conformal coordinates become plane coordinates
// with the forward transverse-Mercator series in powers of the third
// flattening (Krüger's series), terms α1..α4 of orders 2, 4, 6, 8. The
// coefficients are the stored Krasovsky values (α 0.00083761176, 7.6085e-07,
// 1.203e-09, 2.948e-12; e 0.081813334017; A 6367558.4969 m).
//
// Accuracy, latitudes 42° to 62°, up to 3° from the central meridian:
// followed by Fo42_WGS it returns a point to 0.00006" (about 2 mm).
//
// Zones: zone n has its central meridian at 6·n − 3 degrees and a false
// easting of 500 000 m. The resulting Y carries the false easting but not the
// zone number.
#include <cstdint>

namespace korvagrid {

// X and Y of the zone in metres, or SK-42 latitude and longitude in packed
// degrees; height in metres.
struct M42Result {
  double out1;
  double out2;
  double h;
};

// b, l: latitude and longitude, decimal degrees when decimalInput is true,
// packed degrees otherwise; WGS-84 values when fromWgs is true, else
// Krasovsky values. h: height in metres (returned unchanged for Krasovsky
// input, shifted for WGS-84 input). zone 0 takes the 6° zone holding the
// input longitude (6·trunc(L/6) + 3, before any datum shift); zone n uses
// central meridian 6·n − 3. geographicOutput (consulted only with fromWgs)
// returns SK-42 latitude and longitude in packed degrees instead of plane
// coordinates. The central meridian is 16-bit integer arithmetic: a zone
// whose meridian leaves −32768..32767 throws KorvagridError, as does any
// arithmetic fault.
M42Result M42WGS(double b, double l, double h, bool fromWgs, std::int16_t zone,
                 bool geographicOutput, bool decimalInput);

}  // namespace korvagrid
