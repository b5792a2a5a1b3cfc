#pragma once
// Progress reports: what a long operation hands to its progress callback with a status
// message, either a free text or a count "position/total".

#include <string>

namespace misc {

class CProgress {
 public:
  CProgress() = default;
  explicit CProgress(std::wstring text) : text_(std::move(text)) {}
  virtual ~CProgress() = default;
  virtual std::wstring getText() const = 0;

 protected:
  std::wstring text_;
};

class CSimpleProgress : public CProgress {
 public:
  explicit CSimpleProgress(std::wstring text) : CProgress(std::move(text)) {}
  std::wstring getText() const override { return text_; }
};

class CRangeProgress : public CProgress {
 public:
  void setRange(int positionOnly, int total) {
    positionOnly_ = positionOnly;
    total_ = total;
  }
  void setPosition(int position) { position_ = position; }
  // "2048/10000", or only "2048" with the position-only flag.
  std::wstring getText() const override;

 private:
  int positionOnly_ = 0;
  int total_ = 0;
  int position_ = 0;
};

}  // namespace misc
