// A JSON document written as it is made: the library's own pretty form,
// reproduced around each value it dumps.
#include "json/JsonOut.h"

namespace {

const nlohmann::ordered_json::error_handler_t kReplace =
    nlohmann::ordered_json::error_handler_t::replace;

}  // namespace

void JsonOut::NextItem() {
  if (named_) {
    named_ = false;
    return;
  }
  if (open_.empty()) return;
  *out_ += open_.back().items++ == 0 ? "\n" : ",\n";
  out_->append(2 * open_.size(), ' ');
}

void JsonOut::Begin(char close) {
  NextItem();
  *out_ += close == '}' ? '{' : '[';
  open_.push_back(Open{close, 0});
}

void JsonOut::End() {
  Open done = open_.back();
  open_.pop_back();
  if (done.items > 0) {
    *out_ += '\n';
    out_->append(2 * open_.size(), ' ');
  }
  *out_ += done.close;
}

void JsonOut::Key(const char* name) {
  NextItem();
  *out_ += nlohmann::ordered_json(name).dump(-1, ' ', true, kReplace);
  *out_ += ": ";
  named_ = true;
}

void JsonOut::Value(const nlohmann::ordered_json& value) {
  NextItem();
  // The value's own lines after the first, indented to its depth.
  std::string text = value.dump(2, ' ', true, kReplace);
  size_t start = 0;
  for (size_t feed; (feed = text.find('\n', start)) != std::string::npos; start = feed + 1) {
    out_->append(text, start, feed + 1 - start);
    out_->append(2 * open_.size(), ' ');
  }
  out_->append(text, start, std::string::npos);
}
