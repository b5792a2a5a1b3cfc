#include "config/src/sectionPath.h"

#include "config/src/exception.h"
#include "config/src/istring.h"
#include "platform/src/cLocale.h"

namespace config::internal {

std::optional<PathPiece> firstPathPiece(std::wstring_view path) {
  while (true) {
    const auto slash = path.find(L'/');
    const auto piece = platform::trimSpaceC(path.substr(0, slash));
    if (slash == std::wstring_view::npos) {
      if (piece.empty()) return std::nullopt;
      return PathPiece{piece, std::nullopt};
    }
    if (!piece.empty()) return PathPiece{piece, path.substr(slash + 1)};
    path.remove_prefix(slash + 1);
  }
}

}  // namespace config::internal

namespace config::internal {

namespace {

struct Pieces {
  std::size_t count = 0;
  bool lastEndsThePath = false;  // no '/' follows the last piece
};

Pieces piecesOf(std::wstring_view path) {
  Pieces pieces;
  for (auto piece = firstPathPiece(path); piece; piece = firstPathPiece(*piece->rest)) {
    ++pieces.count;
    if (!piece->rest) {
      pieces.lastEndsThePath = true;
      break;
    }
  }
  return pieces;
}

}  // namespace

std::size_t pathDepth(std::wstring_view path) {
  const Pieces pieces = piecesOf(path);
  return pieces.lastEndsThePath ? pieces.count : 0;
}

std::size_t pieceCount(std::wstring_view path) {
  return piecesOf(path).count;
}

bool namesSection(std::wstring_view path) {
  return pathDepth(path) != 0;
}

void requireSectionPath(const std::wstring& path) {
  if (!namesSection(path)) throw Exception(istring(13414).format(path));
}

}  // namespace config::internal
