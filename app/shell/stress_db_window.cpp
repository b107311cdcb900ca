#include "shell/stress_db_window.h"

#include "charts/chart.h"
#include "common/formats.h"
#include "common/program_folder.h"
#include "common/prompts.h"
#include "shell/main_window.h"
#include "shell/view_rebuild.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString WindowCaption = QStringLiteral("RZ-37m connect stress DB");
const QString MessageCaption = QStringLiteral("RZ-37m connect stress DB");
constexpr int RowHeight = 16;
const QColor MarkerColor(0, 255, 0);

// The table's row 0 is its header: the grid shows it as the fixed header row.
class HeaderFromRowZero : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override
  {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && sourceModel())
      return sourceModel()->index(0, section).data();
    return QIdentityProxyModel::headerData(section, orientation, role);
  }
};

// The applied-item marker is drawn inside its own row's first cell, so it
// scrolls with the row and is never left on a row that has moved away.
class AppliedMarkerDelegate : public QStyledItemDelegate {
 public:
  AppliedMarkerDelegate(const int* appliedRow, QObject* parent)
      : QStyledItemDelegate(parent), m_appliedRow(appliedRow)
  {
  }
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override
  {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != 0 || !m_appliedRow || index.row() != *m_appliedRow)
      return;
    painter->fillRect(QRect(option.rect.left(), option.rect.top(), 3, option.rect.height()),
                      MarkerColor);
  }

 private:
  const int* m_appliedRow;
};

// A round axis end at or above v, close enough that the line fills the chart.
double niceCeiling(double v)
{
  if (!(v > 0.0) || !std::isfinite(v))
    return 1.0;
  const double step = std::pow(10.0, std::floor(std::log10(v)));
  for (double m : {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0})
    if (m * step >= v * (1.0 - 1e-12))
      return m * step;
  return 10.0 * step;
}

// A label step giving about five labels up to top: 1, 2, 2.5 or 5 times a power of ten.
double labelStep(double top)
{
  const double raw = top / 5;
  const double decade = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 2.5, 5.0})
    if (m * decade >= raw * (1.0 - 1e-12))
      return m * decade;
  return 10.0 * decade;
}

// A field of the file ends at ";" and a line at a line break: such a name
// would tear its line apart when the table is saved.
bool usableObjectName(const QString& name)
{
  return !name.contains(fmt::ListSeparator) && !name.contains(u'\n') && !name.contains(u'\r');
}

QWidget* labeledEdit(const QString& caption, QLineEdit** edit, QWidget* parent)
{
  auto* box = new QWidget(parent);
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(1);
  auto* label = new QLabel(caption, box);
  *edit = new QLineEdit(box);
  label->setBuddy(*edit);
  column->addWidget(label);
  column->addWidget(*edit);
  return box;
}

}  // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent), m_form(qobject_cast<TForm1*>(parent))
{
  setWindowTitle(WindowCaption);
  createControls();
  LoadStressTableAtStart();
  if (m_form)
    ApplyStoredItem(m_form->Stress.AppliedStressItem);
}

