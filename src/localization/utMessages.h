// The captions of the standard dialogs' buttons and titles, which a
// language file carries in its section Dialogs, and the font of message
// dialogs. The program's own message boxes and input dialogs take their
// button captions and titles from here.
#pragma once

#include <array>
#include <string>

#include "utIniFile.h"

enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp,
  kMsgDlgBtnCount
};
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom, kMsgDlgTypeCount };

// Key names in section Dialogs.
extern const std::array<const char*, kMsgDlgBtnCount> ButtonStrings;
extern const std::array<const char*, kMsgDlgTypeCount> FormStrings;

// The current captions (8-bit texts, UTF-8 on this platform).
extern std::array<std::string, kMsgDlgBtnCount> utDlgButtonCaptions;
extern std::array<std::string, kMsgDlgTypeCount> utDlgFormCaptions;
extern std::string MessagesFontName;
extern int MessagesFontSize;
extern int MessagesFontCharSet;

void utSetButtonCaption(TMsgDlgBtn Button, const std::string& Caption);
void utSetFormCaption(TMsgDlgType Form, const std::string& Caption);
// Sets the captions and titles back to their English defaults.
void utResetDialogCaptions();

// The translator's load handler: the keys of section Dialogs that exist
// (decoded from UTF-8 when Main/FontUTF8 is set), then the loaded font.
void LoadCaptionsFromIniFile(const TIniDocument& Ini);
// The save handler: every caption and title as it is.
void SaveCaptionsToIniFile(TIniDocument& Ini);
// Registers the two handlers with ApplicationTranslator; called once it
// exists.
void utMessagesInit();
