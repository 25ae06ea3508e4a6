// Runs lorvane-check as a separate process and reads its JSON output, for
// the end-to-end tests of the checker.
#pragma once
#include <string>
#include <utility>
#include <vector>

struct CheckResult {
  int exitCode;  // -1 when the process did not end normally
  std::string out;
  std::string err;
};

// Runs the checker with the arguments; captures both streams.
CheckResult RunCheck(const std::vector<std::string>& args);

// A fixture file under tests/check/fixtures.
std::string FixturePath(const std::string& name);

// A scratch file in the build tree, unique to the running test; written
// byte for byte with the given content.
std::string WriteScratchFile(const std::string& name, const std::string& content);

std::string ReadWholeFile(const std::string& path);

// A parsed JSON value. Object members keep their order.
struct Json {
  enum Kind { NUL, BOOLEAN, NUMBER, STRING, ARRAY, OBJECT };
  Kind kind = NUL;
  bool boolean = false;
  double number = 0;
  std::string text;  // strings, decoded to UTF-8
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  // Member or item access; a missing one adds a test failure and gives a
  // null value.
  const Json& operator[](const std::string& key) const;
  const Json& operator[](size_t index) const;
  bool Has(const std::string& key) const;
  std::vector<std::string> Keys() const;
  long Int() const;  // adds a failure unless an integral number
  bool IsNull() const { return kind == NUL; }
  std::vector<long> Ints() const;  // an array of integral numbers
};

// Strict RFC 8259 parse of a whole document. The checker writes pure ASCII,
// so any byte of 128 or more is refused as well. Returns false with a
// description of the first fault.
bool ParseJson(const std::string& text, Json* value, std::string* error);
