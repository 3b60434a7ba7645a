// The questions the archive asks a person by default: whether to overwrite
// a file, which password to use, what to do after a failed entry. The
// application registers an implementation at start-up (its dialogs); with
// none registered the archive takes the non-interactive answers:
//   - the password is not given: the entry is skipped;
//   - the overwrite question is declined (No);
//   - the failure question aborts the run.
// Texts are Windows-1252.
#pragma once

#include <optional>
#include <string>

namespace archive {

enum class OverwriteAnswer { Yes, No, NoToAll, YesToAll };
enum class FailureAnswer { Abort, Retry, Ignore };

class TZAInteraction {
 public:
  virtual ~TZAInteraction() = default;

  // Confirmation with the buttons Yes, No, No to All, Yes to All.
  virtual OverwriteAnswer confirmOverwrite(const std::string& text) = 0;
  // Input box pre-filled with `initial`; nullopt when cancelled.
  virtual std::optional<std::string> inputPassword(const std::string& caption, const std::string& prompt,
                                                   const std::string& initial) = 0;
  // Confirmation with the buttons Abort, Retry, Ignore; closing it is Abort.
  virtual FailureAnswer processFileFailure(const std::string& text) = 0;
};

// Registers the application's implementation (nullptr removes it). The
// archive does not own it.
void registerInteraction(TZAInteraction* interaction);
TZAInteraction* registeredInteraction();

}  // namespace archive
