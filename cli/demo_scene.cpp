#include "cli/demo_scene.h"

#include "addin/vb_conversions.h"
#include "config/every_writer_settings.h"

namespace vantelo::cli {

std::string DemoSceneJson(std::string_view decimalSeparator) {
  const std::string scene = R"({
  "active": "Bracket Assembly.idw",
  "documents": [
    { "name": "Bracket Assembly.idw", "type": "drawing",
      "sheets": [
        { "size": "A3", "views": [0.5, 0.25, 0.5, 2],
          "partsLists": [ { "columns": ["ITEM", "QTY", "PART NUMBER", "MASS", "TOTAL MASS"],
                            "rows": [ ["1", "1", "Base Plate", "1@23 kg", ""],
                                      ["2", "2", "Side Bracket", "580 g", ""],
                                      ["3", "8 pcs", "Bolt M8x20", "0@0265 lbmass", ""] ] } ] },
        { "size": "A4", "views": [1, 1.5, 0.1] } ],
      "propertySets": [
        { "fmtid": "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}",
          "properties": [ { "name": "TotalMass", "value": "" },
                          { "name": "FirstViewScale", "value": "1:5" } ] },
        { "fmtid": "{32853F0F-3444-11D1-9E93-0060B03C1CA6}",
          "properties": [ { "id": 9, "name": "Mass", "value": "" },
                          { "id": 43, "name": "Volume", "value": "" } ] } ] },
    { "name": "Base Plate.ipt", "type": "part",
      "units": { "mass": "kg", "length": "mm" },
      "massProperties": { "mass": 1.23456, "volume": 157.2 } },
    { "name": "Side Bracket.ipt", "type": "part",
      "units": { "mass": "g", "length": "mm" },
      "massProperties": { "mass": 0.58, "volume": 73.9 },
      "sheetMetal": { "thickness": 0.15, "thicknessUnit": "mm", "style": "Steel 1.5 mm",
                      "flatPattern": { "min": [0, 0, 0], "max": [12.5, 4.2, 0.15] } } },
    { "name": "Bracket Assembly.iam", "type": "assembly",
      "units": { "mass": "lbmass", "length": "in" },
      "massProperties": { "mass": 2.6154, "volume": 333.1 } }
  ]
})";
  // The parts list's mass texts carry the decimal separator in effect.
  return vb::ReplaceText(scene, "@", decimalSeparator);
}

std::string DemoSettingsText() { return kEveryWriterSettings; }

std::string DemoPartsListDrawing() { return "Bracket Assembly.idw"; }

std::vector<std::string> DemoPartsListMembers() {
  return {"TotalMassUnit=kg",      "TotalMassUnitToDisplay=kg", "TotalMassColumnName=TOTAL MASS",
          "MassColumnName=MASS",   "QuantityColumnName=QTY",    "Decimals=3",
          "SpaceBeforeMassUnit=1", "SuppressError=False"};
}

} // namespace vantelo::cli
