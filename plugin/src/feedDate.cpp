#include "plugin/src/feedDate.h"

#include <array>
#include <cstdint>

#include "plugin/src/literalPiece.h"

namespace plugin {
namespace {

struct DateTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0;
  int zoneMinutes = 0;
};

constexpr std::array<const wchar_t*, 12> kMonths = {
    L"january", L"february", L"march",     L"april",   L"may",      L"june",
    L"july",    L"august",   L"september", L"october", L"november", L"december"};
constexpr std::array<const wchar_t*, 7> kWeekdays = {L"Thu", L"Fri", L"Sat", L"Sun",
                                                     L"Mon", L"Tue", L"Wed"};
constexpr std::array<const wchar_t*, 12> kShortMonths = {
    L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun", L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};

// Days since 1970-01-01 of a day of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// `value` in decimal, zero-padded to `width` characters counting a minus sign, as %0*d
// writes it.
void appendPadded(std::wstring& out, std::int64_t value, int width) {
  wchar_t digits[20];
  int count = 0;
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) {
    out += L'-';
    --width;
  }
  for (int i = count; i < width; ++i) out += L'0';
  while (count > 0) out += digits[--count];
}

std::wstring format(const DateTime& t) {
  const std::int64_t days = daysFromCivil(t.year, t.month, t.day);
  const int zone = t.zoneMinutes < 0 ? -t.zoneMinutes : t.zoneMinutes;
  std::wstring text = kWeekdays[static_cast<std::size_t>(((days % 7) + 7) % 7)];
  text += L", ";
  appendPadded(text, t.day, 2);
  text += L' ';
  text += kShortMonths[static_cast<std::size_t>(t.month - 1)];
  text += L' ';
  appendPadded(text, t.year, 4);
  text += L' ';
  appendPadded(text, t.hour, 2);
  text += L':';
  appendPadded(text, t.minute, 2);
  text += L':';
  appendPadded(text, t.second, 2);
  text += t.zoneMinutes < 0 ? L" -" : L" +";
  appendPadded(text, zone / 60, 2);
  appendPadded(text, zone % 60, 2);
  return text;
}

// A reader over the date's text; every read either moves on or leaves the cursor alone.
class Cursor {
 public:
  explicit Cursor(std::wstring_view text) : text_(text) {}

  bool atEnd() {
    blanks();
    return i_ == text_.size();
  }
  void blanks() {
    while (i_ < text_.size() && LiteralPiece::isSpace(text_[i_])) ++i_;
  }
  bool character(wchar_t c) {
    if (i_ < text_.size() && LiteralPiece::fold(text_[i_]) == LiteralPiece::fold(c)) {
      ++i_;
      return true;
    }
    return false;
  }
  // A number of `least` to `most` digits.
  bool number(int least, int most, int& value) {
    std::size_t n = 0;
    int v = 0;
    while (i_ + n < text_.size() && n < static_cast<std::size_t>(most) && text_[i_ + n] >= L'0' &&
           text_[i_ + n] <= L'9') {
      v = v * 10 + (text_[i_ + n] - L'0');
      ++n;
    }
    if (n < static_cast<std::size_t>(least)) return false;
    if (i_ + n < text_.size() && text_[i_ + n] >= L'0' && text_[i_ + n] <= L'9') return false;
    i_ += n;
    value = v;
    return true;
  }
  // A word of ASCII letters, folded to lower case.
  std::wstring word() {
    std::wstring w;
    while (i_ < text_.size() &&
           ((text_[i_] >= L'a' && text_[i_] <= L'z') || (text_[i_] >= L'A' && text_[i_] <= L'Z'))) {
      w += LiteralPiece::fold(text_[i_++]);
    }
    return w;
  }
  std::size_t position() const { return i_; }
  void reset(std::size_t i) { i_ = i; }

