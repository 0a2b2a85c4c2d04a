// The main window's text and shape dialogs: each is handed what it edits,
// shown modally, and its result taken back only on OK.

#include <QCheckBox>
#include <QSignalBlocker>

#include "app/forms/CaptionEdit.h"
#include "app/forms/OpenShape.h"
#include "app/forms/Unit1.h"
#include "app/forms/Unit2.h"
#include "app/logic/WorkDocuments.h"

namespace vantrix {

void TForm1::SpeedButton11Click() {
  CopyRichText(form2_->Editor(), Edit1);
  if (form2_->exec() != QDialog::Accepted) return;
  CopyRichText(Edit1, form2_->Editor());
  RebuildPreview();
}

void TForm1::SpeedButton12Click() {
  openSh_->ProgramFolder = programFolder_;
  if (openSh_->exec() != QDialog::Accepted || !openSh_->Selected()) return;
  if (openSh_->BuiltInType() > 0)
    SetButtonShape(openSh_->BuiltInType(), scene_->Params.ShapeName);
  else
    SetButtonShape(16, FileNameOf(openSh_->FileName()));
}

// A built-in outline (1..7) or a shape file (16 with its name), from the
// chooser or a drop; a hidden button is shown again with its new shape.
void TForm1::SetButtonShape(int32_t butType, const std::string& shapeName) {
  scene_->Params.ButType = butType;
  scene_->Params.ShapeName = shapeName;
  scene_->HiddenButType = 0;
  {
    const QSignalBlocker block(CheckBox9);
    CheckBox9->setChecked(false);
  }
  NoteEdit(TPreviewWork::Rebuild);
  RebuildPreview();
}

}  // namespace vantrix
