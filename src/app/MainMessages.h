// The main window's message table: the texts it shows that are not captions
// of controls, with the names under which a language file translates them.
#pragma once

#include <array>
#include <string>

#include "utTranslationString.h"

enum TMyStrings {
  sFilterLogFiles,
  sFilterTextFiles,
  sFilenameLoaded,
  sActionFinished,
  sWhoIsTrying,
  sWhoIsDialogDomainTitle,
  sWhoIsDialogRequest,
  sWhoIsFinished,
  sWhoIsHeader,
  sWhoIsFiltering,
  sWhoIsFilterFinished,
  sTraceRouteDialogTitle,
  sTraceRouteTracing,
  sTraceRouteFinished,
  sHTTPNoValidClipboardURL,
  sHTTPRedirected,
  kMyStringsCount
};

using TMyStringArray = std::array<TutTranslationString, kMyStringsCount>;

extern const TMyStringArray MyTranslationStrings;

// Texts of this program beyond the message table, translated the same way:
// the language files carry them in section Messages too.
enum TMyAddedStrings {
  sTraceRouteRawSocket,
  sTraceRouteDatagramSocket,
  sTraceRouteHelperSocket,
  sTraceRouteNoSocket,
  sUsersWithoutSID,
  sUsersMoreWithoutSID,
  sWhoIsHistoryReadOnly,
  sWhoIsHistoryUnusable,
  sWhoIsHistoryUnavailable,
  sWhoIsProgress,
  sWhoIsStopped,
  sWhoIsFilterFiles,
  sWhoIsFilterNotRead,
  sWhoIsFilterFull,
  sHTTPCaptureFound,
  sHTTPCaptureNoBrowser,
  sHTTPCaptureNotExposed,
  sHTTPCaptureNoBus,
  kMyAddedStringsCount
};

using TMyAddedStringArray = std::array<TutTranslationString, kMyAddedStringsCount>;

extern const TMyAddedStringArray MyAddedTranslationStrings;
