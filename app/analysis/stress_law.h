#pragma once
// The conversion of Br (mT) to mechanical stress (MPa) of the applied item of the
// stress table: S = (Br - StressZeroBr) * StressSlope.

struct StressLaw {
  double StressZeroBr = 0.0;
  double StressSlope = 0.0;
  int AppliedStressItem = 1;

  double ToStress(double br) const { return (br - StressZeroBr) * StressSlope; }
};
