#include "app/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace wavorin {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::optional<std::int32_t> text_to_int32(std::string_view text) {
  std::string_view s = trim(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  const std::size_t point = s.find('.');
  const std::string_view whole = s.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view{} : s.substr(point + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  for (const char c : whole)
    if (!is_digit(c)) return std::nullopt;
  for (const char c : fraction)
    if (!is_digit(c)) return std::nullopt;

  // Accumulate in 64 bits and stop as soon as the value cannot fit any more,
  // so a long run of digits cannot overflow the accumulator.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
  std::int64_t value = 0;
  for (const char c : whole) {
    value = value * 10 + (c - '0');
    if (value > kLimit) return std::nullopt;
  }

  // Round half to even on the fraction's first digit and whatever follows it.
  if (!fraction.empty()) {
    const int first = fraction.front() - '0';
    const bool rest_nonzero = fraction.substr(1).find_first_not_of('0') != std::string_view::npos;
    const bool round_up = first > 5 || (first == 5 && (rest_nonzero || value % 2 == 1));
    if (round_up) ++value;
  }

  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::string single_to_text(float value) {
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15F) {
    return std::to_string(static_cast<long long>(value));
  }
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return {buffer, result.ptr};
}

}  // namespace wavorin
