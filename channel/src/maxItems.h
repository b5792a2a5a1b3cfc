#pragma once
// The Max items rule: how a channel's MaxItems text is read, alike by the dialog before it
// saves and by the plug-in for files written by hand.
//
//     ""  "  "         -> 15
//     " 7 "  " 7x"     -> 7          (read as atol reads it)
//     "+42"            -> 42
//     "0"  "-1"  "abc" -> refused    (below 1)
//     "2147483648"     -> refused    (a saved file holds an int)
//
// A plain value; any thread.

#include <optional>
#include <string_view>

namespace channel {

class MaxItems {
 public:
  // What an empty text stands for, and the dialog's first value.
  static constexpr int kDefault = 15;

  // kDefault when `text` is empty or blank; else the number it starts with, read as atol
  // reads it: leading blanks, an optional sign, then ASCII digits up to the first other
  // character, no digits giving 0. None when that number is below 1 or above INT_MAX.
  // Never overflows, however many digits there are.
  static std::optional<MaxItems> parse(std::wstring_view text);

  int value() const { return value_; }

 private:
  explicit MaxItems(int value) : value_(value) {}

  int value_;
};

}  // namespace channel
