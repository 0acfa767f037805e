#include "utTranslator.h"

#include <iconv.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "brmConfig.h"
#include "brmRegTools.h"
#include "plPaths.h"
#include "utCodePage.h"
#include "utFileSysWin.h"
#include "utFiles.h"
#include "utStrings.h"
#include "utTranslatorLock.h"

TAppTranslator* ApplicationTranslator = nullptr;

namespace {

// The file stem: the name without folder and extension.
std::string FileStem(const std::string& path) {
  std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

// The code page of a Windows character set, as iconv names it.
const char* CharsetCodePage(int charset) {
  switch (charset) {
    case 77:
      return "MACINTOSH";
    case 128:
      return "CP932";
    case 129:
      return "CP949";
    case 134:
      return "CP936";
    case 136:
      return "CP950";
    case 161:
      return "CP1253";
    case 162:
      return "CP1254";
    case 163:
      return "CP1258";
    case 177:
      return "CP1255";
    case 178:
      return "CP1256";
    case 186:
      return "CP1257";
    case 204:
      return "CP1251";
    case 222:
      return "CP874";
    case 238:
      return "CP1250";
    case 255:
      return "CP437";
    default:
      return nullptr;
  }
}

bool ConvertWithIconv(std::string_view text, const char* codePage, std::string& out) {
  iconv_t cd = ::iconv_open("UTF-8", codePage);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string input(text);
  out.assign(input.size() * 4 + 16, '\0');
  char* in = input.data();
  size_t inLeft = input.size();
  char* dest = out.data();
  size_t outLeft = out.size();
  const bool ok = ::iconv(cd, &in, &inLeft, &dest, &outLeft) != static_cast<size_t>(-1);
  ::iconv_close(cd);
  out.resize(out.size() - outLeft);
  return ok;
}

}  // namespace

std::string UnicodeFromMultiByteAndCharSet(std::string_view text, int charset) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string converted;
  if (const char* codePage = CharsetCodePage(charset);
      codePage && ConvertWithIconv(text, codePage, converted))
    return converted;
  return Windows1252ToUtf8(text);
}

void FreeStringToIniString(std::string& s) {
  s = ReplaceAll(s, "% ", "%% ");
  s = ReplaceAll(s, "%.", "%%.");
  s = ReplaceAll(s, "\r\n", "%0D%0A");
}

void IniStringToFreeString(std::string& s) {
  s = LineToString(s);
  s = ReplaceAll(s, "%%", "%");
}

std::string LanguageFileText(std::string_view bytes, std::string_view indicator) {
  const std::string marker = std::string(indicator) + "1";
  if (bytes.size() < 5 || bytes.compare(0, marker.size(), marker) != 0) return std::string(bytes);
  // One zlib stream after the marker, inflated 4096 bytes at a time until
  // a block comes back short; an error or the size bound ends the reading
  // with what came so far.
  std::string text;
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return text;
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + marker.size()));
  zs.avail_in = static_cast<uInt>(bytes.size() - marker.size());
  constexpr size_t kBlock = 4096;
  char block[kBlock];
  for (;;) {
    zs.next_out = reinterpret_cast<Bytef*>(block);
    zs.avail_out = kBlock;
    const int rc = inflate(&zs, Z_NO_FLUSH);
    const size_t got = kBlock - zs.avail_out;
    const size_t room = kMaxLanguageText - text.size();
    text.append(block, std::min(got, room));
    if (got < kBlock || (rc != Z_OK && rc != Z_BUF_ERROR) || text.size() >= kMaxLanguageText) break;
  }
  inflateEnd(&zs);
  return text;
}

void CompressedIniStringsLoad(TIniDocument& mif, const std::string& Filename,
                              const std::string& indicator) {
  mif.SetText(LanguageFileText(ReadFileBytes(Filename), indicator));
}

TAppTranslator::TAppTranslator() {
  if (!GConfigManager) throw std::runtime_error("Please do include brmConfig!");
  FFilePath = GetProgramFolder() + "Languages/";
  ConfigManagerUpdated();
  // The manager may outlive this translator: its handler then does nothing.
  alive_ = std::make_shared<TAppTranslator*>(this);
  GConfigManager->RegisterConfigUpdateHandler([alive = std::weak_ptr<TAppTranslator*>(alive_)] {
    if (const auto self = alive.lock()) (*self)->ConfigManagerUpdated();
  });
}

TAppTranslator::~TAppTranslator() {
  alive_.reset();
  FSaveHandlers.clear();
  FLoadHandlers.clear();
}

void TAppTranslator::SetRegistryParams(HKEY RootKey, const std::string& Key,
                                       const std::string& Value) {
  FRegistryRootKey = RootKey;
  FRegistryKey = Key;
  FRegistryValue = Value;
}