void TForm4::createControls()
{
  setFixedSize(590, 486);
  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(8, 8, 8, 8);

  auto* proxy = new HeaderFromRowZero(this);
  proxy->setSourceModel(&Table);
  StringGrid1 = new QTableView(this);
  if (QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans Condensed")))
    StringGrid1->setFont(QFont(QStringLiteral("DejaVu Sans Condensed"), 8));
  StringGrid1->setModel(proxy);
  StringGrid1->setItemDelegate(
      new AppliedMarkerDelegate(m_form ? &m_form->Stress.AppliedStressItem : nullptr, this));
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->verticalHeader()->setDefaultSectionSize(RowHeight);
  StringGrid1->verticalHeader()->setMinimumSectionSize(RowHeight);
  StringGrid1->verticalHeader()->setVisible(false);
  StringGrid1->horizontalHeader()->setHighlightSections(false);
  const int widths[] = {104, 52, 44, 56};
  for (int c = 0; c < 4; ++c)
    StringGrid1->setColumnWidth(c, widths[c]);
  StringGrid1->setFixedWidth(280);
  StringGrid1->setRowHidden(0, true);
  connect(&Table, &QAbstractItemModel::modelReset, this,
          [this] { StringGrid1->setRowHidden(0, true); });
  connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid())
              StringGrid1SelectCell(current.row());
          });
  columns->addWidget(StringGrid1);

  auto* right = new QVBoxLayout;
  Chart1 = new LinearChart(this);
  Chart1->setTitleText(QStringLiteral("         Br, mT"));
  Chart1->setChartMargins(44, 24, 12, 36);
  Chart1->bottomAxis().setRange(0, 500);
  Chart1->bottomAxis().setIncrement(100);
  Chart1->leftAxis().setRange(0, 5);
  Chart1->leftAxis().setIncrement(1);
  Series1 = Chart1->addSeries(ChartSeries::Kind::Line);
  Series1->setColor(QColorConstants::Svg::navy);
  right->addWidget(Chart1, 1);
  auto* axisTitle = new QLabel(QStringLiteral("S, MPa"), this);
  axisTitle->setAlignment(Qt::AlignHCenter);
  right->addWidget(axisTitle);

  auto* fields = new QGridLayout;
  fields->addWidget(labeledEdit(QStringLiteral("Object/Steel grade"), &LabeledEdit1, this), 0, 0, 1,
                    3);
  fields->addWidget(labeledEdit(QStringLiteral("Br(S=0)"), &LabeledEdit2, this), 1, 0);
  fields->addWidget(labeledEdit(QStringLiteral("Smax"), &LabeledEdit3, this), 1, 1);
  fields->addWidget(labeledEdit(QStringLiteral("Br(Smax)"), &LabeledEdit4, this), 1, 2);
  right->addLayout(fields);

  auto* buttons = new QGridLayout;
  auto button = [this, buttons](const QString& text, int row, int col, void (TForm4::*slot)()) {
    auto* b = new QPushButton(text, this);
    // Enter in an edit field must never press a button on its own.
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, slot);
    buttons->addWidget(b, row, col);
    return b;
  };
  Button1 = button(QStringLiteral("Apply item"), 0, 0, &TForm4::Button1Click);
  Button2 = button(QStringLiteral("Add item"), 0, 1, &TForm4::Button2Click);
  Button3 = button(QStringLiteral("Remove item"), 0, 2, &TForm4::Button3Click);
  Button4 = button(QStringLiteral("Save DB"), 1, 0, &TForm4::Button4Click);
  Button5 = button(QStringLiteral("Reload DB"), 1, 2, &TForm4::Button5Click);
  right->addLayout(buttons);
  columns->addLayout(right, 1);
}

bool TForm4::LoadStressTableAtStart()
{
  const QString path = ProgramFolder::file(StressTableFileName);
  QString reason;
  auto items = ReadStressItems(path, &reason);
  if (items && items->isEmpty())
    reason = QStringLiteral("it holds no item");
  if (!items || items->isEmpty()) {
    // The built-in items stay; the file is left for the user to mend or to
    // replace with "Save DB".
    Table.replaceItems(DefaultStressItems());
    showNote(QStringLiteral("The stress database %1 could not be read (%2); the built-in "
                            "stress items are used.")
                 .arg(path, reason));
    return false;
  }
  Table.replaceItems(*items);
  return true;
}

void TForm4::ApplyStoredItem(int storedRow)
{
  if (!m_form)
    return;
  const QString note = ApplyStoredStressItem(Table, storedRow, &m_form->Stress);
  if (!note.isEmpty())
    showNote(note);
}

void TForm4::showNote(const QString& note)
{
  m_startNote = m_startNote.isEmpty() ? note : m_startNote + u' ' + note;
  if (m_form)
    m_form->StatusBar1->showMessage(m_startNote);
}

int TForm4::CurrentRow() const
{
  const QModelIndex current = StringGrid1->currentIndex();
  return current.isValid() && current.row() >= 1 ? current.row() : -1;
}

void TForm4::SelectRow(int row)
{
  if (row < 1 || row >= Table.RowCount())
    return;
  StringGrid1->selectRow(row);
  StringGrid1->setCurrentIndex(StringGrid1->model()->index(row, 0));
}

void TForm4::StringGrid1SelectCell(int row)
{
  showItem(Table.cell(row, StressTable::ObjectColumn), Table.cell(row, StressTable::ZeroBrColumn),
           Table.cell(row, StressTable::SmaxColumn), Table.cell(row, StressTable::SmaxBrColumn));
}

void TForm4::showItem(const QString& object, const QString& zeroBr, const QString& smax,
                      const QString& smaxBr)
{
  LabeledEdit1->setText(object);
  LabeledEdit2->setText(zeroBr);
  LabeledEdit3->setText(smax);
  LabeledEdit4->setText(smaxBr);
  Series1->clear();
  double br0 = 0.0;
  int s = 0;
  double brS = 0.0;
  if (!fmt::readReal(zeroBr, &br0) || !fmt::readInt(smax, &s) || !fmt::readReal(smaxBr, &brS))
    return;
  Series1->add(0.0, br0);
  Series1->add(s, brS);
  // Both axes start at 0 and reach just past the item's line.
  const double right = niceCeiling(s);
  Chart1->bottomAxis().setRange(0, right);
  Chart1->bottomAxis().setIncrement(labelStep(right));
  const double top = niceCeiling(std::max(br0, brS));
  Chart1->leftAxis().setRange(0, top);
  Chart1->leftAxis().setIncrement(labelStep(top));
}

void TForm4::tell(const QString& text)
{
  if (m_form)
    m_form->prompts().message(text, MessageCaption, Prompts::Icon::Error);
}

