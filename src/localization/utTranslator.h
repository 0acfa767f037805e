// The translator: finds the language files, writes the built-in English
// one, loads a language and applies it to every window, remembers the
// user's choice, and answers message lookups. Language files are INI text,
// plain or compressed (the indicator "LCF" + "1", then one zlib stream).
// The windows are reached through TLocalizableApplication, which the window
// layer implements; the language menu through TLanguageMenu.
#pragma once

#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plRegistry.h"
#include "utIniFile.h"
#include "utStringList.h"
#include "utTranslationString.h"
#include "utTranslatorImages.h"

// The reading order of a language.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

struct TFontSettings {
  uint8_t Charset = 0;
  std::string Name;
  int Size = 0;
  TBiDiMode BiDiMode = bdLeftToRight;
};

class TAppTranslator;

// One window as the translator sees it; the window layer translates it
// (LoadFormFromIni, SaveFormToIni).
class TLocalizableForm {
 public:
  virtual ~TLocalizableForm() = default;
  virtual std::string Name() const = 0;
  virtual int Tag() const = 0;
  virtual void LoadFromIni(TAppTranslator& translator, const TIniDocument& ini) = 0;
  virtual void SaveToIni(TAppTranslator& translator, TIniDocument& ini,
                         bool saveMainProperties) = 0;
};

// The application: its windows in order, and the settings a language sets
// for all of them.
class TLocalizableApplication {
 public:
  virtual ~TLocalizableApplication() = default;
  virtual std::vector<TLocalizableForm*> Forms() = 0;
  virtual void SetBiDiMode(TBiDiMode mode) = 0;
  virtual void SetHelpFile(const std::string& path) = 0;
  // The fonts of menus, hints and icon titles.
  virtual void SetApplicationFont(const TFontSettings& font) = 0;
};

// One language found by Peek.
struct TAppLanguage {
  std::string Filename;  // full path
  std::string Name;      // file stem
  std::string RealName;  // Main/LanguageName, or Name
  std::string Hint;      // Main/Use
  // RealName and Hint as UTF-8, read with the code page of FontCharset.
  std::string WideName;
  std::string WideHint;
  QImage Flag16;
  QImage Flag32;
  std::string FontName;
  int FontSize = 8;
  int FontCharset = 0;
  int Image16Index = -1;
  int Image32Index = -1;
};
using TAppLanguageList = std::vector<std::unique_ptr<TAppLanguage>>;

// The menu item the languages are listed under; the window layer
// implements it. A click on an item calls LanguageMenuItemClick with the
// item's hint.
class TLanguageMenu {
 public:
  virtual ~TLanguageMenu() = default;
  // Removes every item.
  virtual void Clear() = 0;
  // image is nullptr for an item without a picture.
  virtual void AddItem(const std::string& caption, const std::string& hint,
                       const QImage* image) = 0;
};

// A list view of the languages, with the columns name, description and
// file stem.
class TLanguageListView {
 public:
  virtual ~TLanguageListView() = default;
  // Report view, read-only, at least three columns (the first 100 pixels
  // wide, the second filling, the third hidden), small images from images.
  virtual void Setup(const TFlagImageList& images) = 0;
  virtual void Clear() = 0;
  virtual void AddItem(const TAppLanguage& language) = 0;
  // The language of the selected item, or nullptr.
  virtual const TAppLanguage* Selected() const = 0;
};

class TAppTranslator {
 public:
  using TOwnerHandler =
      std::function<void(const std::string& Name, void* Component, const TIniDocument& Ini)>;
  using TOwnerSaveHandler =
      std::function<void(const std::string& Name, void* Component, TIniDocument& Ini)>;
  using TOwnerCustomHandler = std::function<void(TIniDocument& Ini)>;
  using TLoadCompleted = std::function<void()>;
  using TLocalizationLoadEvent = void (*)(const TIniDocument& Ini);
  using TLocalizationSaveEvent = void (*)(TIniDocument& Ini);

  // Needs GConfigManager: raises "Please do include brmConfig!" without it.
  TAppTranslator();
  ~TAppTranslator();
  TAppTranslator(const TAppTranslator&) = delete;
  TAppTranslator& operator=(const TAppTranslator&) = delete;

  // --- fields -------------------------------------------------------------
  TStringList FMessages;
  TStringList FDefaultMessages;
  TOwnerSaveHandler FOwnerSave;
  TOwnerHandler FOwnerLoad;
  TLoadCompleted FApplicationLoadCompleted;
  std::string FCompressIndicator = "LCF";
  std::string FLanguageName;
  std::string FLanguageRealName;
  std::string FLanguageHint;
  TAppLanguageList FLanguageList;
  TLanguageListView* FDisplayListView = nullptr;
  TLanguageMenu* FDisplayMenuItem = nullptr;
  std::string FFileExtension = "lng";
  std::string FFilePath;
  // Where the language files go when FFilePath cannot be written (the
  // per-user data folder); Peek lists it after FFilePath.
  std::string FUserFilePath;
  std::string FHelpFile = "Help/English.chm";
  QImage FFlag16;
  QImage FFlag32;
  TFlagImageList FImage16List{16};
  TFlagImageList FImage32List{32};
  TFontSettings FLoadedFont;
  HKEY FRegistryRootKey = HKEY_CURRENT_USER;
  std::string FRegistryKey;
  std::string FRegistryValue = "Language";
  std::string FFilename;
  TOwnerCustomHandler FOwnerCustomLoad;
  TOwnerCustomHandler FOwnerCustomSave;
  bool FLocalizedHelpFile = true;
  std::vector<TLocalizationSaveEvent> FSaveHandlers;
  std::vector<TLocalizationLoadEvent> FLoadHandlers;
  // The windows a language is applied to; set by the window layer.
  TLocalizableApplication* FApplication = nullptr;

