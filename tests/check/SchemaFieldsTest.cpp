// The JSON Schemas of docs/schema name the records' fields as rules/FieldNames.h, the units
// table and the reported metrics do: the same keys, in the outputs' order, numbers as numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "chart/Metrics.h"
#include "chart/UnitTable.h"
#include "rules/FieldNames.h"

namespace {

using Json = nlohmann::json;

Json Schema(const char* name) {
  std::ifstream in(std::string(CHECK_SCHEMA_DIR) + "/" + name + ".schema.json");
  std::stringstream text;
  text << in.rdbuf();
  return Json::parse(text.str());
}

std::vector<std::string> Keys(const FieldName* fields, int count, bool comparedOnly,
                              bool textsOnly = false) {
  std::vector<std::string> keys;
  for (int f = 0; f < count; ++f) {
    if (comparedOnly && !fields[f].compared) continue;
    if (textsOnly && fields[f].number) continue;
    keys.push_back(fields[f].key);
  }
  return keys;
}

// A number is an integer or a 32-bit one; a text a string (or null).
void ExpectKind(const Json& property, bool number, const std::string& where) {
  Json types = property.contains("type") ? property["type"] : Json::array();
  if (!types.is_array()) types = Json::array({types});
  auto has = [&](const char* type) {
    return std::find(types.begin(), types.end(), type) != types.end();
  };
  if (number) {
    EXPECT_TRUE(has("integer") || property.value("$ref", "") == "#/$defs/int32")
        << where << " should be a number: " << property;
  } else {
    EXPECT_TRUE(has("string")) << where << " should be a text: " << property;
  }
}

TEST(SchemaFields, ReportRecordsHoldEveryFieldInOrder) {
  const Json defs = Schema("report")["$defs"];
  struct Record {
    const char* def;
    const FieldName* fields;
    int count;
  };
  for (const Record& record : {Record{"advance", AdvanceFields, ADVANCE_FIELDS},
                               Record{"unit", UnitFields, UNIT_FIELDS}}) {
    const Json& schema = defs[record.def];
    std::vector<std::string> required = schema["required"];
    for (int f = 0; f < record.count; ++f) {
      const std::string key = record.fields[f].key;
      ASSERT_TRUE(schema["properties"].contains(key)) << record.def << " lacks " << key;
      ExpectKind(schema["properties"][key], record.fields[f].number,
                 std::string(record.def) + "." + key);
      EXPECT_NE(std::find(required.begin(), required.end(), key), required.end())
          << record.def << "." << key << " should be required";
    }
  }
  // A unit's record lists the unit line's fields first, in the line's order.
  std::vector<std::string> unitRequired = defs["unit"]["required"];
  unitRequired.resize(UNIT_FIELDS);
  EXPECT_EQ(unitRequired, Keys(UnitFields, UNIT_FIELDS, false));
}

TEST(SchemaFields, ReportMetricsAreTheReportedMetrics) {
  const Json metrics = Schema("report")["$defs"]["metrics"];
  std::vector<std::string> names;
  for (int m = 0; m < ReportedMetricCount; ++m) names.push_back(ReportedMetrics[m].name);
  EXPECT_EQ(metrics["required"].get<std::vector<std::string>>(), names);
}

TEST(SchemaFields, UnitsTableHoldsItsColumnsInOrder) {
  const Json unit = Schema("units")["$defs"]["unit"];
  std::vector<std::string> columns;
  for (const UnitColumn& column : UnitColumns) {
    columns.push_back(column.key);
    ExpectKind(unit["properties"][column.key], column.number, std::string("units.") + column.key);
  }
  columns.push_back("prereq");
  EXPECT_EQ(unit["required"].get<std::vector<std::string>>(), columns);
}

TEST(SchemaFields, DiffNamesTheComparedFields) {
  const Json defs = Schema("diff")["$defs"];
  EXPECT_EQ(defs["advanceField"]["properties"]["field"]["enum"].get<std::vector<std::string>>(),
            Keys(AdvanceFields, ADVANCE_FIELDS, true));
  const Json& unitField = defs["unitField"];
  EXPECT_EQ(unitField["properties"]["field"]["enum"].get<std::vector<std::string>>(),
            Keys(UnitFields, UNIT_FIELDS, true));
  // The texts' changes carry texts, the others numbers.
  EXPECT_EQ(unitField["if"]["properties"]["field"]["enum"].get<std::vector<std::string>>(),
            Keys(UnitFields, UNIT_FIELDS, true, true));
}

}  // namespace
