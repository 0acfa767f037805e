#include "utMessages.h"

#include "utCodePage.h"
#include "utTranslator.h"

const std::array<const char*, kMsgDlgBtnCount> ButtonStrings = {
    "ButtonYes",    "ButtonNo",  "ButtonOK",      "ButtonCancel",   "ButtonAbort", "ButtonRetry",
    "ButtonIgnore", "ButtonAll", "ButtonNoToAll", "ButtonYesToAll", "ButtonHelp"};
const std::array<const char*, kMsgDlgTypeCount> FormStrings = {
    "DialogTitleWarning", "DialogTitleError", "DialogTitleInformation", "DialogTitleConfirmation",
    "DialogTitleCustom"};

namespace {
const std::array<const char*, kMsgDlgBtnCount> kDefaultButtons = {
    "Yes",    "No",  "OK",        "Cancel",     "Abort", "Retry",
    "Ignore", "All", "No to all", "Yes to all", "Help"};
const std::array<const char*, kMsgDlgTypeCount> kDefaultTitles = {"Warning", "Error", "Information",
                                                                  "Confirmation", "Custom"};

template <size_t N>
std::array<std::string, N> Defaults(const std::array<const char*, N>& texts) {
  std::array<std::string, N> out;
  for (size_t i = 0; i < N; ++i) out[i] = texts[i];
  return out;
}

// Reads the keys of section Dialogs that exist into the table.
template <size_t N, class Set>
void ReadCaptions(const TIniDocument& ini, const std::array<const char*, N>& keys,
                  const std::array<std::string, N>& current, bool utf8, Set set) {
  for (size_t i = 0; i < N; ++i) {
    if (!ini.ValueExists("Dialogs", keys[i])) continue;
    std::string caption = ini.ReadString("Dialogs", keys[i], current[i]);
    // The system's code page is UTF-8: a text that is no UTF-8 is not taken.
    if (utf8 && !IsValidUtf8(caption)) continue;
    set(i, caption);
  }
}
}  // namespace

std::array<std::string, kMsgDlgBtnCount> utDlgButtonCaptions = Defaults(kDefaultButtons);
std::array<std::string, kMsgDlgTypeCount> utDlgFormCaptions = Defaults(kDefaultTitles);
std::string MessagesFontName = "MS Sans Serif";
int MessagesFontSize = 8;
int MessagesFontCharSet = 1;

void utSetButtonCaption(TMsgDlgBtn Button, const std::string& Caption) {
  if (Button >= 0 && Button < kMsgDlgBtnCount) utDlgButtonCaptions[Button] = Caption;
}

void utSetFormCaption(TMsgDlgType Form, const std::string& Caption) {
  if (Form >= 0 && Form < kMsgDlgTypeCount) utDlgFormCaptions[Form] = Caption;
}

void utResetDialogCaptions() {
  utDlgButtonCaptions = Defaults(kDefaultButtons);
  utDlgFormCaptions = Defaults(kDefaultTitles);
}

void LoadCaptionsFromIniFile(const TIniDocument& Ini) {
  const bool utf8 = Ini.ReadBool("Main", "FontUTF8", false);
  ReadCaptions(Ini, ButtonStrings, utDlgButtonCaptions, utf8, [](size_t i, const std::string& c) {
    utSetButtonCaption(static_cast<TMsgDlgBtn>(i), c);
  });
  ReadCaptions(Ini, FormStrings, utDlgFormCaptions, utf8, [](size_t i, const std::string& c) {
    utSetFormCaption(static_cast<TMsgDlgType>(i), c);
  });
  if (ApplicationTranslator) {
    MessagesFontName = ApplicationTranslator->FLoadedFont.Name;
    MessagesFontSize = ApplicationTranslator->FLoadedFont.Size;
    MessagesFontCharSet = ApplicationTranslator->FLoadedFont.Charset;
  }
}

void SaveCaptionsToIniFile(TIniDocument& Ini) {
  for (size_t i = 0; i < kMsgDlgBtnCount; ++i)
    Ini.WriteString("Dialogs", ButtonStrings[i], utDlgButtonCaptions[i]);
  for (size_t i = 0; i < kMsgDlgTypeCount; ++i)
    Ini.WriteString("Dialogs", FormStrings[i], utDlgFormCaptions[i]);
}

void utMessagesInit() {
  if (!ApplicationTranslator) return;
  ApplicationTranslator->RegisterLoadHandler(LoadCaptionsFromIniFile);
  ApplicationTranslator->RegisterSaveHandler(SaveCaptionsToIniFile);
}