bool TForm4::applyRow(int row)
{
  if (!m_form)
    return false;
  // Tried on a copy first, so that a failure leaves the law in force, and the
  // marker that shows it, exactly as they were.
  StressLaw trial = m_form->Stress;
  QString why;
  bool ok = ApplyStressItem(Table, row, &trial, &why);
  if (ok && (!std::isfinite(trial.StressSlope) || !std::isfinite(trial.StressZeroBr))) {
    ok = false;
    why = QStringLiteral(
              "The stress item in row %1 cannot be applied: its Br(S=0) and Br(Smax) "
              "are too close to give a usable slope.\n\nCorrect the item and apply "
              "it again.")
              .arg(row);
  }
  if (!ok) {
    tell(why);
    return false;
  }
  m_form->Stress = trial;
  StringGrid1->viewport()->update();
  rebuildViews();
  return true;
}

void TForm4::rebuildViews()
{
  if (m_form)
    m_form->rebuild().afterStressItem();
}

// Apply item
void TForm4::Button1Click()
{
  const int row = CurrentRow();
  if (row >= 1)
    applyRow(row);
}

// Add item
void TForm4::Button2Click()
{
  const int current = CurrentRow();
  int row = current;
  if (row < 1)
    return;
  if (row <= BuiltInStressItems)
    row = Table.RowCount();
  const QString object = LabeledEdit1->text();
  double br0 = 0.0;
  int smax = 0;
  double brS = 0.0;
  if (!usableObjectName(object) || !fmt::readReal(LabeledEdit2->text(), &br0) ||
      !fmt::readInt(LabeledEdit3->text(), &smax) || !fmt::readReal(LabeledEdit4->text(), &brS))
    return;
  Table.insertItemRow(row);
  // The view would carry the selection down with the old item; the selection
  // stays on its row, which now holds the new item.
  if (row == current)
    SelectRow(row);
  const QString zeroBrText = fmt::general(br0);
  const QString smaxText = QString::number(smax);
  const QString smaxBrText = fmt::general(brS);
  Table.setCell(row, StressTable::ObjectColumn, object);
  Table.setCell(row, StressTable::ZeroBrColumn, zeroBrText);
  Table.setCell(row, StressTable::SmaxColumn, smaxText);
  Table.setCell(row, StressTable::SmaxBrColumn, smaxBrText);
  showItem(object, zeroBrText, smaxText, smaxBrText);
  if (m_form && row <= m_form->Stress.AppliedStressItem)
    ++m_form->Stress.AppliedStressItem;
  StringGrid1->viewport()->update();
}

// Remove item
void TForm4::Button3Click()
{
  const int row = CurrentRow();
  if (row <= BuiltInStressItems)
    return;
  Table.removeItemRow(row);
  if (m_form) {
    int& applied = m_form->Stress.AppliedStressItem;
    if (row < applied)
      --applied;
    else if (row == applied)
      applyAfterRemoval();
  }
  StringGrid1->viewport()->update();
}

// The item in force is gone: row 1 takes over at once, so that the marker and
// the conversion in force never disagree.
void TForm4::applyAfterRemoval()
{
  QString why;
  StressLaw law = m_form->Stress;
  if (!ApplyStressItem(Table, 1, &law, &why) || !std::isfinite(law.StressSlope)) {
    law = StressLaw{};
    tell(QStringLiteral("The applied stress item was removed and row 1 cannot take its "
                        "place; stress is shown as 0 MPa until an item is applied.\n\n") +
         why);
  }
  m_form->Stress = law;
  rebuildViews();
}

// Save DB
void TForm4::Button4Click()
{
  const QString path = ProgramFolder::file(StressTableFileName);
  QString reason;
  if (SaveStressTable(Table, path, &reason))
    return;
  tell(QStringLiteral("The stress database was not saved to %1: %2.\n\nThe file keeps its "
                      "previous content. Free some space or check the folder's permissions, "
                      "then press \"Save DB\" again.")
           .arg(path, reason));
}

// Reload DB
void TForm4::Button5Click()
{
  const QString path = ProgramFolder::file(StressTableFileName);
  QString reason;
  const auto items = ReadStressItems(path, &reason);
  if (items && items->isEmpty())
    reason = QStringLiteral("it holds no item");
  if (!items || items->isEmpty()) {
    tell(QStringLiteral("The stress database %1 could not be reloaded: %2.\n\nThe table is "
                        "kept as it is.")
             .arg(path, reason));
    return;
  }
  Table.replaceItems(*items);
  StringGrid1->viewport()->update();
}

void TForm4::hideEvent(QHideEvent* event)
{
  // Escape, the close box and the window manager all end here; minimising
  // does too, but spontaneously, and leaves the main window waiting.
  if (!event->spontaneous() && m_form)
    m_form->setEnabled(true);
  QDialog::hideEvent(event);
}