void TAppTranslator::SetFileParams(const std::string& Path, const std::string& Extension) {
  FFilePath = Path;
  FFileExtension = Extension;
}

void TAppTranslator::SetDefaultMessagesFromArrays(const std::vector<TutTranslationString>& aData) {
  FDefaultMessages.Clear();
  for (const TutTranslationString& pair : aData) FDefaultMessages.SetValue(pair[0], pair[1]);
}

void TAppTranslator::ConfigManagerUpdated() {
  if (GConfigManager) FRegistryKey = "\\Software\\Brenmoor\\" + GConfigManager->ProductName();
}

std::string TAppTranslator::GetMessage(std::string_view Name) const {
  const int i = FMessages.IndexOfName(Name);
  if (i >= 0) return FMessages.ValueFromIndex(static_cast<size_t>(i));
  return FDefaultMessages.Values(Name);
}

void TAppTranslator::CompressedStringsLoad(TIniDocument& mif, const std::string& Filename) const {
  CompressedIniStringsLoad(mif, Filename, FCompressIndicator);
}

TBiDiMode TAppTranslator::BidiFromIni(const TIniDocument& ini) {
  const std::string mode = UpperCaseAZ(ini.ReadString("Main", "BiDiMode", "LR"));
  if (mode == "RL") return bdRightToLeft;
  if (mode == "RLNA") return bdRightToLeftNoAlign;
  if (mode == "RLRO") return bdRightToLeftReadingOnly;
  return bdLeftToRight;
}

void TAppTranslator::AssignMyFontToFont(TFontSettings& AFont) const {
  AFont.Charset = FLoadedFont.Charset;
  AFont.Name = FLoadedFont.Name;
  AFont.Size = FLoadedFont.Size;
}

void TAppTranslator::LoadMessages(const TIniDocument& Ini) {
  const bool utf8 = Ini.ReadBool("Main", "FontUTF8", false);
  FMessages.Clear();
  for (const std::string& key : Ini.KeyNames("Messages"))
    FMessages.Add(key + "=" + Ini.ReadString("Messages", key, ""));
  for (size_t i = 0; i < FMessages.Count(); ++i) {
    std::string line = FMessages[i];
    IniStringToFreeString(line);
    // The system's code page is UTF-8: a UTF-8 text stands as it is, and one
    // that is not UTF-8 fails.
    FMessages[i] = utf8 && !IsValidUtf8(line) ? "---" + line : line;
  }
}

void TAppTranslator::SaveMessages(TIniDocument& Ini) const {
  for (size_t i = 0; i < FDefaultMessages.Count(); ++i) {
    std::string text = FDefaultMessages.ValueFromIndex(i);
    FreeStringToIniString(text);
    Ini.WriteString("Messages", FDefaultMessages.Names(i), text);
  }
}

void TAppTranslator::RegisterLoadHandler(TLocalizationLoadEvent Handler) {
  FLoadHandlers.push_back(Handler);
}

void TAppTranslator::RegisterSaveHandler(TLocalizationSaveEvent Handler) {
  FSaveHandlers.push_back(Handler);
}

void TAppTranslator::NotifyLoadHandlers(const TIniDocument& Ini) const {
  for (const TLocalizationLoadEvent handler : FLoadHandlers)
    if (handler) handler(Ini);
}

void TAppTranslator::NotifySaveHandlers(TIniDocument& Ini) const {
  for (const TLocalizationSaveEvent handler : FSaveHandlers)
    if (handler) handler(Ini);
}

// --- finding, loading and saving languages -----------------------------------

void TAppTranslator::PeekFolder(const std::string& folder, bool useAtomsLock) {
  TStringList names = WindowsFindFileList(folder + "*." + FFileExtension, true, false);
  names.Sort();
  for (const std::string& file : names.Lines()) {
    const std::string stem = FileStem(file);
    // A language found in the program folder is not listed again.
    if (std::any_of(FLanguageList.begin(), FLanguageList.end(),
                    [&](const auto& l) { return SameText(l->Name, stem); }))
      continue;
    auto language = std::make_unique<TAppLanguage>();
    language->Filename = folder + file;
    language->Name = stem;
    language->RealName = stem;
    {
      TLanguageLoadLock lock(useAtomsLock);
      try {
        TIniDocument ini;
        CompressedStringsLoad(ini, language->Filename);
        language->RealName = ini.ReadString("Main", "LanguageName", "");
        if (language->RealName.empty()) language->RealName = language->Name;
        language->Hint = ini.ReadString("Main", "Use", "");
        language->FontName = ini.ReadString("Main", "FontName", "MS Sans Serif");
        language->FontSize = static_cast<int>(ini.ReadInteger("Main", "FontSize", 8));
        language->FontCharset = static_cast<int>(ini.ReadInteger("Main", "FontCharset", 0));
        LoadBitmapFromIni(ini, "Images", "Flag16", language->Flag16);
        LoadBitmapFromIni(ini, "Images", "Flag32", language->Flag32);
      } catch (const std::exception&) {
      }
    }
    language->WideName = UnicodeFromMultiByteAndCharSet(language->RealName, language->FontCharset);
    language->WideHint = UnicodeFromMultiByteAndCharSet(language->Hint, language->FontCharset);
    if (language->Flag16.width() == 16) language->Image16Index = FImage16List.Add(language->Flag16);
    if (language->Flag32.width() == 32) language->Image32Index = FImage32List.Add(language->Flag32);
    FLanguageList.push_back(std::move(language));
  }
}

