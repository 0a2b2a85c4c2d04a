#include "app/forms/ChMUnit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/forms/FontFaces.h"
#include "app/forms/FormWidgets.h"
#include "app/logic/TypedValues.h"
#include "platform/CodePage.h"

namespace vantrix {

namespace {

constexpr int kCellSize = 26;
constexpr int kPreviewPoints = 24;

}  // namespace

TCharMap::TCharMap(QWidget* parent) : QDialog(parent) {
  setObjectName("CharMap");
  setWindowTitle("Character Map");
  setModal(true);
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->addItems(ScalableFaces());
  StringGrid1 = new QTableWidget(kRows, kColumns, this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->horizontalHeader()->setMinimumSectionSize(kCellSize);
  StringGrid1->verticalHeader()->setMinimumSectionSize(kCellSize);
  StringGrid1->horizontalHeader()->setDefaultSectionSize(kCellSize);
  StringGrid1->verticalHeader()->setDefaultSectionSize(kCellSize);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setFixedSize(kColumns * kCellSize + 2 * StringGrid1->frameWidth(),
                            kRows * kCellSize + 2 * StringGrid1->frameWidth());
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignCenter);
      StringGrid1->setItem(r, c, item);
    }
  StaticText1 = new QLabel(this);
  StaticText1->setObjectName("StaticText1");
  StaticText1->setAlignment(Qt::AlignCenter);
  StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StaticText1->setMinimumSize(90, 56);

  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setPlaceholderText("or type any character, or its code: U+2713");
  Edit1->setMinimumWidth(260);

  QDialogButtonBox* buttons = MakeOkCancel(this);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(new QLabel("Preview: ", this));
  bottom->addWidget(StaticText1);
  bottom->addSpacing(12);
  bottom->addWidget(Edit1);
  bottom->addStretch(1);
  bottom->addWidget(buttons);
  auto* page = new QVBoxLayout(this);
  page->addWidget(ComboBox1);
  page->addWidget(StringGrid1);
  page->addLayout(bottom);
  page->setSizeConstraint(QLayout::SetFixedSize);

  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TCharMap::ComboBox1Change);
  connect(StringGrid1, &QTableWidget::currentCellChanged, this,
          [this](int row, int column) { StringGrid1SelectCell(row, column); });
  connect(Edit1, &QLineEdit::textEdited, this, &TCharMap::Edit1Change);
  connect(StringGrid1, &QTableWidget::cellClicked, this,
          [this](int row, int column) { StringGrid1SelectCell(row, column); });
  connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    StringGrid1SelectCell(row, column);
    accept();
  });
  SetCharset(kAnsiCharset);
  ComboBox1Change();
  StringGrid1->setCurrentCell(0, 0);
  StringGrid1SelectCell(0, 0);
}

void TCharMap::SetCharset(int charset) {
  charset_ = charset;
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) {
      const int code = kFirstCode + kColumns * r + c;
      const std::optional<char32_t> ch = CharsetToUnicode(charset, static_cast<uint8_t>(code));
      StringGrid1->item(r, c)->setText(ch ? QString::fromUcs4(&*ch, 1) : QString());
    }
  if (StringGrid1->currentRow() >= 0)
    StringGrid1SelectCell(StringGrid1->currentRow(), StringGrid1->currentColumn());
}

std::string TCharMap::FaceName() const {
  return ComboBox1->currentText().toStdString();
}

void TCharMap::ComboBox1Change() {
  // The face alone: the character set stays the one the grid was given.
  QFont face(ComboBox1->currentText());
  StringGrid1->setFont(face);
  face.setPointSize(kPreviewPoints);
  StaticText1->setFont(face);
}

void TCharMap::StringGrid1SelectCell(int row, int column) {
  const QTableWidgetItem* item = StringGrid1->item(row, column);
  if (!item) return;
  Edit1->clear();  // the grid's choice replaces a typed one
  chosen_ = item->text();
  StaticText1->setText(" " + chosen_ + " ");
}

void TCharMap::Edit1Change(const QString& text) {
  if (text.isEmpty()) {
    StringGrid1SelectCell(StringGrid1->currentRow(), StringGrid1->currentColumn());
    return;
  }
  const QList<uint> codes = text.toUcs4();
  const std::optional<char32_t> ch = ParseCharacterEntry(std::u32string(codes.begin(), codes.end()));
  // Until the entry holds one character, OK inserts nothing.
  chosen_ = ch ? QString::fromUcs4(&*ch, 1) : QString();
  StaticText1->setText(" " + chosen_ + " ");
}

}  // namespace vantrix