 private:
  std::wstring_view text_;
  std::size_t i_ = 0;
};

// A month's name, whole or cut to at least three letters ("Dec", "Sept").
bool monthNamed(const std::wstring& word, int& month) {
  if (word.size() < 3) return false;
  for (std::size_t m = 0; m < kMonths.size(); ++m) {
    if (std::wstring_view(kMonths[m]).starts_with(word)) {
      month = static_cast<int>(m) + 1;
      return true;
    }
  }
  return false;
}

bool weekdayNamed(const std::wstring& word) {
  static constexpr const wchar_t* kNames[] = {L"monday", L"tuesday",  L"wednesday", L"thursday",
                                              L"friday", L"saturday", L"sunday"};
  if (word.size() < 3) return false;
  for (const wchar_t* name : kNames) {
    if (std::wstring_view(name).starts_with(word)) return true;
  }
  return false;
}

// "14:30", "14:30:05", "2:30 PM"; ISO fractions of a second are skipped.
bool time(Cursor& in, DateTime& t) {
  in.blanks();
  if (!in.number(1, 2, t.hour) || !in.character(L':') || !in.number(2, 2, t.minute)) return false;
  if (in.character(L':')) {
    if (!in.number(2, 2, t.second)) return false;
    if (in.character(L'.') || in.character(L',')) {
      int fraction;
      if (!in.number(1, 9, fraction)) return false;
    }
  }
  const std::size_t before = in.position();
  in.blanks();
  const std::wstring half = in.word();
  if (half == L"am" || half == L"pm") {
    if (t.hour < 1 || t.hour > 12) return false;
    t.hour = t.hour % 12 + (half == L"pm" ? 12 : 0);
  } else {
    in.reset(before);
  }
  return true;
}

// "Z", "GMT", "UT", "UTC", the North American zones, "+0100", "+01:00", "-05".
bool zone(Cursor& in, DateTime& t) {
  in.blanks();
  const std::size_t before = in.position();
  const bool minus = in.character(L'-');
  if (minus || in.character(L'+')) {
    int hours = 0, minutes = 0;
    if (in.number(4, 4, hours)) {
      minutes = hours % 100;
      hours /= 100;
    } else if (!in.number(2, 2, hours)) {
      return false;
    } else if (in.character(L':') && !in.number(2, 2, minutes)) {
      return false;
    }
    if (hours > 23 || minutes > 59) return false;
    t.zoneMinutes = (minus ? -1 : 1) * (hours * 60 + minutes);
    return true;
  }
  static constexpr std::pair<const wchar_t*, int> kZones[] = {
      {L"z", 0},         {L"gmt", 0},       {L"ut", 0},        {L"utc", 0},
      {L"est", -5 * 60}, {L"edt", -4 * 60}, {L"cst", -6 * 60}, {L"cdt", -5 * 60},
      {L"mst", -7 * 60}, {L"mdt", -6 * 60}, {L"pst", -8 * 60}, {L"pdt", -7 * 60}};
  const std::wstring name = in.word();
  for (const auto& [known, minutes] : kZones) {
    if (name == known) {
      t.zoneMinutes = minutes;
      return true;
    }
  }
  in.reset(before);
  return name.empty();
}

bool valid(const DateTime& t) {
  return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= daysInMonth(t.year, t.month) && t.hour <= 23 && t.minute <= 59 && t.second <= 60;
}

// The time and zone that may follow a date, then the end.
bool timeAndZone(Cursor& in, DateTime& t) {
  const std::size_t before = in.position();
  if (!time(in, t)) {
    in.reset(before);
    t.hour = t.minute = t.second = 0;
  }
  return zone(in, t) && in.atEnd();
}

// 2026-12-08, 2026-12-08T14:30:00Z, 2026-12-08 14:30
bool iso(Cursor& in, DateTime& t) {
  if (!in.number(4, 4, t.year) || !in.character(L'-') || !in.number(2, 2, t.month) ||
      !in.character(L'-') || !in.number(2, 2, t.day)) {
    return false;
  }
  in.character(L'T');
  return timeAndZone(in, t);
}

// A leading weekday name and its comma, which say nothing the date does not.
void skipWeekday(Cursor& in) {
  const std::size_t before = in.position();
  if (weekdayNamed(in.word())) {
    in.character(L',');
    in.blanks();
  } else {
    in.reset(before);
  }
}

// [Tue,] 8 Dec 2026 [14:30[:00]] [zone]
bool dayMonthYear(Cursor& in, DateTime& t) {
  skipWeekday(in);
  if (!in.number(1, 2, t.day)) return false;
  in.blanks();
  in.character(L'-');
  if (!monthNamed(in.word(), t.month)) return false;
  in.character(L'.');
  in.blanks();
  in.character(L'-');
  if (!in.number(2, 4, t.year)) return false;
  if (t.year < 100) t.year += t.year < 50 ? 2000 : 1900;
  return timeAndZone(in, t);
}

// [Tuesday,] December 8, 2026 [2:30 PM] [zone]
bool monthDayYear(Cursor& in, DateTime& t) {
  skipWeekday(in);
  if (!monthNamed(in.word(), t.month)) return false;
  in.character(L'.');
  in.blanks();
  if (!in.number(1, 2, t.day)) return false;
  in.character(L',');
  in.blanks();
  if (!in.number(4, 4, t.year)) return false;
  in.character(L',');
  in.blanks();
  const std::size_t at = in.position();
  if (in.word() != L"at") in.reset(at);
  return timeAndZone(in, t);
}

}  // namespace

std::optional<std::wstring> rfc822FromText(std::wstring_view text) {
  for (const auto form : {iso, dayMonthYear, monthDayYear}) {
    Cursor in(text);
    in.blanks();
    DateTime t;
    if (form(in, t) && valid(t)) return format(t);
  }
  return std::nullopt;
}

std::wstring rfc822FromUnixTime(std::int64_t seconds) {
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // The inverse of daysFromCivil.
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  DateTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return format(t);
}

}  // namespace plugin