void TAppTranslator::Peek(bool useAtomsLock) {
  const bool program = !FFilePath.empty() && DirectoryExists(FFilePath);
  const bool user =
      !FUserFilePath.empty() && FUserFilePath != FFilePath && DirectoryExists(FUserFilePath);
  if (program || user) {
    FLanguageList.clear();
    FImage16List.Clear();
    FImage32List.Clear();
    if (program) PeekFolder(IncludeTrailingPathDelimiter(FFilePath), useAtomsLock);
    if (user) PeekFolder(IncludeTrailingPathDelimiter(FUserFilePath), useAtomsLock);
  }
  FillMenuItem();
  FillListView();
}

std::string TAppTranslator::WritableFilePath() const {
  if (!FFilePath.empty() && ForceDirectories(FFilePath) && IsFolderWritable(FFilePath))
    return IncludeTrailingPathDelimiter(FFilePath);
  if (!FUserFilePath.empty() && ForceDirectories(FUserFilePath))
    return IncludeTrailingPathDelimiter(FUserFilePath);
  return IncludeTrailingPathDelimiter(FFilePath);
}

std::string TAppTranslator::LanguageFileName(const std::string& Name) const {
  const std::string file = Name + "." + FFileExtension;
  const std::string inProgram = IncludeTrailingPathDelimiter(FFilePath) + file;
  if (FUserFilePath.empty() || FileExists(inProgram)) return inProgram;
  const std::string inUser = IncludeTrailingPathDelimiter(FUserFilePath) + file;
  return FileExists(inUser) ? inUser : inProgram;
}

void TAppTranslator::Load(TLocalizableApplication* App, const std::string& Filename,
                          bool useAtomsLock) {
  if (!FileExists(Filename)) return;
  FFilename = Filename;
  TLanguageLoadLock lock(useAtomsLock);
  TIniDocument ini;
  try {
    CompressedStringsLoad(ini, Filename);
  } catch (const std::exception&) {
  }
  FLanguageName = FileStem(Filename);
  FLanguageRealName = ini.ReadString("Main", "LanguageName", "");
  FLanguageHint = ini.ReadString("Main", "Use", "");
  FHelpFile = ini.ReadString("Main", "HelpFile", "Help/English.chm");
  if (App) {
    if (FLocalizedHelpFile) App->SetHelpFile(FHelpFile);
    App->SetBiDiMode(BidiFromIni(ini));
  }
  try {
    LoadMessages(ini);
  } catch (const std::exception&) {
  }
  try {
    LoadImages(ini);
  } catch (const std::exception&) {
  }
  if (App) {
    for (TLocalizableForm* form : App->Forms()) {
      try {
        form->LoadFromIni(*this, ini);
      } catch (const std::exception&) {
      }
    }
    // The menu, hint and icon fonts.
    TFontSettings font;
    AssignMyFontToFont(font);
    App->SetApplicationFont(font);
  }
  try {
    NotifyLoadHandlers(ini);
    if (FOwnerCustomLoad) FOwnerCustomLoad(ini);
  } catch (const std::exception&) {
  }
  if (FApplicationLoadCompleted) FApplicationLoadCompleted();
}

TIniDocument TAppTranslator::SaveDocument(TLocalizableApplication* App,
                                          const std::string& Filename) {
  TIniDocument ini = TIniDocument::FromFile(Filename);
  SaveMessages(ini);
  NotifySaveHandlers(ini);
  ini.WriteString("Main", "LanguageName",
                  FLanguageRealName.empty() ? ExtractFileName(Filename) : FLanguageRealName);
  ini.WriteString("Main", "Use", FLanguageHint);
  ini.WriteString("Main", "HelpFile", FHelpFile);
  if (App)
    for (TLocalizableForm* form : App->Forms())
      if (form->Tag() == 0) form->SaveToIni(*this, ini, false);
  if (FOwnerCustomSave) FOwnerCustomSave(ini);
  return ini;
}

