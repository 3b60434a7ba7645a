#include "sql_statements.h"

#include <stdexcept>

namespace app_test {

std::vector<std::string> splitStatements(std::string_view text) {
  std::vector<std::string> statements;
  std::string current;
  bool pendingBlank = false;
  auto flush = [&] {
    if (!current.empty()) statements.push_back(current);
    current.clear();
    pendingBlank = false;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\'' || c == '"') {
      if (pendingBlank && !current.empty()) current += ' ';
      pendingBlank = false;
      const size_t end = text.find(c, i + 1);
      if (end == std::string_view::npos) throw std::runtime_error("unterminated string");
      current.append(text.substr(i, end - i + 1));
      i = end;
    } else if (c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
      const size_t end = text.find('\n', i);
      i = end == std::string_view::npos ? text.size() : end;
      pendingBlank = true;
    } else if (c == ';') {
      flush();
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      pendingBlank = true;
    } else {
      if (pendingBlank && !current.empty()) current += ' ';
      pendingBlank = false;
      current += c;
    }
  }
  flush();
  return statements;
}

std::vector<std::string> commentLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.substr(0, 2) == "--") lines.emplace_back(line);
    start = end + 2;
  }
  return lines;
}

namespace {

// The comma-separated items between the first "(" after `from` and its
// matching ")", quotes and nested parentheses respected; each trimmed.
std::vector<std::string> parenthesisedItems(std::string_view s, size_t from, bool unquote) {
  size_t open = s.find('(', from);
  if (open == std::string_view::npos) throw std::runtime_error("no list");
  std::vector<std::string> items;
  std::string item;
  size_t keep = 0;  // characters of `item` that trimming must not touch
  int depth = 0;
  for (size_t i = open + 1; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\'' || c == '"') {
      const size_t end = s.find(c, i + 1);
      if (unquote && depth == 0) {
        item += '\'';
        item.append(s.substr(i + 1, end - i - 1));
      } else {
        item.append(s.substr(i, end - i + 1));
      }
      keep = item.size();
      i = end;
    } else if (c == '(') {
      ++depth;
      item += c;
    } else if (c == ')' && depth > 0) {
      --depth;
      item += c;
    } else if ((c == ',' || c == ')') && depth == 0) {
      while (item.size() > keep && item.back() == ' ') item.pop_back();
      const size_t first = item.find_first_not_of(' ');
      items.push_back(first == std::string::npos ? "" : item.substr(first));
      item.clear();
      keep = 0;
      if (c == ')') return items;
    } else {
      item += c;
    }
  }
  throw std::runtime_error("unclosed list");
}

}  // namespace

std::vector<std::string> insertValues(std::string_view statement) {
  const size_t values = statement.find(" values ");
  if (values == std::string_view::npos) throw std::runtime_error("not an INSERT ... values");
  return parenthesisedItems(statement, values, true);
}

std::vector<std::string> createElements(std::string_view statement) {
  return parenthesisedItems(statement, 0, false);
}

std::vector<uint8_t> mimeToBin(std::string_view input) {
  static constexpr std::string_view kTable = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
  std::string text(input);
  while (text.size() % 4) text += '=';
  long n = long(text.size() * 3 / 4);
  std::vector<uint8_t> out(size_t(n) + 3, 0);
  long position = 0;
  size_t i = 0;
  while (n > 0) {
    uint32_t accumulator = 0;
    int count = 0;
    while (count < 4 && i < text.size()) {
      const size_t k = kTable.find(text[i++]);
      if (k == std::string_view::npos) continue;
      accumulator <<= 6;
      if (k == 64)
        n -= 1;
      else
        accumulator += uint32_t(k);
      ++count;
    }
    if (position < 0 || size_t(position) + 3 > out.size()) throw std::runtime_error("decoder out of bounds");
    out[size_t(position)] = uint8_t(accumulator >> 16);
    out[size_t(position) + 1] = uint8_t(accumulator >> 8);
    out[size_t(position) + 2] = uint8_t(accumulator);
    position += n > 3 ? 3 : n;
    n -= 3;
  }
  out.resize(size_t(position < 0 ? 0 : position));
  return out;
}

}  // namespace app_test
