#include "dataset/sql_param_scanner.h"

namespace dataset {
namespace {

constexpr std::string_view kLoneColon = "\":\"";
constexpr std::string_view kCutColon = "\"<cut colon>\"";

bool isQuote(char c) { return c == '\'' || c == '"' || c == '`'; }

bool endsName(char c) {
  switch (c) {
    case ' ': case '\t': case '\r': case '\n':
    case ';': case ',': case '(': case ')': case '=': case '<': case '>':
    case '+': case '-': case '*': case '/': case '|': case ':': case '?': case '.':
    case '\'': case '"': case '`':
      return true;
    default:
      return false;
  }
}

std::string protectLoneColons(std::string_view sql) {
  std::string out;
  out.reserve(sql.size());
  size_t pos = 0;
  for (size_t hit; (hit = sql.find(kLoneColon, pos)) != std::string_view::npos; pos = hit + kLoneColon.size()) {
    out.append(sql.substr(pos, hit - pos));
    out.append(kCutColon);
  }
  out.append(sql.substr(pos));
  return out;
}

}  // namespace

std::vector<std::string> scanSqlParameterNames(std::string_view sql) {
  const std::string text = protectLoneColons(sql);
  const size_t n = text.size();
  std::vector<std::string> names;
  size_t i = 0;
  while (i < n) {
    char c = text[i];
    if (isQuote(c)) {
      size_t close = text.find(c, i + 1);
      i = close == std::string::npos ? n : close + 1;
      continue;
    }
    if (c != ':') {
      ++i;
      continue;
    }
    if (i + 1 < n && text[i + 1] == ':') {
      i += 2;
      continue;
    }
    ++i;  // past the colon
    std::string name;
    if (i < n && (isQuote(text[i]) || text[i] == '[')) {
      char closing = text[i] == '[' ? ']' : text[i];
      ++i;
      while (i < n) {
        if (text[i] == closing) {
          if (i + 1 < n && text[i + 1] == closing) {
            name += closing;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        name += text[i++];
      }
    } else {
      size_t start = i;
      while (i < n && !endsName(text[i])) ++i;
      name.assign(text, start, i - start);
    }
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace dataset