void TAppTranslator::Save(TLocalizableApplication* App, const std::string& Filename) {
  WriteFileAtomic(Filename, SaveDocument(App, Filename).Text());
}

void TAppTranslator::MakeDefault() {
  try {
    const std::string fn = WritableFilePath() + "English." + FFileExtension;
    FLanguageHint = "Use english language";
    FLanguageRealName = "English";
    FLanguageName = "English";
    // The texts and both flags go into one document, written once: a
    // reader never meets a file that has the texts but not yet the flags.
    TIniDocument ini;
    try {
      ini = SaveDocument(FApplication, fn);
    } catch (const std::exception&) {
      ini = TIniDocument::FromFile(fn);
    }
    const QImage flag16 = BuiltInFlag("ENGLISH16");
    FImage16List.Clear();
    FImage16List.Add(flag16);
    SaveBitmapToIni(ini, "Images", "Flag16", flag16);
    const QImage flag32 = BuiltInFlag("ENGLISH32");
    FImage32List.Clear();
    FImage32List.Add(flag32);
    SaveBitmapToIni(ini, "Images", "Flag32", flag32);
    WriteFileAtomic(fn, ini.Text());
  } catch (const std::exception&) {
  }
}

std::string TAppTranslator::GetPreferredLanguage() const {
  std::string name;
  try {
    if (utRegReadSingleString(FRegistryRootKey, FRegistryKey, FRegistryValue, name, 32) &&
        !name.empty())
      return name;
  } catch (const std::exception&) {
  }
  return "English";
}

void TAppTranslator::SavePreferredLanguage(const std::string& Name) {
  try {
    utRegWriteSingleString(FRegistryRootKey, FRegistryKey, FRegistryValue, Name, 32);
  } catch (const std::exception&) {
  }
}

void TAppTranslator::LoadPreferredLanguage(bool useAtomsLock) {
  Load(FApplication, LanguageFileName(GetPreferredLanguage()), useAtomsLock);
}

// --- the language menu, list view and flags ----------------------------------

void TAppTranslator::SetDisplayMenuItem(TLanguageMenu* Value) {
  FDisplayMenuItem = Value;
  FillMenuItem();
}

void TAppTranslator::FillMenuItem() { FillMenuItem(FDisplayMenuItem); }

void TAppTranslator::FillMenuItem(TLanguageMenu* MenuItem) {
  if (!MenuItem) return;
  MenuItem->Clear();
  for (const auto& language : FLanguageList)
    MenuItem->AddItem(language->WideName, language->Name,
                      FImage16List.Image(language->Image16Index));
}

void TAppTranslator::SetDisplayListView(TLanguageListView* Value) {
  FDisplayListView = Value;
  FillListView();
}

void TAppTranslator::FillListView() { FillListView(FDisplayListView); }

void TAppTranslator::FillListView(TLanguageListView* ListView) {
  if (!ListView) return;
  ListView->Setup(FImage16List);
  ListView->Clear();
  for (const auto& language : FLanguageList) ListView->AddItem(*language);
}

void TAppTranslator::ChooseLanguage(const std::string& name) {
  SavePreferredLanguage(name);
  Load(FApplication, LanguageFileName(name), true);
}

void TAppTranslator::LanguageMenuItemClick(const std::string& hint) { ChooseLanguage(hint); }

void TAppTranslator::LanguageListItemClick() {
  if (!FDisplayListView) return;
  if (const TAppLanguage* language = FDisplayListView->Selected())
    ChooseLanguage(std::string(language->Name));
}

void TAppTranslator::LoadImages(const TIniDocument& Ini) {
  LoadBitmapFromIni(Ini, "Images", "Flag16", FFlag16);
  LoadBitmapFromIni(Ini, "Images", "Flag32", FFlag32);
}

namespace {
void SaveBitmapToFile(const QImage& Bmp, const std::string& Filename, const char* key) {
  TIniDocument ini = TIniDocument::FromFile(Filename);
  SaveBitmapToIni(ini, "Images", key, Bmp);
  WriteFileAtomic(Filename, ini.Text());
}
}  // namespace

void TAppTranslator::SaveBitmap16ToFile(const QImage& Bmp, const std::string& Filename) {
  SaveBitmapToFile(Bmp, Filename, "Flag16");
}

void TAppTranslator::SaveBitmap32ToFile(const QImage& Bmp, const std::string& Filename) {
  SaveBitmapToFile(Bmp, Filename, "Flag32");
}
