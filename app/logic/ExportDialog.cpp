#include "app/logic/ExportDialog.h"

#include "imaging/Export.h"

namespace vantrix {

TExportType ExportTypeOfIndex(int index) {
  constexpr TExportType kTypes[6] = {kExportGif, kExportJpeg, kExportBmp,
                                     kExportPng, kExportWebp, kExportAvif};
  return index >= 0 && index < 6 ? kTypes[index] : kExportBmp;
}

TExportType ExportTypeOfFilter(const std::string& filter) {
  for (int i = 0; i < 6; ++i)
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
