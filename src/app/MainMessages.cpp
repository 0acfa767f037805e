#include "MainMessages.h"

const TMyStringArray MyTranslationStrings = {{
    {"FilterLogFiles", "Log files"},
    {"FilterTextFiles", "Text files"},
    {"FilenameLoaded", "%s loaded."},
    {"ActionFinished", "Finished."},
    {"WhoIsTrying", "Trying to get info about %s from %s..."},
    {"WhoIsDialogDomainTitle", "Please enter domain name"},
    {"WhoIsDialogRequest", "Please enter filter term"},
    {"WhoIsFinished", "Query (whois) for %s finished."},
    {"WhoIsHeader", "Corvina WhoIs query for %s on %s"},
    {"WhoIsFiltering", "Filtering %s..."},
    {"WhoIsFilterFinished", "Filtering email addresses (whois) finished."},
    {"TraceRouteDialogTitle", "Please enter domain name or IP"},
    {"TraceRouteTracing", "Tracing %s..."},
    {"TraceRouteFinished", "Query (traceroute) for %s finished."},
    {"HTTPNoValidClipboardURL", "No valid URL could be found in your clipboard:"},
    {"HTTPRedirected", "Redirected (%d) to: %s"},
}};
