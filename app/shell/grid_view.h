#pragma once
// The view of the measurement grid: a table of the grid's rows from row 1 on,
// with grid row 0 as its header. It draws only the rows on screen, so 100 000
// rows cost nothing extra.

#include <QAbstractProxyModel>
#include <QTableView>

class MeasurementGrid;
class QMenu;

// Maps view row i to grid row i + 1 and serves grid row 0 as the header.
class GridHeaderProxy : public QAbstractProxyModel {
  Q_OBJECT
 public:
  explicit GridHeaderProxy(MeasurementGrid* grid, QObject* parent = nullptr);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
  QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;

 private:
  MeasurementGrid* m_grid;
};

class StringGridView : public QTableView {
  Q_OBJECT
 public:
  explicit StringGridView(MeasurementGrid* grid, QWidget* parent = nullptr);

  MeasurementGrid* grid() const { return m_grid; }

  // In grid rows. The selection is a contiguous range of whole rows.
  int currentGridRow() const;
  void selectGridRows(int top, int bottom);
  int selectionTop() const;
  int selectionBottom() const;

  void setPopupMenu(QMenu* menu) { m_popup = menu; }
  QMenu* popupMenu() const { return m_popup; }

 Q_SIGNALS:
  // Double click or Enter on a row (grid row index).
  void rowActivated(int gridRow);
  void deletePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void applyRowVisibility();
  MeasurementGrid* m_grid;
  GridHeaderProxy* m_proxy;
  QMenu* m_popup = nullptr;
};
