#include "engine/replace_all.h"

namespace linoveta {

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t pos = 0;
  bool changed = false;
  while (true) {
    const std::size_t hit = s.find(from, pos);
    if (hit == std::string::npos) break;
    if (!changed) {
      out.reserve(s.size() + s.size() / 4);
      changed = true;
    }
    out.append(s, pos, hit - pos);
    out.append(to);
    pos = hit + from.size();
  }
  if (!changed) return;
  out.append(s, pos, std::string::npos);
  s.swap(out);
}

}  // namespace linoveta
