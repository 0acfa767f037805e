// Build tool: a shipped language file with its flags. Reads the language
// file the project writes (data/Languages/<stem>.crv), adds its two flags
// as section Images (Flag16 and Flag32, drawn by BuiltInFlag) and writes
// the result where the program finds it.
#include <cstdio>
#include <string>

#include "utFiles.h"
#include "utStrings.h"
#include "utTranslatorImages.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s SOURCE.crv TARGET.crv FLAG-NAME\n", argv[0]);
    return 2;
  }
  try {
    TIniDocument ini(ReadFileBytes(argv[1]));
    const std::string flag = UpperCaseAZ(argv[3]);
    for (const char* size : {"16", "32"}) {
      const QImage image = BuiltInFlag(flag + size);
      if (image.isNull()) {
        std::fprintf(stderr, "no flag %s%s\n", flag.c_str(), size);
        return 1;
      }
      SaveBitmapToIni(ini, "Images", std::string("Flag") + size, image);
    }
    ForceDirectories(ExtractFilePath(argv[2]));
    WriteFileAtomic(argv[2], ini.Text());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
