#pragma once
#include <string>

namespace kestro {

enum class MessageIcon { None, Information, Warning, Error, Question };

// Message boxes the core shows. Text may hold line breaks ("\r\n").
class IMessageBoxes {
 public:
  virtual ~IMessageBoxes() = default;
  virtual void Show(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool Ask(const std::string& text, const std::string& caption) = 0;
};

}  // namespace kestro
