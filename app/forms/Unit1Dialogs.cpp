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
  if (openSh_->BuiltInType() > 0) {
    scene_->Params.ButType = openSh_->BuiltInType();
  } else {
    scene_->Params.ShapeName = FileNameOf(openSh_->FileName());
    scene_->Params.ButType = 16;
  }
  scene_->HiddenButType = 0;
  {
    const QSignalBlocker block(CheckBox9);  // a hidden button is shown again with its new shape
    CheckBox9->setChecked(false);
  }
  RebuildPreview();
}

}  // namespace vantrix
