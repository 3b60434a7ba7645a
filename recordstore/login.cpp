#include "recordstore/login.h"

namespace rec {

namespace {
TRecLoginHandler* gHandler = nullptr;
}

void setLoginHandler(TRecLoginHandler* handler) { gHandler = handler; }
TRecLoginHandler* loginHandler() { return gHandler; }

}  // namespace rec
