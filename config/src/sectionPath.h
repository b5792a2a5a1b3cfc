#pragma once
// Section paths: pieces separated by '/', each trimmed of white space, empty pieces skipped,
// so "a/b", " a / b " and "/a//b" all name child b of section a.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace config::internal {

struct PathPiece {
  std::wstring_view piece;
  // What follows the '/' that ended the piece; none when the piece was the last one.
  std::optional<std::wstring_view> rest;
};

// The first non-empty piece of `path`; none when the path has no piece at all.
std::optional<PathPiece> firstPathPiece(std::wstring_view path);

}  // namespace config::internal

namespace config::internal {

// The number of pieces of `path`, 0 when it names no section: a path names one when it has
// a piece and every '/' after a piece is followed by another piece ("a/" names none).
std::size_t pathDepth(std::wstring_view path);

bool namesSection(std::wstring_view path);

// The number of pieces of `path`, also when it names no section: as many sections as a
// lookup that creates them makes ("a/b/" makes two).
std::size_t pieceCount(std::wstring_view path);

// Writes need a section to write into, and a path without one is the caller's mistake:
// throws config::Exception (13414) unless `path` names a section. Checked before anything
// is created, so a refused write leaves the tree as it was.
void requireSectionPath(const std::wstring& path);

}  // namespace config::internal
