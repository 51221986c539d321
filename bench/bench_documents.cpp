#include "bench/bench_documents.h"

#include "addin/host_model.h"

#include <string>

namespace vantelo::bench {

sim::DocumentData Part() {
  return {.name = "P.ipt",
          .type = document_type::Part,
          .subType = subtype::Part,
          .massProperties = sim::MassPropertiesData{.mass = 1.25, .volume = 158.7}};
}

sim::DocumentData Assembly() {
  return {.name = "A.iam",
          .type = document_type::Assembly,
          .massProperties = sim::MassPropertiesData{.mass = 42.5, .volume = 5400.25}};
}

sim::DocumentData SheetMetalPart() {
  return {.name = "S.ipt",
          .type = document_type::Part,
          .subType = subtype::SheetMetalPart,
          .massProperties = sim::MassPropertiesData{.mass = 0.85, .volume = 108.3},
          .sheetMetal = sim::SheetMetalData{
              .thickness = 0.2,
              .thicknessUnits = "mm",
              .styleName = "Steel 2mm",
              .flatPattern = sim::FlatPatternData{.minPoint = {0.0, 0.0, 0.0},
                                                  .maxPoint = {31.5, 12.25, 0.2}}}};
}

sim::DocumentData SmallDrawing() {
  sim::DocumentData drawing{.name = "D.idw", .type = document_type::Drawing};
  drawing.sheets = {{.size = PaperSizeCodeOf("A0"), .viewScales = {0.5, 0.25, 1.0, 0.5}},
                    {.size = PaperSizeCodeOf("A0"), .viewScales = {2.0, 0.5}}};
  return drawing;
}

std::vector<double> ViewScales(std::size_t count, ScaleMix mix) {
  static constexpr double kCommon[] = {1.0, 0.5, 0.25, 2.0, 0.2};
  std::vector<double> scales(count);
  for (std::size_t k = 0; k < count; ++k) {
    if (mix == ScaleMix::Few)
      scales[k] = kCommon[k % std::size(kCommon)];
    else // spread over reductions and enlargements, each one different
      scales[k] = 0.01 + static_cast<double>(k) * 0.000397;
  }
  return scales;
}

sim::DocumentData DrawingWithViews(int sheets, int viewsPerSheet, ScaleMix mix) {
  const auto total = static_cast<std::size_t>(sheets) * static_cast<std::size_t>(viewsPerSheet);
  const std::vector<double> scales = ViewScales(total, mix);
  sim::DocumentData drawing{.name = "Views.idw", .type = document_type::Drawing};
  drawing.sheets.resize(static_cast<std::size_t>(sheets));
  auto next = scales.begin();
  for (auto& sheet : drawing.sheets) {
    sheet.size = PaperSizeCodeOf("A0");
    sheet.viewScales.assign(next, next + viewsPerSheet);
    next += viewsPerSheet;
  }
  return drawing;
}

sim::DocumentData DrawingWithPartsList(int rows) {
  sim::PartsListData list{.columns = {"QTY", "MASS", "TOTAL"}};
  static const char* const kMasses[] = {"2.5 kg", "250 g", "0.5 slug", "11.0231 lbmass"};
  list.rows.reserve(static_cast<std::size_t>(rows));
  for (int k = 0; k < rows; ++k)
    list.rows.push_back({std::to_string(1 + k % 7), kMasses[k % 4], ""});
  sim::DocumentData drawing{.name = "PartsList.idw", .type = document_type::Drawing};
  drawing.sheets = {{.size = PaperSizeCodeOf("A0"), .partsLists = {std::move(list)}}};
  drawing.PropertySet(fmtid::UserDefined)->properties.Add("TotalMass", std::string());
  return drawing;
}

} // namespace vantelo::bench
