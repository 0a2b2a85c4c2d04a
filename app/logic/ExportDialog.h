#pragma once
// The Export page's rules that need no widget: which file type the page's tab
// and the save dialog's filter stand for, what the dialog proposes and where
// it starts, and the captions of the buttons that show the advanced groups.

#include <string>

#include "imaging/ExportSettings.h"
#include "scene/Caption.h"

namespace vantrix {

inline constexpr const char* kExportDialogTitle = "Save 3D Button";

// The save dialog's filters in Qt's form, in the order of TExportType (1..6).
inline constexpr const char* kExportFilters[6] = {"GIF Image (*.gif)",    "JPEG Image (*.jpg)",
                                                  "Bitmap Image (*.bmp)", "PNG Image (*.png)",
                                                  "WebP Image (*.webp)",  "AVIF Image (*.avif)"};

// The type a tab (" GIF", "JPEG", "Bitmap", "PNG", "WebP", "AVIF": 0..5) or a
// filter (0..5) stands for; any other index is a bitmap, as for SetExportExt.
TExportType ExportTypeOfIndex(int index);
// The filter text a name filter of the dialog was chosen as; kExportBmp for a
// text the dialog does not list.
TExportType ExportTypeOfFilter(const std::string& filter);
// "gif", "jpg", "bmp", "png", "webp" or "avif": the dialog's default suffix.
const char* ExportSuffix(TExportType type);

// The name the dialog proposes: the caption's letters and signs with the
// type's extension (a caption of digits only proposes ".gif").
std::string ProposedExportName(const TCaption& caption, TExportType type);

// The caption of Button4/Button5 while its group is shown or hidden.
const char* AdvancedButtonCaption(bool groupShown);

}  // namespace vantrix
