#pragma once
// The conversion of Br (mT) to mechanical stress (MPa) of the applied item of the
// stress table: S = (Br - StressZeroBr) * StressSlope.

// The instrument's scale, 0..20 mT, and the largest stress an applied item may
// give anywhere on it.
inline constexpr double StressScaleTopBr = 20.0;
inline constexpr double MaxStressMagnitude = 1e9;

struct StressLaw {
  double StressZeroBr = 0.0;
  double StressSlope = 0.0;
  int AppliedStressItem = 1;

  double ToStress(double br) const { return (br - StressZeroBr) * StressSlope; }
};
