#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <QBuffer>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ErrorOf.h"
#include "RegistrySandbox.h"
#include "TempFolder.h"
#include "brmConfig.h"
#include "brmRegTools.h"
#include "utFiles.h"
#include "utMessages.h"
#include "utTranslator.h"
#include "utTranslatorLock.h"

namespace {

// A configuration manager, a registry and a language folder of the
// test's own, with a translator over them.
struct TTranslatorFixture {
  TRegistrySandbox box;
  TBRMConfigManager config;
  TTempFolder folder;
  std::unique_ptr<TAppTranslator> translator;
  TTranslatorFixture() {
    ::setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
    config.SetProductName("Corvina");
    GConfigManager = &config;
    translator = std::make_unique<TAppTranslator>();
    translator->SetFileParams(folder.Path() + "Languages/", "crv");
    translator->SetRegistryParams(HKEY_CURRENT_USER, "\\Software\\Brenmoor\\Probeworks\\Corvina",
                                  "Language");
  }
  ~TTranslatorFixture() {
    translator.reset();
    GConfigManager = nullptr;
    ::unsetenv("XDG_RUNTIME_DIR");
  }
  std::string Write(const std::string& name, const std::string& text) {
    return folder.Write("Languages/" + name, text);
  }
};

// The language menu as the translator fills it.
struct TMenuRecord : TLanguageMenu {
  std::vector<std::string> items;  // "caption|hint|image"
  void Clear() override { items.clear(); }
  void AddItem(const std::string& caption, const std::string& hint, const QImage* image) override {
    items.push_back(caption + "|" + hint + "|" + (image ? std::to_string(image->width()) : "-"));
  }
};

std::string Compressed(const std::string& text) {
  uLongf size = compressBound(text.size());
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
           text.size());
  out.resize(size);
  return out;
}

std::string BmpHex(const QImage& image) {
  TIniDocument ini;
  SaveBitmapToIni(ini, "Images", "Flag16", image);
  return ini.ReadString("Images", "Flag16", "");
}

}  // namespace

TEST(Translator, NeedsTheConfigurationManager) {
  GConfigManager = nullptr;
  EXPECT_EQ(ErrorOf([] { TAppTranslator t; }), "Please do include brmConfig!");
  TTranslatorFixture f;
  EXPECT_EQ(f.translator->FRegistryKey, "\\Software\\Brenmoor\\Probeworks\\Corvina");
  // A later product name recomputes the key.
  f.config.SetProductName("Other");
  EXPECT_EQ(f.translator->FRegistryKey, "\\Software\\Brenmoor\\Other");
}

TEST(Translator, LanguageFilesPlainAndCompressed) {
  TTranslatorFixture f;
  const std::string text = "[Main]\r\nLanguageName=Deutsch\r\n[Messages]\r\nA=b\r\n";
  const struct {
    const char* what;
    std::string bytes;
    const char* languageName;
  } cases[] = {
      {"plain", text, "Deutsch"},
      {"LCF1 and a zlib stream", "LCF1" + Compressed(text), "Deutsch"},
      {"a stream that breaks off", "LCF1" + Compressed(text).substr(0, 20), ""},
      {"LCF1 alone is plain text", "LCF1", ""},
      {"LCF1 and bytes that are no zlib stream", "LCF1not zlib", ""},
  };
  for (const auto& c : cases) {
    TIniDocument ini;
    CompressedIniStringsLoad(ini, f.Write("x.crv", c.bytes), "LCF");
    EXPECT_EQ(ini.ReadString("Main", "LanguageName", ""), c.languageName) << c.what;
  }
  // A stream that breaks off gives the lines before the break.
  std::string longText = "[Messages]\r\n";
  for (int i = 0; i < 5000; ++i) longText += "Key" + std::to_string(i) + "=value\r\n";
  const std::string compressed = Compressed(longText);
  TIniDocument partial;
  CompressedIniStringsLoad(
      partial, f.Write("y.crv", "LCF1" + compressed.substr(0, compressed.size() / 2)), "LCF");
  const size_t keys = partial.KeyNames("Messages").size();
  EXPECT_GT(keys, 100u);
  EXPECT_LT(keys, 5000u);
  // A small file that inflates without end stops at the bound.
  std::string bomb = "[Messages]\r\n";
  const std::string line = "K=" + std::string(1000, 'v') + "\r\n";
  while (bomb.size() < kMaxLanguageText + (4u << 20)) bomb += line;
  const std::string packed = "LCF1" + Compressed(bomb);
  EXPECT_LT(packed.size(), 200000u);
  TIniDocument bounded;
  CompressedIniStringsLoad(bounded, f.Write("bomb.crv", packed), "LCF");
  EXPECT_TRUE(bounded.SectionExists("Messages"));
  EXPECT_EQ(ErrorOf([&] {
              TIniDocument d;
              CompressedIniStringsLoad(d, f.folder.Path() + "none.crv", "LCF");
            }).find("Cannot"),
            0u);
}

