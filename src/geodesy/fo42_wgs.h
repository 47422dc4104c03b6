#pragma once
// Fo42_WGS: SK-42 Gauss–Krüger plane coordinates of a 6° zone, or SK-42
// (Krasovsky) latitude and longitude, to latitude, longitude and height,
// on Krasovsky or carried over to WGS-84.
//
// Method: the inverse transverse-Mercator series in powers of the third
// flattening (Krüger's series) with fixed coefficients for the Krasovsky
// ellipsoid: plane → conformal coordinates with the terms β1..β4 of orders
// 2, 4, 6, 8, then conformal → geodetic latitude with δ1..δ3
// (sin 2χ, sin 4χ, sin 6χ). The coefficients are the stored Krasovsky values
// (β 0.000837612099, 5.904e-08, 1.72e-10, 6.777e-13; δ 0.003356069582,
// 6.570026e-06, 1.7698e-08; A 6367558.4969 m). The datum shift is DatumShift
// (datum_shift.h), direction SK-42 → WGS-84.
//
// Accuracy, latitudes 40° to 63°: within 100 km of the central meridian it
// agrees with the classical series of Module1 to 0.00004"; M42WGS followed
// by Fo42_WGS returns a point up to 3° from the meridian to 0.00006" (with
// the datum shift both ways, to 0.00005" and 0.2 mm in height).
//
// Zones: zone n has its central meridian at (n − 1)·6 + 3 degrees and a
// false easting of 500 000 m; n is carried as the millions of Y. A Y below
// 1 000 000 is zone 0 (central meridian −3°).

namespace korvagrid {

// Latitude and longitude in packed degrees, height in metres.
struct GeoResult {
  double b;
  double l;
  double h;
};

// Plane input (geographicInput false): first = X in metres, second = Y in
// metres with the zone number as its millions; the result is Krasovsky when
// toWgs is false (height unchanged), WGS-84 when it is true.
// Geographic input (geographicInput true): first, second = Krasovsky latitude
// and longitude in packed degrees; the datum shift to WGS-84 is always
// applied, whatever toWgs says.
// Throws KorvagridError on an arithmetic fault or a zone outside 16 bits.
GeoResult Fo42_WGS(double first, double second, double h, bool toWgs, bool geographicInput);

}  // namespace korvagrid
