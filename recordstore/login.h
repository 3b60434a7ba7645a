// The login question of a store database: asked when a table is opened on
// an encrypted file to which no password was given. The application
// registers a handler at start-up (its "Database Login" dialog: the database
// name, a password box, OK and Cancel). Without one, nothing is asked and
// the open fails with "Access denied".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/errors.h"

namespace rec {

class TRecLoginHandler {
 public:
  virtual ~TRecLoginHandler() = default;
  // The password entered for `databaseName`, or nullopt when the user
  // cancelled.
  virtual std::optional<std::string> askPassword(std::string_view databaseName) = 0;
};

// The handler in use (nullptr: none). The caller keeps it alive.
void setLoginHandler(TRecLoginHandler* handler);
TRecLoginHandler* loginHandler();

// Raised when the user cancels the login: the open is abandoned, and the
// application shows no message for it.
class ELoginCancelled : public platform::Exception {
 public:
  ELoginCancelled() : platform::Exception("Operation aborted") {}
};

}  // namespace rec