TEST(Translator, MessagesDefaultsFallbackEscapingAndUtf8) {
  TTranslatorFixture f;
  TAppTranslator& t = *f.translator;
  t.SetDefaultMessagesFromArrays({{"Done", "50% done."},
                                  {"Empty", ""},
                                  {"Lines", "a"},
                                  {"Kept", "English"},
                                  {"Broken", "Mueller"}});
  EXPECT_EQ(t.FDefaultMessages.IndexOfName("Empty"), -1);
  EXPECT_EQ(t.GetMessage("Empty"), "");
  EXPECT_EQ(t.GetMessage("Unknown"), "");
  EXPECT_EQ(t.GetMessage("done"), "50% done.");

  TIniDocument written;
  t.SaveMessages(written);
  EXPECT_EQ(written.ReadString("Messages", "Done", ""), "50%% done.");

  TIniDocument ini(
      "[Main]\r\nFontUTF8=1\r\n[Messages]\r\nDone=50%% done.\r\nLines=Line one%0D%0ALine two\r\n"
      "Umlaut=M\xc3\xbcller\r\nBroken=M\xfcller\r\n");
  t.LoadMessages(ini);
  EXPECT_EQ(t.GetMessage("Done"), "50% done.");
  EXPECT_EQ(t.GetMessage("Lines"), "Line one\r\nLine two");
  EXPECT_EQ(t.GetMessage("Umlaut"), "M\xc3\xbcller");
  // A line that is no UTF-8 becomes "---" and the line: the message then
  // has its default text.
  EXPECT_NE(t.FMessages.IndexOf("---Broken=M\xfcller"), -1);
  EXPECT_EQ(t.GetMessage("Broken"), "Mueller");
  EXPECT_EQ(t.GetMessage("Kept"), "English");  // not in the language: the default

  // The two directions are not inverses.
  std::string s = "100%%x";
  IniStringToFreeString(s);
  EXPECT_EQ(s, "100%x");
  std::string crlf = "a\r\nb\rc\n";
  FreeStringToIniString(crlf);
  EXPECT_EQ(crlf, "a%0D%0Ab\rc\n");
}

TEST(Translator, ReadingOrders) {
  const struct {
    const char* value;
    TBiDiMode mode;
  } cases[] = {{"", bdLeftToRight},
               {"LR", bdLeftToRight},
               {"rl", bdRightToLeft},
               {"rlna", bdRightToLeftNoAlign},
               {"RLRO", bdRightToLeftReadingOnly},
               {"XX", bdLeftToRight}};
  for (const auto& c : cases)
    EXPECT_EQ(
        TAppTranslator::BidiFromIni(TIniDocument(std::string("[Main]\r\nBiDiMode=") + c.value)),
        c.mode)
        << c.value;
}

