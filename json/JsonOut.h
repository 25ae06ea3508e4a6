// A JSON document written as it is made, value by value, so that a large
// one is never held whole.
#pragma once
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// Appends to out the text that nlohmann-json's dump(2, ' ', true, replace)
// gives for the whole document (ASCII, two blanks an indent, invalid UTF-8
// replaced): the objects and arrays opened and closed here, the values in
// them dumped by the library one at a time at their depth. The caller may
// take the text away between values.
class JsonOut {
 public:
  explicit JsonOut(std::string* out) : out_(out) {}

  // An object or an array as the next value; End closes the innermost.
  void BeginObject() { Begin('}'); }
  void BeginArray() { Begin(']'); }
  void End();
  // The name of the next value, in an object.
  void Key(const char* name);
  void Value(const nlohmann::ordered_json& value);

 private:
  struct Open {
    char close;
    size_t items;
  };
  std::string* out_;
  std::vector<Open> open_;
  bool named_ = false;  // Key has placed the next value

  void Begin(char close);
  // The line break and indent before the next item of the innermost.
  void NextItem();
};
