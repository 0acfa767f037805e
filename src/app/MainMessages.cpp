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

const TMyAddedStringArray MyAddedTranslationStrings = {{
    {"TraceRouteRawSocket", "Traced with a raw ICMP socket."},
    {"TraceRouteDatagramSocket", "Traced with an ICMP datagram socket (ping socket)."},
    {"TraceRouteHelperSocket", "Traced with a raw ICMP socket from corvina-icmp-helper."},
    {"TraceRouteNoSocket",
     "No ICMP socket could be opened: install corvina-icmp-helper beside Corvina with the "
     "capability (setcap cap_net_raw+ep corvina-icmp-helper), or allow ping sockets for your "
     "group with sysctl net.ipv4.ping_group_range."},
    {"UsersWithoutSID", "Some accounts have no SID:"},
    {"UsersMoreWithoutSID", "(and %d more)"},
    {"WhoIsHistoryReadOnly",
     "The lookup history \"%s\" can only be read: new lookups are not added to it."},
    {"WhoIsHistoryUnusable", "The lookup history cannot be used: %s"},
    {"WhoIsHistoryUnavailable", "History unavailable"},
    {"WhoIsProgress", "%d of %d"},
    {"WhoIsStopped", "(stopped)"},
    {"WhoIsFilterFiles", "%d files"},
    {"WhoIsFilterNotRead", "%d not read"},
    {"WhoIsFilterFull", "too many matches"},
    {"HTTPCaptureFound", "Addresses of %d browser windows read."},
    {"HTTPCaptureNoBrowser", "No browser window is open."},
    {"HTTPCaptureNotExposed",
     "A browser window shows no address over the accessibility bus: start Chromium with "
     "--force-renderer-accessibility and Firefox with GNOME_ACCESSIBILITY=1."},
    {"HTTPCaptureNoBus",
     "The desktop's accessibility bus is not running, so no browser address can be read."},
}};
