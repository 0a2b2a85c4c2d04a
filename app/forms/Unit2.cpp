#include "app/forms/Unit2.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/forms/CaptionEdit.h"
#include "app/forms/ChMUnit.h"
#include "app/forms/FontFaces.h"
#include "app/forms/FormWidgets.h"
#include "app/logic/TypedValues.h"
#include "platform/Rounding.h"

namespace vantrix {

namespace {

QToolButton* MakeToolButton(const QString& name, const QString& caption, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(caption);
  b->setToolButtonStyle(Qt::ToolButtonTextOnly);
  b->setAutoRaise(true);
  return b;
}

}  // namespace

void CopyRichText(TCaptionEdit* target, const TCaptionEdit* source) {
  // Straight from letter to letter: the clipboard the user has stays untouched.
  if (source->Length() == 0) return;
  target->setFont(source->font());
  target->SetCaption(source->Caption());
}

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setObjectName("Form2");
  setWindowTitle(" Advanced Text Settings");
  setModal(true);

  auto* bar = new QToolBar(this);
  bar->setObjectName("StandardToolBar");
  FontName = new QComboBox(bar);
  FontName->setObjectName("FontName");
  FontName->setEditable(true);
  FontName->setInsertPolicy(QComboBox::NoInsert);
  FontName->setMaxVisibleItems(10);
  FontName->setToolTip("Select font name");
  FontName->setMinimumContentsLength(18);
  FontName->addItems(ScalableFaces());
  ShowFacesInTheirOwnFont(FontName);
  bar->addWidget(FontName);
  FontSize = new QLineEdit("0", bar);
  FontSize->setObjectName("FontSize");
  FontSize->setFixedWidth(QFontMetrics(FontSize->font()).horizontalAdvance("00000") + 12);
  bar->addWidget(FontSize);
  QToolButton* up = MakeToolButton("UpDown1Up", QString(), bar);
  QToolButton* down = MakeToolButton("UpDown1Down", QString(), bar);
  for (auto [button, arrow] : {std::pair{up, Qt::UpArrow}, std::pair{down, Qt::DownArrow}}) {
    button->setArrowType(arrow);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);  // text-only buttons hide their arrow
  }
  bar->addWidget(up);
  bar->addWidget(down);
  bar->addSeparator();
  BoldButton = MakeToolButton("BoldButton", "Bold", bar);
  BoldButton->setCheckable(true);
  ItalicButton = MakeToolButton("ItalicButton", "Italic", bar);
  ItalicButton->setCheckable(true);
  bar->addWidget(BoldButton);
  bar->addWidget(ItalicButton);
  bar->addSeparator();
  QToolButton* symbol = MakeToolButton("ToolButton1", " Symbol ", bar);
  symbol->setToolTip("Insert symbol");
  bar->addWidget(symbol);

  Editor_ = new TCaptionEdit(this);
  Editor_->setObjectName("Editor");
  Editor_->setMinimumWidth(560);
  if (FontName->count() > 0) {
    FontName->setCurrentIndex(0);
    QFont font(FontName->itemText(0));
    font.setPointSize(kSymbolSize);
    Editor_->setFont(font);
  }
  // Room for letters twice the inserted size before they are clipped.
  QFont tall = Editor_->font();
  tall.setPointSize(2 * kSymbolSize);
  Editor_->setFixedHeight(QFontMetrics(tall).height() + 12);

  QDialogButtonBox* buttons = MakeOkCancel(this);
  auto* column = new QVBoxLayout(this);
  column->addWidget(bar);
  column->addWidget(Editor_);
  column->addWidget(buttons);
  column->setSizeConstraint(QLayout::SetFixedSize);

  FontSize->installEventFilter(this);
  FontName->lineEdit()->installEventFilter(this);
  connect(Editor_, &QTextEdit::cursorPositionChanged, this, &TForm2::EditorSelectionChange);
  connect(Editor_, &QTextEdit::selectionChanged, this, &TForm2::EditorSelectionChange);
  connect(Editor_, &QTextEdit::currentCharFormatChanged, this, &TForm2::EditorSelectionChange);
  connect(FontName, &QComboBox::textActivated, this, &TForm2::FontNameChange);
  // A typed name and Enter: the combo box only reports names it matched exactly.
  connect(FontName->lineEdit(), &QLineEdit::returnPressed, this,
          [this] { FontNameChange(FontName->currentText()); });
  connect(FontSize, &QLineEdit::editingFinished, this, &TForm2::FontSizeChange);
  connect(up, &QToolButton::clicked, this, [this] { StepSize(1); });
  connect(down, &QToolButton::clicked, this, [this] { StepSize(-1); });
  connect(BoldButton, &QToolButton::clicked, this, [this](bool on) {
    if (!updating_) StyleClick({.Bold = on});
  });
  connect(ItalicButton, &QToolButton::clicked, this, [this](bool on) {
    if (!updating_) StyleClick({.Italic = on});
  });
  connect(symbol, &QToolButton::clicked, this, &TForm2::ToolButton1Click);
}

