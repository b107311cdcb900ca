#include "shell/grid_view.h"

#include "data/measurement_grid.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

GridHeaderProxy::GridHeaderProxy(MeasurementGrid* grid, QObject* parent)
    : QAbstractProxyModel(parent), m_grid(grid)
{
  setSourceModel(grid);
  // Structural changes are few (loads, edits): a reset keeps the mapping simple.
  auto reset = [this] {
    beginResetModel();
    endResetModel();
  };
  connect(grid, &QAbstractItemModel::modelReset, this, reset);
  connect(grid, &QAbstractItemModel::rowsInserted, this, reset);
  connect(grid, &QAbstractItemModel::rowsRemoved, this, reset);
  connect(grid, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& tl, const QModelIndex& br) {
            if (tl.row() == 0)
              Q_EMIT headerDataChanged(Qt::Horizontal, tl.column(), br.column());
            const int top = std::max(tl.row(), 1) - 1;
            if (br.row() >= 1)
              Q_EMIT dataChanged(index(top, tl.column()), index(br.row() - 1, br.column()));
          });
}

QModelIndex GridHeaderProxy::index(int row, int column, const QModelIndex& parent) const
{
  if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= 2)
    return {};
  return createIndex(row, column);
}

QModelIndex GridHeaderProxy::parent(const QModelIndex&) const
{
  return {};
}

int GridHeaderProxy::rowCount(const QModelIndex& parent) const
{
  return parent.isValid() ? 0 : std::max(m_grid->RowCount() - 1, 0);
}

int GridHeaderProxy::columnCount(const QModelIndex& parent) const
{
  return parent.isValid() ? 0 : 2;
}

QModelIndex GridHeaderProxy::mapToSource(const QModelIndex& proxyIndex) const
{
  if (!proxyIndex.isValid())
    return {};
  return m_grid->index(proxyIndex.row() + 1, proxyIndex.column());
}

QModelIndex GridHeaderProxy::mapFromSource(const QModelIndex& sourceIndex) const
{
  if (!sourceIndex.isValid() || sourceIndex.row() < 1)
    return {};
  return index(sourceIndex.row() - 1, sourceIndex.column());
}

QVariant GridHeaderProxy::headerData(int section, Qt::Orientation o, int role) const
{
  if (o == Qt::Horizontal && role == Qt::DisplayRole)
    return m_grid->cell(0, section);
  if (o == Qt::Horizontal && role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  return {};
}

StringGridView::StringGridView(MeasurementGrid* grid, QWidget* parent)
    : QTableView(parent), m_grid(grid), m_proxy(new GridHeaderProxy(grid, this))
{
  setModel(m_proxy);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(16);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setFixedHeight(18);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setHighlightSections(false);
  setColumnWidth(0, 88);
  setColumnWidth(1, 82);
  // The columns are as narrow as the instrument's 13-character file names; a
  // condensed face keeps them whole where the form's narrow font is missing.
  if (QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans Condensed"))) {
    QFont f(QStringLiteral("DejaVu Sans Condensed"));
    f.setPointSize(8);
    setFont(f);
  }

  connect(m_proxy, &QAbstractItemModel::modelReset, this, &StringGridView::applyRowVisibility);
  connect(grid, &MeasurementGrid::rowVisibilityChanged, this, [this](int row, bool hidden) {
    if (row >= 1)
      setRowHidden(row - 1, hidden);
  });
  connect(grid, &MeasurementGrid::rangeSelectChanged, this, [this](bool on) {
    setSelectionMode(on ? QAbstractItemView::ContiguousSelection
                        : QAbstractItemView::SingleSelection);
  });
  connect(this, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& i) { Q_EMIT rowActivated(i.row() + 1); });
  applyRowVisibility();
}

void StringGridView::applyRowVisibility()
{
  for (int r = 1; r < m_grid->RowCount() && r <= 2; ++r)
    setRowHidden(r - 1, m_grid->isRowHidden(r));
}

int StringGridView::currentGridRow() const
{
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.row() + 1 : -1;
}

void StringGridView::selectGridRows(int top, int bottom)
{
  if (top < 1 || bottom < top)
    return;
  // The cursor first, without touching the selection: setting it the view's
  // way would select its row alone.
  selectionModel()->setCurrentIndex(m_proxy->index(top - 1, 0), QItemSelectionModel::NoUpdate);
  QItemSelection sel(m_proxy->index(top - 1, 0), m_proxy->index(bottom - 1, 1));
  selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int StringGridView::selectionTop() const
{
  // The ranges, not selectedRows(): a selection of 100 000 rows is one range.
  int top = -1;
  for (const QItemSelectionRange& r : selectionModel()->selection())
    top = top < 0 ? r.top() + 1 : std::min(top, r.top() + 1);
  return top < 0 ? currentGridRow() : top;
}

int StringGridView::selectionBottom() const
{
  int bottom = -1;
  for (const QItemSelectionRange& r : selectionModel()->selection())
    bottom = std::max(bottom, r.bottom() + 1);
  return bottom < 0 ? currentGridRow() : bottom;
}

void StringGridView::keyPressEvent(QKeyEvent* event)
{
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (currentGridRow() > 0)
      Q_EMIT rowActivated(currentGridRow());
    return;
  }
  if (event->key() == Qt::Key_Delete) {
    Q_EMIT deletePressed();
    return;
  }
  QTableView::keyPressEvent(event);
}

void StringGridView::contextMenuEvent(QContextMenuEvent* event)
{
  if (m_popup && isEnabled())
    m_popup->popup(event->globalPos());
}
