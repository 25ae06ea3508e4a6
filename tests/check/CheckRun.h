// Runs lorvane-check as a separate process and reads its JSON report, for
// the end-to-end tests of the checker.
#pragma once
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

struct CheckResult {
  int exitCode;  // -1 when the process did not end normally
  std::string out;
  std::string err;
};

// Runs the checker with the arguments; captures both streams. With outPath,
// standard output goes to that file instead and out stays empty.
CheckResult RunCheck(const std::vector<std::string>& args, const char* outPath = nullptr);

// A fixture file under tests/check/fixtures.
std::string FixturePath(const std::string& name);

// A scratch file in the build tree, unique to the running test; written
// byte for byte with the given content.
std::string WriteScratchFile(const std::string& name, const std::string& content);

std::string ReadWholeFile(const std::string& path);

// A JSON document; object members keep the order they were written in.
typedef nlohmann::ordered_json Json;

// The checker's JSON report, parsed strictly (RFC 8259, one document). The
// checker writes ASCII only, so a byte of 128 or more is a fault as well.
// A fault adds a test failure and gives null.
Json ParseReport(const std::string& text);

// The member names of an object, in order; empty for anything else.
std::vector<std::string> Keys(const Json& object);
