#pragma once
// An axis of a chart with fixed (never automatic) limits. It remembers the
// limits the program set last, so that undoing a user's zoom can return to them,
// and it never holds a minimum above its maximum.

class ChartAxis {
 public:
  virtual ~ChartAxis() = default;
  ChartAxis(const ChartAxis&) = delete;
  ChartAxis& operator=(const ChartAxis&) = delete;

  // The limits shown now (a user's zoom changes them).
  double minimum() const { return m_min; }
  double maximum() const { return m_max; }
  // The limits the program set last (undoing a zoom returns to them).
  double programMinimum() const { return m_programMin; }
  double programMaximum() const { return m_programMax; }

  // Each on its own. A minimum above the current maximum (or a maximum below the
  // current minimum) moves the other limit with it, so the axis stays valid.
  void setMinimum(double v);
  void setMaximum(double v);
  // Both, in the safe order: the maximum first when the new maximum is not below
  // the current minimum, else the minimum first. An inverted request (min above
  // max) gives the single value min.
  void setRange(double min, double max);

  void setIncrement(double step);  // desired label increment; widened where labels would overlap
  double increment() const { return m_increment; }
  void setLabelsVisible(bool on);
  bool labelsVisible() const { return m_labelsVisible; }

  // Between an axis value and a pixel coordinate of the chart widget (x for a
  // horizontal axis, y for a vertical one; the radius axis runs up from the centre).
  virtual double valueToPixel(double v) const = 0;
  virtual double pixelToValue(double px) const = 0;

  // For the chart: show limits without recording them (a user's zoom), and go
  // back to the recorded ones.
  void showRange(double min, double max);
  void restoreProgramRange();

 protected:
  ChartAxis(double min, double max, double increment);
  // Pushes the state to the drawing; called after every change.
  virtual void applyRange(double min, double max) = 0;
  virtual void applyIncrement(double step) = 0;
  virtual void applyLabelsVisible(bool on) = 0;
  // Subclasses call this at the end of their constructor, when applying works.
  void applyAll();

 private:
  void setLimits(double min, double max);

  double m_min;
  double m_max;
  double m_programMin;
  double m_programMax;
  double m_increment;
  bool m_labelsVisible = true;
};