  // --- setup --------------------------------------------------------------
  void SetRegistryParams(HKEY RootKey, const std::string& Key, const std::string& Value);
  void SetFileParams(const std::string& Path, const std::string& Extension);
  void SetDefaultMessagesFromArrays(const std::vector<TutTranslationString>& aData);
  void ConfigManagerUpdated();

  // --- lookups ------------------------------------------------------------
  std::string GetMessage(std::string_view Name) const;

  // --- languages ----------------------------------------------------------
  void Peek(bool useAtomsLock = true);
  void MakeDefault();
  // Loads the file and applies it to App's windows; nothing happens when
  // the file does not exist.
  void Load(TLocalizableApplication* App, const std::string& Filename, bool useAtomsLock = true);
  void Save(TLocalizableApplication* App, const std::string& Filename);
  std::string GetPreferredLanguage() const;
  void SavePreferredLanguage(const std::string& Name);
  void LoadPreferredLanguage(bool useAtomsLock = true);
  // The file of a language by its stem: in FFilePath, else in FUserFilePath
  // when it is there.
  std::string LanguageFileName(const std::string& Name) const;

  // --- parts of loading and saving ---------------------------------------
  void CompressedStringsLoad(TIniDocument& mif, const std::string& Filename) const;
  void LoadMessages(const TIniDocument& Ini);
  void SaveMessages(TIniDocument& Ini) const;
  static TBiDiMode BidiFromIni(const TIniDocument& ini);
  // The charset, name and size of FLoadedFont into AFont.
  void AssignMyFontToFont(TFontSettings& AFont) const;
  void RegisterLoadHandler(TLocalizationLoadEvent Handler);
  void RegisterSaveHandler(TLocalizationSaveEvent Handler);
  void NotifyLoadHandlers(const TIniDocument& Ini) const;
  void NotifySaveHandlers(TIniDocument& Ini) const;

  // --- language menu, list view and flags ---------------------------------
  void SetDisplayMenuItem(TLanguageMenu* Value);
  void FillMenuItem();
  void FillMenuItem(TLanguageMenu* MenuItem);
  void SetDisplayListView(TLanguageListView* Value);
  void FillListView();
  void FillListView(TLanguageListView* ListView);
  // A click on a language menu item: hint is the item's hint, the language
  // file stem.
  void LanguageMenuItemClick(const std::string& hint);
  void LanguageListItemClick();
  void LoadImages(const TIniDocument& Ini);
  static void SaveBitmap16ToFile(const QImage& Bmp, const std::string& Filename);
  static void SaveBitmap32ToFile(const QImage& Bmp, const std::string& Filename);

 private:
  // The folder MakeDefault writes into: FFilePath when it can be written,
  // else FUserFilePath.
  std::string WritableFilePath() const;
  void PeekFolder(const std::string& folder, bool useAtomsLock);
  // Stores the choice and loads the language at once.
  void ChooseLanguage(const std::string& name);
  // The document Save writes: the file's keys with the current texts.
  TIniDocument SaveDocument(TLocalizableApplication* App, const std::string& Filename);

  // Lets the configuration manager's handler know whether this translator
  // still exists.
  std::shared_ptr<TAppTranslator*> alive_;
};

// The global instance, from start-up to the end of the program.
extern TAppTranslator* ApplicationTranslator;

// Fills mif from a language file: plain INI text, or indicator + "1" and a
// zlib stream of it (inflated in blocks of 4096 bytes, at most
// kMaxLanguageText bytes; a stream that breaks off gives the text before
// the break). Raises EFileError when the file cannot be read.
void CompressedIniStringsLoad(TIniDocument& mif, const std::string& Filename,
                              const std::string& indicator);
// The INI text of a language file's bytes, as above.
std::string LanguageFileText(std::string_view bytes, std::string_view indicator);
// The largest text a compressed language file inflates to.
inline constexpr size_t kMaxLanguageText = 16u << 20;

// Escaping of texts in language files: "% " becomes "%% ", "%." becomes
// "%%.", CR LF becomes "%0D%0A". The way back turns "%0D%0A" into CR LF and
// then "%%" into "%". They are not inverses of each other.
void FreeStringToIniString(std::string& s);
void IniStringToFreeString(std::string& s);

// A text of a language file as UTF-8 for display: UTF-8 when it is valid
// UTF-8, otherwise read in the code page of the Windows character set
// (0 and 1: Windows-1252).
std::string UnicodeFromMultiByteAndCharSet(std::string_view text, int charset);