TEST(Translator, PeekListsTheLanguagesOnceWithTheirNamesAndFlags) {
  TTranslatorFixture f;
  TMenuRecord menu;
  f.translator->SetDisplayMenuItem(&menu);
  f.Write("German.crv", "[Main]\r\nLanguageName=\r\nUse=Deutsch verwenden\r\n");
  f.Write("English.crv", "[Main]\r\nLanguageName=English\r\n[Images]\r\nFlag16=" +
                             BmpHex(BuiltInFlag("ENGLISH16")) + "\r\n");
  f.Write("broken.crv", "[Images]\r\nFlag16=FF7\r\nFlag32=not hex at all\r\n");
  f.Write("notes.txt", "not a language");
  f.translator->Peek();
  f.translator->Peek();
  const std::vector<std::string> expected = {"broken|broken|-", "English|English|16",
                                             "German|German|16"};
  EXPECT_EQ(menu.items, expected);
  ASSERT_EQ(f.translator->FLanguageList.size(), 3u);
  const TAppLanguage& german = *f.translator->FLanguageList[2];
  EXPECT_EQ(german.Hint, "Deutsch verwenden");
  EXPECT_EQ(german.FontName, "MS Sans Serif");
  EXPECT_EQ(german.FontSize, 8);
  // Without Images the flags are blank, 16 x 16 and 32 x 32.
  EXPECT_EQ(german.Flag16.size(), QSize(16, 16));
  EXPECT_EQ(german.Flag32.size(), QSize(32, 32));
  // A flag that is no bitmap leaves a flag of no size: no image.
  const TAppLanguage& broken = *f.translator->FLanguageList[0];
  EXPECT_TRUE(broken.Flag32.isNull());
  EXPECT_EQ(broken.Image32Index, -1);
  EXPECT_TRUE(broken.Flag16.isNull());
  EXPECT_EQ(f.translator->FImage16List.Count(), 2);
  // The flags are added with their top-left colour made transparent.
  const QImage* english = f.translator->FImage16List.Image(0);
  ASSERT_NE(english, nullptr);
  EXPECT_EQ(qAlpha(english->pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(english->pixel(8, 8)), 255);
  f.translator->SetDisplayMenuItem(nullptr);
}

TEST(Translator, FlagsAsHexadecimalText) {
  EXPECT_EQ(HexToBytes("FF7"), std::string("\xff\x00", 2));
  EXPECT_EQ(HexToBytes("ff0a"), std::string("\xff\x0a", 2));
  EXPECT_EQ(HexToByte("zz"), 0);
  EXPECT_EQ(HexToByte("F"), 0);
  EXPECT_EQ(HexToNibble('e'), 14);
  EXPECT_EQ(ByteToHex(0xAB), "AB");

  const QImage flag = BuiltInFlag("ENGLISH32");
  ASSERT_EQ(flag.size(), QSize(32, 32));
  TIniDocument ini;
  SaveBitmapToIni(ini, "Images", "Flag32", flag);
  const std::string hex = ini.ReadString("Images", "Flag32", "");
  EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_EQ(hex.substr(0, 4), "424D");  // "BM"
  QImage back;
  LoadBitmapFromIni(ini, "Images", "Flag32", back);
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), flag.convertToFormat(QImage::Format_RGB32));
  // The same value in lower case reads the same.
  TIniDocument lower;
  std::string lowerHex = hex;
  for (char& c : lowerHex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  lower.WriteString("Images", "Flag32", lowerHex);
  QImage fromLower;
  LoadBitmapFromIni(lower, "Images", "Flag32", fromLower);
  EXPECT_EQ(fromLower.convertToFormat(QImage::Format_RGB32),
            flag.convertToFormat(QImage::Format_RGB32));

  // Hostile values: a bitmap that claims to be 30000 pixels wide, a value
  // over the size bound, a truncated bitmap. Each leaves the flag cleared
  // at its size.
  std::string huge = HexToBytes(hex);
  huge[18] = '\x30';
  huge[19] = '\x75';  // width 30000
  std::string hugeHex;
  for (const char b : huge) hugeHex += ByteToHex(static_cast<unsigned char>(b));
  for (const std::string& value :
       {hugeHex, std::string(2 * kMaxFlagFileSize + 2, 'A'), hex.substr(0, hex.size() / 2)}) {
    TIniDocument bad;
    bad.WriteString("Images", "Flag32", value);
    QImage kept = flag;
    LoadBitmapFromIni(bad, "Images", "Flag32", kept);
    EXPECT_EQ(kept.size(), QSize(32, 32));
    EXPECT_EQ(kept.pixel(16, 16), QColor(Qt::white).rgb());
  }
}

