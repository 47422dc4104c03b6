#pragma once
// Places of catalogue rows in the window's system lists, as tests select them.
namespace korvagrid::testing {

inline constexpr int kBlhKrasIndex = 10;  // "BLH(Kras)"
inline constexpr int kWgs84Index = 11;    // "WGS-84"
inline constexpr int kOwnIndex = 18;      // the own system, after the 18 fixed rows

}  // namespace korvagrid::testing
