#include "CheckRun.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

namespace {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Scratch names carry the test's name and a running number, so tests that
// CTest runs in parallel never share a file.
std::string ScratchPath(const std::string& name) {
  static int counter = 0;
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string test = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name()
                                     : std::string("none");
  for (char& c : test) {
    if (c == '/') c = '_';
  }
  return std::string(CHECK_SCRATCH_DIR) + "/" + test + "." + std::to_string(++counter) + "." + name;
}

}  // namespace

std::string FixturePath(const std::string& name) {
  return std::string(CHECK_FIXTURE_DIR) + "/" + name;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string WriteScratchFile(const std::string& name, const std::string& content) {
  std::string path = ScratchPath(name);
  std::ofstream file(path, std::ios::binary);
  file << content;
  file.close();
  EXPECT_TRUE(file.good()) << "cannot write " << path;
  return path;
}

CheckResult RunCheck(const std::vector<std::string>& args) {
  std::string outPath = ScratchPath("stdout");
  std::string errPath = ScratchPath("stderr");
  std::string command = ShellQuote(CHECK_PROGRAM);
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  command += " </dev/null >" + ShellQuote(outPath) + " 2>" + ShellQuote(errPath);
  int status = system(command.c_str());
  CheckResult result;
  result.exitCode = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadWholeFile(outPath);
  result.err = ReadWholeFile(errPath);
  remove(outPath.c_str());
  remove(errPath.c_str());
  return result;
}

const Json& Json::operator[](const std::string& key) const {
  static const Json missing;
  for (const auto& member : members) {
    if (member.first == key) return member.second;
  }
  ADD_FAILURE() << "JSON object has no member \"" << key << "\"";
  return missing;
}

const Json& Json::operator[](size_t index) const {
  static const Json missing;
  if (index < items.size()) return items[index];
  ADD_FAILURE() << "JSON array has no item " << index << " (size " << items.size() << ")";
  return missing;
}

bool Json::Has(const std::string& key) const {
  for (const auto& member : members) {
    if (member.first == key) return true;
  }
  return false;
}

std::vector<std::string> Json::Keys() const {
  std::vector<std::string> keys;
  for (const auto& member : members) keys.push_back(member.first);
  return keys;
}

long Json::Int() const {
  if (kind != NUMBER || number != (double)(long)number) {
    ADD_FAILURE() << "JSON value is not an integral number";
    return -999999;
  }
  return (long)number;
}

std::vector<long> Json::Ints() const {
  std::vector<long> values;
  if (kind != ARRAY) ADD_FAILURE() << "JSON value is not an array";
  for (const Json& item : items) values.push_back(item.Int());
  return values;
}

namespace {

struct Parser {
  const std::string& text;
  size_t pos;
  std::string error;

  bool Fail(const std::string& what) {
    if (error.empty()) error = what + " at byte " + std::to_string(pos);
    return false;
  }

  void SkipSpace() {
    while (pos < text.size() &&
           (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r')) {
      ++pos;
    }
  }

  bool Literal(const char* word) {
    size_t length = strlen(word);
    if (text.compare(pos, length, word) != 0) return Fail("bad literal");
    pos += length;
    return true;
  }

  static void AppendUtf8(std::string* out, unsigned code) {
    if (code < 0x80) {
      *out += (char)code;
    } else if (code < 0x800) {
      *out += (char)(0xC0 | (code >> 6));
      *out += (char)(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      *out += (char)(0xE0 | (code >> 12));
      *out += (char)(0x80 | ((code >> 6) & 0x3F));
      *out += (char)(0x80 | (code & 0x3F));
    } else {
      *out += (char)(0xF0 | (code >> 18));
      *out += (char)(0x80 | ((code >> 12) & 0x3F));
      *out += (char)(0x80 | ((code >> 6) & 0x3F));
      *out += (char)(0x80 | (code & 0x3F));
    }
  }

  bool Hex4(unsigned* code) {
    if (pos + 4 > text.size()) return Fail("short \\u escape");
    *code = 0;
    for (int i = 0; i < 4; ++i) {
      char c = text[pos++];
      unsigned digit;
      if (c >= '0' && c <= '9') {
        digit = (unsigned)(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        digit = (unsigned)(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        digit = (unsigned)(c - 'A' + 10);
      } else {
        return Fail("bad hex digit");
      }
      *code = *code * 16 + digit;
    }
    return true;
  }

  bool String(std::string* out) {
    if (pos >= text.size() || text[pos] != '"') return Fail("expected a string");
    ++pos;
    for (;;) {
      if (pos >= text.size()) return Fail("unterminated string");
      unsigned char c = (unsigned char)text[pos++];
      if (c == '"') return true;
      if (c < 0x20) return Fail("raw control byte in string");
      if (c != '\\') {
        *out += (char)c;
        continue;
      }
      if (pos >= text.size()) return Fail("unterminated escape");
      char e = text[pos++];
      switch (e) {
        case '"':
          *out += '"';
          break;
        case '\\':
          *out += '\\';
          break;
        case '/':
          *out += '/';
          break;
        case 'b':
          *out += '\b';
          break;
        case 'f':
          *out += '\f';
          break;
        case 'n':
          *out += '\n';
          break;
        case 'r':
          *out += '\r';
          break;
        case 't':
          *out += '\t';
          break;
        case 'u': {
          unsigned code;
          if (!Hex4(&code)) return false;
          if (code >= 0xD800 && code < 0xDC00) {
            unsigned low;
            if (text.compare(pos, 2, "\\u") != 0) return Fail("lone high surrogate");
            pos += 2;
            if (!Hex4(&low)) return false;
            if (low < 0xDC00 || low >= 0xE000) return Fail("bad low surrogate");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code < 0xE000) {
            return Fail("lone low surrogate");
          }
          AppendUtf8(out, code);
          break;
        }
        default:
          return Fail("bad escape");
      }
    }
  }

  bool Digits() {
    size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
    return pos > start || Fail("expected a digit");
  }

  bool Number(double* out) {
    size_t start = pos;
    if (text[pos] == '-') ++pos;
    if (pos < text.size() && text[pos] == '0') {
      ++pos;
    } else if (!Digits()) {
      return false;
    }
    if (pos < text.size() && text[pos] == '.') {
      ++pos;
      if (!Digits()) return false;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
      ++pos;
      if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
      if (!Digits()) return false;
    }
    *out = strtod(text.substr(start, pos - start).c_str(), nullptr);
    return true;
  }

  bool Value(Json* value, int depth) {
    if (depth > 64) return Fail("nested too deep");
    SkipSpace();
    if (pos >= text.size()) return Fail("expected a value");
    char c = text[pos];
    if (c == '{') {
      value->kind = Json::OBJECT;
      ++pos;
      SkipSpace();
      if (pos < text.size() && text[pos] == '}') {
        ++pos;
        return true;
      }
      for (;;) {
        SkipSpace();
        std::string key;
        if (!String(&key)) return false;
        if (value->Has(key)) return Fail("duplicate key \"" + key + "\"");
        SkipSpace();
        if (pos >= text.size() || text[pos] != ':') return Fail("expected ':'");
        ++pos;
        value->members.emplace_back(key, Json());
        if (!Value(&value->members.back().second, depth + 1)) return false;
        SkipSpace();
        if (pos < text.size() && text[pos] == ',') {
          ++pos;
        } else if (pos < text.size() && text[pos] == '}') {
          ++pos;
          return true;
        } else {
          return Fail("expected ',' or '}'");
        }
      }
    }
    if (c == '[') {
      value->kind = Json::ARRAY;
      ++pos;
      SkipSpace();
      if (pos < text.size() && text[pos] == ']') {
        ++pos;
        return true;
      }
      for (;;) {
        value->items.emplace_back();
        if (!Value(&value->items.back(), depth + 1)) return false;
        SkipSpace();
        if (pos < text.size() && text[pos] == ',') {
          ++pos;
        } else if (pos < text.size() && text[pos] == ']') {
          ++pos;
          return true;
        } else {
          return Fail("expected ',' or ']'");
        }
      }
    }
    if (c == '"') {
      value->kind = Json::STRING;
      return String(&value->text);
    }
    if (c == 't' || c == 'f') {
      value->kind = Json::BOOLEAN;
      value->boolean = c == 't';
      return Literal(c == 't' ? "true" : "false");
    }
    if (c == 'n') {
      value->kind = Json::NUL;
      return Literal("null");
    }
    if (c == '-' || (c >= '0' && c <= '9')) {
      value->kind = Json::NUMBER;
      return Number(&value->number);
    }
    return Fail("unexpected character");
  }
};

}  // namespace

bool ParseJson(const std::string& text, Json* value, std::string* error) {
  for (size_t i = 0; i < text.size(); ++i) {
    if ((unsigned char)text[i] >= 0x80) {
      *error = "byte of 128 or more at " + std::to_string(i);
      return false;
    }
  }
  Parser parser{text, 0, ""};
  *value = Json();
  bool ok = parser.Value(value, 0);
  if (ok) {
    parser.SkipSpace();
    if (parser.pos != text.size()) ok = parser.Fail("text after the document");
  }
  *error = parser.error;
  return ok;
}