TEST(Translator, TheStoredChoiceAndLoading) {
  TTranslatorFixture f;
  TAppTranslator& t = *f.translator;
  t.SetDefaultMessagesFromArrays({{"Hello", "Hello"}});
  EXPECT_EQ(t.GetPreferredLanguage(), "English");
  // No stored choice and no English file: nothing changes.
  t.LoadPreferredLanguage();
  EXPECT_EQ(t.FLanguageName, "");
  f.Write("English.crv", "[Messages]\r\nHello=Hello there\r\n");
  f.Write("German.crv",
          "[Main]\r\nLanguageName=Deutsch\r\nHelpFile=Help/German.chm\r\n"
          "[Messages]\r\nHello=Hallo\r\n");
  int completed = 0;
  t.FApplicationLoadCompleted = [&] { ++completed; };
  t.LoadPreferredLanguage();
  EXPECT_EQ(t.FLanguageName, "English");
  EXPECT_EQ(t.GetMessage("Hello"), "Hello there");
  EXPECT_EQ(t.FHelpFile, "Help/English.chm");

  t.Peek();
  t.LanguageMenuItemClick("German");
  EXPECT_EQ(t.GetPreferredLanguage(), "German");
  std::string stored;
  ASSERT_TRUE(utRegReadSingleString(HKEY_CURRENT_USER, "\\Software\\Brenmoor\\Probeworks\\Corvina",
                                    "Language", stored, 32));
  EXPECT_EQ(stored, "German");
  EXPECT_EQ(t.GetMessage("Hello"), "Hallo");
  EXPECT_EQ(t.FLanguageRealName, "Deutsch");
  EXPECT_EQ(t.FHelpFile, "Help/German.chm");
  EXPECT_EQ(completed, 2);
  // A language whose file has gone: the choice is stored, nothing changes.
  t.LanguageMenuItemClick("Gone");
  EXPECT_EQ(t.GetPreferredLanguage(), "Gone");
  EXPECT_EQ(t.GetMessage("Hello"), "Hallo");
}

TEST(Translator, DialogCaptionsFromTheLanguage) {
  TTranslatorFixture f;
  ApplicationTranslator = f.translator.get();
  utResetDialogCaptions();
  utMessagesInit();
  f.Write("German.crv",
          "[Main]\r\nFontUTF8=1\r\n[Dialogs]\r\nButtonYes=Ja\r\n"
          "DialogTitleError=Fehler\r\nButtonNo=N\xe9in\r\n");
  f.translator->Load(nullptr, f.folder.Path() + "Languages/German.crv");
  EXPECT_EQ(utDlgButtonCaptions[mbYes], "Ja");
  EXPECT_EQ(utDlgFormCaptions[mtError], "Fehler");
  EXPECT_EQ(utDlgButtonCaptions[mbNo], "No");  // not UTF-8: not taken
  EXPECT_EQ(utDlgButtonCaptions[mbCancel], "Cancel");
  TIniDocument saved;
  f.translator->NotifySaveHandlers(saved);
  EXPECT_EQ(saved.KeyNames("Dialogs").size(), 16u);
  EXPECT_EQ(saved.ReadString("Dialogs", "ButtonYes", ""), "Ja");
  utResetDialogCaptions();
  ApplicationTranslator = nullptr;
}

TEST(Translator, TheEnglishFileGoesToTheUsersFolderWhenTheProgramsCannotBeWritten) {
  TTranslatorFixture f;
  TAppTranslator& t = *f.translator;
  t.SetDefaultMessagesFromArrays({{"Hello", "Hello"}});
  t.MakeDefault();
  const std::string english = f.folder.Path() + "Languages/English.crv";
  const TIniDocument written = TIniDocument::FromFile(english);
  EXPECT_EQ(written.ReadString("Main", "LanguageName", ""), "English");
  EXPECT_EQ(written.ReadString("Main", "Use", ""), "Use english language");
  EXPECT_EQ(written.ReadString("Messages", "Hello", ""), "Hello");
  EXPECT_EQ(written.ReadString("Images", "Flag16", "").substr(0, 4), "424D");
  EXPECT_FALSE(written.ReadString("Images", "Flag32", "").empty());

  // A program folder that cannot be made (a file stands in its way): the
  // English file goes to the user's folder.
  f.folder.Write("blocked", "a file, not a folder");
  t.SetFileParams(f.folder.Path() + "blocked/Languages/", "crv");
  t.FUserFilePath = f.folder.Path() + "user/Languages/";
  t.MakeDefault();
  EXPECT_TRUE(FileExists(f.folder.Path() + "user/Languages/English.crv"));
  // Peek lists the program folder's languages first, then the user's.
  t.SetFileParams(f.folder.Path() + "Languages/", "crv");
  std::filesystem::remove(english);
  f.Write("German.crv", "[Main]\r\nLanguageName=Deutsch\r\n");
  t.Peek();
  ASSERT_EQ(t.FLanguageList.size(), 2u);
  EXPECT_EQ(t.FLanguageList[0]->Name, "German");
  EXPECT_EQ(t.FLanguageList[1]->Name, "English");
  t.LoadPreferredLanguage();
  EXPECT_EQ(t.FLanguageName, "English");
  EXPECT_EQ(t.FFilename, f.folder.Path() + "user/Languages/English.crv");
}