void TForm2::showEvent(QShowEvent* event) {
  // The caption was put in without signals; the tool bar starts from its caret.
  EditorSelectionChange();
  QDialog::showEvent(event);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  // Enter in a tool bar field applies the field and goes no further: the
  // field hands the key on to the dialog, whose default button would close it.
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    enterInField_ = key == Qt::Key_Return || key == Qt::Key_Enter;
  }
  return QDialog::eventFilter(watched, event);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  const bool swallow = enterInField_;
  enterInField_ = false;
  if (swallow && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TForm2::EditorSelectionChange() {
  const QScopedValueRollback<bool> guard(updating_, true);
  const TFontSpec font = Editor_->SelectionFont();
  BoldButton->setChecked(font.Bold);
  ItalicButton->setChecked(font.Italic);
  FontSize->setText(QString::number(font.Size));
  FontName->setCurrentText(QString::fromStdString(font.FaceName));
}

void TForm2::FontNameChange(const QString& face) {
  if (updating_) return;
  // A typed name that is no installed face is left alone; one typed in
  // another case takes the face's own name.
  const int found = FontName->findText(face.trimmed(), Qt::MatchFixedString);
  if (found >= 0) {
    const QString name = FontName->itemText(found);
    if (FontName->currentText() != name) FontName->setCurrentText(name);
    Editor_->ChangeSelectionFont({.FaceName = name.toStdString()});
  }
  Editor_->setFocus();
}

void TForm2::FontSizeChange() {
  if (updating_) return;
  int size = 0;
  try {
    size = ParseInt(FontSize->text().toStdString());
  } catch (const TConversionError& e) {
    ShowMessageBox(this, e.what());
    EditorSelectionChange();  // the field shows the size the selection kept
    return;
  }
  Editor_->ChangeSelectionFont({.Size = ClampInt(size, kMinLetterSize, kMaxLetterSize)});
  EditorSelectionChange();
  Editor_->setFocus();
}

void TForm2::StepSize(int step) {
  if (updating_) return;
  const int size = Editor_->SelectionFont().Size + step;
  Editor_->ChangeSelectionFont({.Size = ClampInt(size, kMinLetterSize, kMaxLetterSize)});
  EditorSelectionChange();
  Editor_->setFocus();
}

void TForm2::StyleClick(const TFontChange& style) {
  // One style at a time, so that a selection of mixed styles keeps the other.
  Editor_->ChangeSelectionFont(style);
  Editor_->setFocus();
}

void TForm2::ToolButton1Click() {
  if (!CharMap) return;
  CharMap->SetCharset(Editor_->SelectionFont().Charset);
  if (CharMap->exec() == QDialog::Accepted && !CharMap->Chosen().isEmpty())
    Editor_->InsertWithFont(
        CharMap->Chosen(),
        {.FaceName = CharMap->FaceName(), .Size = kSymbolSize, .Charset = CharMap->Charset()});
  Editor_->setFocus();
}

}  // namespace vantrix
