#include "charts/map_chart.h"

#include "charts/contour_chart.h"
#include "charts/surface_chart.h"

#include <QGridLayout>
#include <QStackedLayout>

MapChart::MapChart(QWidget* parent) : QWidget(parent)
{
  m_grid = new QGridLayout(this);
  m_grid->setContentsMargins(0, 0, 0, 0);
  m_grid->setSpacing(0);
  auto* drawing = new QWidget(this);
  m_stack = new QStackedLayout(drawing);
  m_stack->setContentsMargins(0, 0, 0, 0);
  m_contour = new ContourChart(drawing);
  m_surface = new SurfaceChart(drawing);
  m_stack->addWidget(m_contour);
  m_stack->addWidget(m_surface);
  m_grid->addWidget(drawing, 1, 1);
  m_grid->setRowStretch(1, 1);
  m_grid->setColumnStretch(1, 1);
  m_stack->setCurrentWidget(m_contour);
}

MapChart::~MapChart() = default;

void MapChart::setView3D(bool on)
{
  m_3d = on;
  m_stack->setCurrentWidget(on ? static_cast<QWidget*>(m_surface)
                               : static_cast<QWidget*>(m_contour));
}

void MapChart::setBars(QWidget* top, QWidget* left, QWidget* right, QWidget* bottom)
{
  if (top)
    m_grid->addWidget(top, 0, 0, 1, 3);
  if (left)
    m_grid->addWidget(left, 1, 0);
  if (right)
    m_grid->addWidget(right, 1, 2);
  if (bottom)
    m_grid->addWidget(bottom, 2, 0, 1, 3);
}