TEST(Translator, TheLoadLockWaitsForALiveHolderOnlyAndNeverBlocks) {
  TTempFolder runtime;
  ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  using clock = std::chrono::steady_clock;
  // A holder that has ended: no wait.
  {
    std::ofstream(TLanguageLoadLock::LockFile()) << "999999999\n";
    const auto start = clock::now();
    { TLanguageLoadLock lock(true); }
    EXPECT_LT(clock::now() - start, std::chrono::milliseconds(400));
  }
  // A live holder in another process: ten waits of 50 ms, then on.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    TLanguageLoadLock lock(true);
    if (::write(ready[1], "x", 1) != 1) ::_exit(1);
    ::sleep(3);
    ::_exit(0);
  }
  char c;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  EXPECT_TRUE(TLanguageLoadLock::HeldByOthers());
  const auto start = clock::now();
  { TLanguageLoadLock lock(true); }
  const auto waited = clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(450));
  EXPECT_LT(waited, std::chrono::milliseconds(1500));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  // The killed holder's entry no longer counts.
  EXPECT_FALSE(TLanguageLoadLock::HeldByOthers());
  ::close(ready[0]);
  ::close(ready[1]);
  ::unsetenv("XDG_RUNTIME_DIR");
}

namespace {

// A list view of the languages as the translator fills it.
struct TListRecord : TLanguageListView {
  int setups = 0;
  std::vector<const TAppLanguage*> items;
  int selected = -1;
  void Setup(const TFlagImageList&) override { ++setups; }
  void Clear() override { items.clear(); }
  void AddItem(const TAppLanguage& language) override { items.push_back(&language); }
  const TAppLanguage* Selected() const override {
    return selected >= 0 && selected < static_cast<int>(items.size()) ? items[selected] : nullptr;
  }
};

}  // namespace

TEST(Translator, TheLanguageListViewAndCharsets) {
  TTranslatorFixture f;
  TListRecord list;
  f.Write("Russian.crv",
          "[Main]\r\nLanguageName=\xd0\xf3\xf1\xf1\xea\xe8\xe9\r\nFontCharset=204\r\n"
          "[Messages]\r\nHello=\xcf\xf0\xe8\xe2\xe5\xf2\r\n");
  f.Write("Greek.crv",
          "[Main]\r\nLanguageName=\xc5\xeb\xeb\xe7\xed\xe9\xea\xdc\r\nFontCharset=161\r\n");
  f.translator->Peek();
  f.translator->SetDisplayListView(&list);
  EXPECT_EQ(list.setups, 1);
  ASSERT_EQ(list.items.size(), 2u);
  // The names read in their character set's code page.
  EXPECT_EQ(list.items[0]->WideName,
            "\xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac");
  EXPECT_EQ(list.items[1]->WideName, "\xd0\xa0\xd1\x83\xd1\x81\xd1\x81\xd0\xba\xd0\xb8\xd0\xb9");
  // Nothing selected: nothing happens; a selected item loads its language.
  f.translator->LanguageListItemClick();
  EXPECT_EQ(f.translator->FLanguageName, "");
  list.selected = 1;
  f.translator->LanguageListItemClick();
  EXPECT_EQ(f.translator->FLanguageName, "Russian");
  EXPECT_EQ(f.translator->GetPreferredLanguage(), "Russian");
  TFontSettings font;
  f.translator->FLoadedFont = {204, "Tahoma", 9, bdLeftToRight};
  f.translator->AssignMyFontToFont(font);
  EXPECT_EQ(font.Name, "Tahoma");
  EXPECT_EQ(font.Charset, 204);
  f.translator->SetDisplayListView(nullptr);
}
