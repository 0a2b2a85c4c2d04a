#include "app/logic/ExportDialog.h"

#include "imaging/Export.h"

namespace vantrix {

TExportType ExportTypeOfIndex(int index) {
  constexpr TExportType kTypes[5] = {kExportGif, kExportJpeg, kExportBmp, kExportPng, kExportWebp};
  return index >= 0 && index < 5 ? kTypes[index] : kExportBmp;
}

TExportType ExportTypeOfFilter(const std::string& filter) {
  for (int i = 0; i < 5; ++i)
    if (filter == kExportFilters[i]) return ExportTypeOfIndex(i);
  return kExportBmp;
}

const char* ExportSuffix(TExportType type) {
  return ExportExtension(type);
}

std::string ProposedExportName(const TCaption& caption, TExportType type) {
  return SetExportExt(DefaultExportName(caption), type);
}

const char* AdvancedButtonCaption(bool groupShown) {
  return groupShown ? "Simple  <<" : "Advanced  >>";
}

}  // namespace vantrix
