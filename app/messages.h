// The installer's message boxes: texts and captions (Windows-1252) and the
// system's message-box styles.
#pragma once

#include <string>

namespace app {

enum MessageStyle : int {
  kStyleError = 0x10,          // error icon, OK
  kStyleWarning = 0x30,        // warning icon, OK
  kStyleWarningCancel = 0x31,  // warning icon, OK and Cancel
  kStyleInformation = 0x40,    // information icon, OK
};

// Answers of a message box.
constexpr int kAnswerOk = 1;
constexpr int kAnswerCancel = 2;

struct Message {
  std::string text;
  std::string caption;
  int style;
};

const Message& packageMissingMessage();       // M1
const Message& applicationRunningMessage();   // M2
const Message& confirmUpdateMessage();        // M3
const Message& installationMissingMessage();  // M4
const Message& wrongFolderMessage();          // M5, also Verify's
const Message& incompatibleMessage();         // M6
const Message& updateDoneMessage();           // M7
const Message& confirmExitMessage();

}  // namespace app
